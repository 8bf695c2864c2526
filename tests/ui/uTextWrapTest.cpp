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
  TestData Art;
  void SetUp() override {
    GameTest::SetUp();
    StartGame(Art.Dir());
    ASSERT_GT(text_GetWidth(MainFont, "x"), 0) << "the game's font";
  }
};

// Without the spaces: what the lines hold, in order.
std::string Letters(const std::vector<std::string>& lines) {
  std::string all;
  for (const std::string& line : lines)
    for (char c : line)
      if (c != ' ') all += c;
  return all;
}

TEST_F(TextWrapTest, EveryLineFitsAndNothingIsLost) {
  const std::string longWord(300, 'W');
  const struct {
    std::string Text;
    float Width;
    size_t AtLeast;  // lines
  } cases[] = {
      {"Сожгите верёвку.", 570, 1},
      {"Первая строка\nвторая строка", 570, 2},
      {std::string(60, 'x') + " " + "Очень длинная подсказка без переносов строк, которую автор написал одной строкой", 200, 4},
      {"before " + longWord + " after", 300, 3},
      {"Уровень: ЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖ", 120, 3},
  };
  for (const auto& c : cases) {
    const std::vector<std::string> lines = WrapText(MainFont, c.Text, c.Width);
    EXPECT_GE(lines.size(), c.AtLeast) << c.Text;
    for (const std::string& line : lines) EXPECT_LE(text_GetWidth(MainFont, line), c.Width) << line;
    std::string expected;
    for (char ch : c.Text)
      if (ch != ' ' && ch != '\n') expected += ch;
    EXPECT_EQ(Letters(lines), expected);
  }
}

TEST_F(TextWrapTest, AQuestionOfAnyLengthKeepsTheDialogOnTheScreen) {
  tSceneMng manager;
  manager.Dialog().Ask("Не удалось сохранить уровень: " + std::string(400, 'x'), {{"OK", nullptr}}, 0, 0);
  EXPECT_LE(manager.Dialog().Width, kScreenWidth);
}

}  // namespace
