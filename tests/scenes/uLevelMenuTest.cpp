#include "scenes/uLevelMenu.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "app/uGlobals.h"
#include "editor/uEditor.h"
#include "scenes/SceneTestSupport.h"
#include "scenes/uGame.h"
#include "ui/uScene.h"

namespace fs = std::filesystem;

namespace {

struct Placed {
  int x, y;
  std::string caption;
  bool operator==(const Placed&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Placed& p) {
  return out << "(" << p.x << ", " << p.y << ", \"" << p.caption << "\")";
}

class LevelMenuTest : public SceneTest {
 protected:
  void SetUp() override {
    SceneTest::SetUp();
    StartWithLevels({});
  }
  // Empty files are enough for the list: only their names count.
  void Touch(const std::string& name) { WriteText(LevelDir() + "/" + name, ""); }
  // Saving is the editor's: the chooser saves through its client.
  void ShowChooser(bool saveMode = false) {
    if (saveMode)
      EditorScene->ShowChooser(true);
    else
      LevelMenu->Show(GameScene->Map.get(), false, true);
  }
  std::vector<Placed> LevelButtons() const {
    std::vector<Placed> out;
    for (auto& o : LevelMenu->Objects)
      if (auto* b = dynamic_cast<TButtonLM*>(o.get())) out.push_back({b->X, b->Y, b->Caption});
    return out;
  }
  template <class T>
  std::vector<T*> ButtonsOf() const {
    std::vector<T*> out;
    for (auto& o : LevelMenu->Objects)
      if (auto* b = dynamic_cast<T*>(o.get())) out.push_back(b);
    return out;
  }
  Placed Close() const {
    auto closes = ButtonsOf<TButtonEMClose>();
    EXPECT_EQ(closes.size(), 1u);
    return closes.empty() ? Placed{} : Placed{closes[0]->X, closes[0]->Y, closes[0]->Caption};
  }
  std::vector<std::string> FileNames() const {
    std::vector<std::string> out;
    for (auto& l : LevelMenu->Levels) out.push_back(l.FileName);
    return out;
  }
};

TEST_F(LevelMenuTest, ButtonsFillRowsOfFiveWithTheCloseButtonBelowTheLastRow) {
  ShowChooser();
  EXPECT_TRUE(LevelButtons().empty());
  EXPECT_EQ(Close(), (Placed{0, 208, "Закрыть"}));

  for (const char* name : {"1001.map", "1002.map", "1003.map"}) Touch(name);
  ShowChooser();
  EXPECT_EQ(LevelButtons(), (std::vector<Placed>{{-168, 128, "001"}, {-84, 128, "002"}, {0, 128, "003"}}));
  EXPECT_EQ(Close(), (Placed{0, 208, "Закрыть"}));

  for (const char* name : {"1004.map", "1005.map", "1006.map"}) Touch(name);
  ShowChooser();
  auto six = LevelButtons();
  ASSERT_EQ(six.size(), 6u);
  EXPECT_EQ(six[4], (Placed{168, 128, "005"}));
  EXPECT_EQ(six[5], (Placed{-168, 212, "006"}));
  EXPECT_EQ(Close(), (Placed{0, 292, "Закрыть"}));
  EXPECT_TRUE(ButtonsOf<TButtonPage>().empty()) << "a list that fits has no page buttons";
}

TEST_F(LevelMenuTest, TheNewEntryTakesTheFirstFreeNumberFromTheCountOn) {
  ShowChooser(true);
  EXPECT_EQ(FileNames(), (std::vector<std::string>{"1001.map"}));

  Touch("1001.map");
  Touch("1003.map");
  ShowChooser(true);
  ASSERT_EQ(LevelMenu->Levels.size(), 3u);
  EXPECT_EQ(LevelMenu->Levels[2].FileName, "1004.map");
  EXPECT_EQ(LevelMenu->Levels[2].Caption, "+");
  EXPECT_EQ(LevelButtons().back(), (Placed{0, 128, "+"}));

  fs::remove(LevelDir() + "/1003.map");
  Touch("1002.map");
  ShowChooser(true);
  EXPECT_EQ(LevelMenu->Levels.back().FileName, "1003.map");

  // Opening it again for play drops the entry of the file that was never written.
  ShowChooser(false);
  EXPECT_EQ(FileNames(), (std::vector<std::string>{"1001.map", "1002.map"}));
}

TEST_F(LevelMenuTest, ListsEveryEntryEndingInMapSortedByNameFoldersToo) {
  Touch("1002.map");
  Touch("1001.MAP");
  Touch("abc.map");
  Touch("notes.txt");
  Touch("1003.map.saving");
  Touch("1004.map.saving-Ab12Cd");  // left by a save that crashed two minutes ago
  fs::last_write_time(LevelDir() + "/1004.map.saving-Ab12Cd",
                      fs::file_time_type::clock::now() - std::chrono::minutes(2));
  fs::create_directories(LevelDir() + "/x.map");
  ShowChooser();
  EXPECT_FALSE(fs::exists(LevelDir() + "/1004.map.saving-Ab12Cd")) << "cleared when the folder is scanned";
  EXPECT_EQ(FileNames(), (std::vector<std::string>{"1001.MAP", "1002.map", "abc.map", "x.map"}));
  auto buttons = LevelButtons();
  ASSERT_EQ(buttons.size(), 4u);
  EXPECT_EQ(buttons[0].caption, "001");
  EXPECT_EQ(buttons[2].caption, "bc");
  EXPECT_EQ(buttons[3].caption, "") << "a five-character name leaves no caption";
  // Numbers other than 1000 to 1999 are shown whole: no two captions are alike.
  const std::pair<const char*, const char*> numbers[] = {
      {"1003.map", "003"}, {"2003.map", "2003"}, {"10000.map", "10000"}, {"20000.map", "20000"}};
  for (const auto& [name, caption] : numbers) EXPECT_EQ(TLevelMenu::CaptionOf(name), caption) << name;
}

TEST_F(LevelMenuTest, ASaveOntoAFolderFailsAndTheChooserStaysOpenSayingSo) {
  WriteSimpleLevels(LevelDir(), 1);
  fs::create_directories(LevelDir() + "/1002.map");
  ShowChooser(true);
  ASSERT_EQ(LevelMenu->Levels.back().FileName, "1003.map");

  testing::internal::CaptureStderr();
  ClickChooser(428, 256);  // the folder 1002.map
  std::string stderrText = testing::internal::GetCapturedStderr();
  EXPECT_TRUE(LevelMenu->Visible);
  EXPECT_EQ(LevelMenu->ErrorMessage, "Не удалось сохранить уровень: it is a folder");
  EXPECT_NE(stderrText.find("1002.map"), std::string::npos) << stderrText;
  EXPECT_TRUE(fs::is_directory(LevelDir() + "/1002.map"));
  EXPECT_FALSE(fs::exists(LevelDir() + "/1002.map.saving"));
  Recorder.Calls.clear();
  LevelMenu->Draw();
  EXPECT_EQ(Recorder.TextCalls(LevelMenu->ErrorMessage).size(), 1u);

  ClickChooser(512, 256);  // "+": a good save closes the chooser
  EXPECT_FALSE(LevelMenu->Visible);
  EXPECT_TRUE(fs::is_regular_file(LevelDir() + "/1003.map"));
}

TEST_F(LevelMenuTest, ASaveIntoAReadOnlyFolderFailsAndWritesNothing) {
  if (geteuid() == 0) GTEST_SKIP() << "folder permissions do not bind root";
  ShowChooser(true);
  fs::permissions(LevelDir(), fs::perms::owner_read | fs::perms::owner_exec);
  testing::internal::CaptureStderr();
  ClickChooser(344, 256);
  testing::internal::GetCapturedStderr();
  fs::permissions(LevelDir(), fs::perms::owner_all);
  EXPECT_TRUE(LevelMenu->Visible);
  EXPECT_FALSE(LevelMenu->ErrorMessage.empty());
  EXPECT_TRUE(fs::is_empty(LevelDir()));
}

TEST_F(LevelMenuTest, ALongListPagesWithTheCloseButtonOnScreen) {
  for (int i = 0; i < 35; ++i) Touch(std::to_string(1001 + i) + ".map");
  ShowChooser();
  auto first = LevelButtons();
  ASSERT_EQ(first.size(), 30u);
  EXPECT_EQ(first[0], (Placed{-168, 128, "001"}));
  EXPECT_EQ(first[29], (Placed{168, 548, "030"}));
  Placed close = Close();
  EXPECT_LT(LevelMenu->Y + close.y, 768) << "the close button's centre is on screen";
  auto pages = ButtonsOf<TButtonPage>();
  ASSERT_EQ(pages.size(), 4u);  // "<<", "<", ">", ">>"
  EXPECT_FALSE(pages[0]->Enabled || pages[1]->Enabled) << "no page before the first";
  EXPECT_EQ(LevelMenu->PageCaption(), "1 / 2");

  ClickChooser(512 + 200, LevelMenu->Y + close.y);  // ">"
  auto second = LevelButtons();
  ASSERT_EQ(second.size(), 5u);
  EXPECT_EQ(second[0], (Placed{-168, 128, "031"}));
  EXPECT_EQ(Close(), (Placed{0, 208, "Закрыть"}));

  EXPECT_EQ(LevelMenu->PageCaption(), "2 / 2");
  ClickChooser(512 - 380, LevelMenu->Y + Close().y);  // "<<"
  EXPECT_EQ(LevelMenu->PageCaption(), "1 / 2");
  ClickChooser(512 + 380, LevelMenu->Y + close.y);  // ">>"
  ClickChooser(344, 256);  // "031"
  EXPECT_FALSE(LevelMenu->Visible);
  EXPECT_EQ(SceneManager->StartParam, 30);

  // Saving opens on the page that holds the new entry, the 36th.
  ShowChooser(true);
  EXPECT_EQ(LevelButtons().back(), (Placed{-168, 212, "+"}));
  ShowChooser();
  EXPECT_EQ(LevelMenu->Y + Close().y, 740) << "under a full page, still on the screen";
  ClickChooser(512, 740);  // "Закрыть" under a full page
  EXPECT_FALSE(LevelMenu->Visible);
}

}  // namespace

namespace {

TEST_F(LevelMenuTest, TheFirstSaveMakesAMissingLevelFolder) {
  fs::remove_all(LevelDir());
  ShowChooser(true);
  ASSERT_EQ(FileNames(), std::vector<std::string>{"1001.map"});
  ClickChooser(344, 256);
  EXPECT_FALSE(LevelMenu->Visible);
  EXPECT_TRUE(fs::is_regular_file(LevelDir() + "/1001.map"));
}

}  // namespace
