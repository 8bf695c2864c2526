// The file menu: new, save and open through the level chooser, back to the
// main menu, close.
#include "editor/uEditorMenu.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "editor/EditorSupport.h"
#include "scenes/uLevelMenu.h"
#include "scenes/uMainMenu.h"

namespace {

namespace fs = std::filesystem;

constexpr int kMenuX = 90, kMenuY = 32;
constexpr int kNewY = 284, kSaveY = 336, kOpenY = 388, kBackY = 440, kCloseY = 492;

class FileMenuTest : public EditorTest {
 protected:
  std::string DataDir() override { return Levels.Dir(); }
  void Menu() { ClickAndWait(kMenuX, kMenuY); }
  void MenuItem(int y) { ClickAndWait(512, y); }
  // Clicks entry `i` (from 1) of the level chooser's grid.
  void Entry(int i) {
    const int row = (i - 1) / 5, col = i - 5 * row;
    ClickAndWait(512 + col * 84 - 252, 128 + row * 84 + 128);
  }
  // Clicks the chooser's close button under a grid of `entries`.
  void ChooserClose(int entries) { ClickAndWait(512, 128 + ((entries - 1) / 5) * 84 + 128 + 80); }
  bool Drawn(const std::string& text) {
    DrawFrame();
    return !Recorder.TextCalls(text).empty();
  }
  TestData Levels{false};
};

TEST_F(FileMenuTest, TheMenuTakesAllInputUntilClosed) {
  Menu();
  EXPECT_TRUE(E->FileMenu->Visible);
  EXPECT_EQ(E->Popup, E->FileMenu.get());
  EXPECT_TRUE(Drawn("Новый"));
  ClickAt(462, 25);  // play
  Tool(3);
  EXPECT_FALSE(E->Doc.Map->Running) << "the play panel does not react under the menu";
  EXPECT_FALSE(E->Tools.Placing);
  MenuItem(kCloseY);
  EXPECT_FALSE(E->FileMenu->Visible);
  EXPECT_FALSE(Drawn("Новый"));
  Tool(3);
  EXPECT_TRUE(E->Tools.Placing);
}

TEST_F(FileMenuTest, NewEmptiesTheMapAndForgetsWhatWasInIt) {
  TMapObj* a = Place(2, 105, 105);
  Place(2, 245, 105);
  Tool(7);
  ClickMap(105, 105);
  ClickMap(245, 105);
  Tool(7);
  ClickMap(105, 105);  // half-made rope from A
  Tool(0);
  ClickMap(105, 105);
  ASSERT_EQ(E->Tools.Current, a);
  Menu();
  MenuItem(kNewY);
  Answer("Не сохранять");
  EXPECT_EQ(Objects(), 0u);
  EXPECT_EQ(Ropes(), 0u);
  EXPECT_EQ(E->Tools.Current, nullptr);
  EXPECT_EQ(E->Tools.RopePrototype()->ObjectA, nullptr);
  EXPECT_FALSE(E->FileMenu->Visible);

  // A prototype in hand stays in hand.
  Place(2, 105, 105);
  Tool(4);
  Menu();
  MenuItem(kNewY);
  Answer("Не сохранять");
  EXPECT_EQ(Objects(), 0u);
  EXPECT_TRUE(E->Tools.Placing);
  EXPECT_EQ(E->Tools.Current, E->Tools.Prototypes[4].get());
}

TEST_F(FileMenuTest, ClosingTheChooserReturnsToPlainEditing) {
  Menu();
  MenuItem(kSaveY);
  EXPECT_TRUE(LevelMenu->Visible);
  EXPECT_TRUE(LevelMenu->SaveMode);
  EXPECT_EQ(E->Popup, LevelMenu);
  EXPECT_FALSE(Drawn("Новый")) << "the chooser replaces the file menu";
  EXPECT_TRUE(Drawn("+"));
  ChooserClose(1);
  EXPECT_FALSE(LevelMenu->Visible);
  EXPECT_FALSE(Drawn("Новый"));
  EXPECT_FALSE(Drawn("Закрыть"));
  Tool(3);
  EXPECT_TRUE(E->Tools.Placing);
  // The menu button shows the file menu again.
  Menu();
  EXPECT_TRUE(Drawn("Новый"));
}

TEST_F(FileMenuTest, SavingThroughPlusTwiceMakesTheNextTwoNumbers) {
  for (int i = 1001; i <= 1005; ++i) WriteText(Levels.Level(std::to_string(i) + ".map"), "");
  Place(1, 105, 140);
  Place(12, 245, 140);
  Menu();
  MenuItem(kSaveY);
  Entry(6);  // "+"
  EXPECT_FALSE(LevelMenu->Visible);
  ASSERT_TRUE(fs::exists(Levels.Level("1006.map")));
  EXPECT_EQ(fs::file_size(Levels.Level("1006.map")), 2u * 80);

  Menu();
  MenuItem(kSaveY);
  ASSERT_EQ(LevelMenu->Levels.size(), 7u);
  EXPECT_EQ(LevelMenu->Levels[6].FileName, "1007.map");
  Entry(7);
  ASSERT_TRUE(fs::exists(Levels.Level("1007.map")));
  EXPECT_EQ(ReadText(Levels.Level("1006.map")), ReadText(Levels.Level("1007.map")));
  EXPECT_EQ(Objects(), 2u) << "saving leaves the map as it is";
}

TEST_F(FileMenuTest, AFailedSaveIsReportedAndLosesNothing) {
  WriteText(Levels.Level("1001.map"), "");
  fs::create_directories(Levels.Level("1002.map"));  // a folder in the way
  Place(1, 105, 140);
  Menu();
  MenuItem(kSaveY);
  ASSERT_EQ(LevelMenu->Levels.size(), 3u);
  Entry(2);
  EXPECT_TRUE(LevelMenu->Visible) << "the chooser stays open";
  EXPECT_EQ(LevelMenu->ErrorMessage, "Не удалось сохранить уровень: it is a folder");
  EXPECT_TRUE(Drawn(LevelMenu->ErrorMessage));
  EXPECT_TRUE(fs::is_directory(Levels.Level("1002.map")));
  EXPECT_EQ(ReadText(Levels.Level("1001.map")), "");
  EXPECT_EQ(Objects(), 1u);
  int files = 0;
  for (const auto& entry : fs::directory_iterator(Levels.Dir() + "/level")) files += !entry.is_directory();
  EXPECT_EQ(files, 1) << "no half-written file is left behind";
  // Another entry still saves.
  Entry(3);
  EXPECT_FALSE(LevelMenu->Visible);
  EXPECT_EQ(fs::file_size(Levels.Level("1003.map")), 80u);
}

TEST_F(FileMenuTest, OpenReplacesTheMapAndForgetsTheOldObjects) {
  TMapObj* a = Place(4, 105, 105);
  Place(10, 315, 315);
  Menu();
  MenuItem(kSaveY);
  Entry(1);  // "+": 1001.map
  ASSERT_TRUE(fs::exists(Levels.Level("1001.map")));
  Tool(7);
  ClickMap(105, 105);  // half-made rope from the ball
  Tool(0);
  ClickMap(105, 105);
  ASSERT_EQ(E->Tools.Current, a);

  Menu();
  MenuItem(kOpenY);
  EXPECT_EQ(E->Tools.Current, nullptr);
  EXPECT_EQ(E->Tools.RopePrototype()->ObjectA, nullptr);
  EXPECT_TRUE(LevelMenu->Visible);
  EXPECT_FALSE(LevelMenu->SaveMode);
  EXPECT_FALSE(LevelMenu->PlayMode);
  Entry(1);
  EXPECT_FALSE(LevelMenu->Visible);
  ASSERT_EQ(Objects(), 2u);
  EXPECT_STREQ(Obj(1)->ClassName(), "THero");
  EXPECT_EQ(std::pair(Obj(1)->X, Obj(1)->Y), std::pair(315, 315));
  ClickMap(315, 315);
  EXPECT_EQ(E->Tools.Current, Obj(1));
}

TEST_F(FileMenuTest, BackToTheMainMenuAndBackShowsTheEditorWithoutTheFileMenu) {
  Place(2, 105, 105);
  Menu();
  MenuItem(kBackY);
  Answer("Не сохранять");
  EXPECT_TRUE(SceneManager->Switching);
  Tick(110);
  ASSERT_EQ(SceneManager->Current, MenuScene);
  ClickAt(512, 388);  // "Редактор карт"
  Tick(110);
  ASSERT_EQ(SceneManager->Current, E);
  EXPECT_FALSE(E->FileMenu->Visible);
  EXPECT_FALSE(Drawn("Новый"));
  EXPECT_EQ(Objects(), 1u) << "the editor keeps its map";
}

}  // namespace
