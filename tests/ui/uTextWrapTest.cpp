// Text broken into lines that fit: a hint or a question of any length stays
// on the screen, and no word or character is lost on the way.
#include "ui/uTextWrap.h"

#include <gtest/gtest.h>

#include "support/TestSupport.h"
#include "ui/uDialog.h"
#include "ui/uResources.h"
#include "ui/uScene.h"

namespace {

class TextWrapTest : public GameTest {
 protected:
  TestData Art;  // with the game's font
  void SetUp() override {
    GameTest::SetUp();
    StartGame(Art.Dir());
    ASSERT_GT(text_GetWidth(MainFont, "x"), 0);
  }
};

std::string WithoutBlanks(const std::string& text) {
  std::string kept;
  for (char c : text)
    if (c != ' ' && c != '\n') kept += c;
  return kept;
}

TEST_F(TextWrapTest, EveryLineFitsAndNothingIsLost) {
  const struct {
    std::string Text;
    float Width;
    size_t AtLeast;  // lines
  } cases[] = {
      {"Сожгите верёвку.", 570, 1},
      {"Первая строка\nвторая строка", 570, 2},
      {std::string(60, 'x') + " Очень длинная подсказка без переносов строк, которую автор написал одной строкой", 200, 4},
      {"before " + std::string(300, 'W') + " after", 300, 3},
      {"Уровень: ЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖ", 120, 3},
  };
  for (const auto& c : cases) {
    const std::vector<std::string> lines = WrapText(MainFont, c.Text, c.Width);
    EXPECT_GE(lines.size(), c.AtLeast) << c.Text;
    std::string joined;
    for (const std::string& line : lines) {
      EXPECT_LE(text_GetWidth(MainFont, line), c.Width) << line;
      joined += line;
    }
    EXPECT_EQ(WithoutBlanks(joined), WithoutBlanks(c.Text));
  }
  tSceneMng manager;
  manager.Dialog().Ask("Не удалось сохранить уровень: " + std::string(400, 'x'), {{"OK", nullptr}}, 0, 0);
  EXPECT_LE(manager.Dialog().Width, kScreenWidth) << "the dialog stays on the screen";
}

}  // namespace
