// The shipped levels and the player's own, in two folders: one list in the
// chooser, saves only into the player's folder, wins remembered per level.
#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>

#include "app/uGlobals.h"
#include "editor/uEditor.h"
#include "scenes/SceneTestSupport.h"
#include "scenes/uGame.h"
#include "scenes/uLevelMenu.h"
#include "scenes/uPlayerState.h"
#include "ui/uAtlas.h"
#include "ui/uDialog.h"
#include "ui/uResources.h"

namespace fs = std::filesystem;

namespace {

class PlayerLevels : public SceneTest {
 protected:
  // Shipped 1001.map and 1002.map; the player's own 1002.map and 1005.map.
  void SetUp() override {
    SceneTest::SetUp();
    StartWithLevels({{}, {}});
    SetPlayerLevelDir(Own());
    fs::create_directories(Own());
    WriteLevel((Own() / "1002.map").string(), {});
    WriteLevel((Own() / "1005.map").string(), {});
  }
  fs::path Own() const { return Home.Path() / "level"; }
  // Saving is the editor's: the chooser saves through its client.
  void Show(bool saveMode) {
    if (saveMode)
      EditorScene->ShowChooser(true);
    else
      LevelMenu->Show(GameScene->Map.get(), false, true);
  }
  std::vector<TButtonLM*> Buttons() const {
    std::vector<TButtonLM*> out;
    for (auto& o : LevelMenu->Objects)
      if (auto* b = dynamic_cast<TButtonLM*>(o.get())) out.push_back(b);
    return out;
  }
  TempDir Home;
};

TEST_F(PlayerLevels, OneListByNameAndTheNewNameIsFreeInBothFolders) {
  Show(true);
  std::vector<std::tuple<std::string, bool, bool>> entries;  // name, own, can be saved over
  for (const auto& l : LevelMenu->Levels) entries.emplace_back(l.FileName, l.Own, l.Writable());
  // 1005 + 1 = 1006: four levels make 1005 the first try, taken in the player's folder.
  EXPECT_EQ(entries, (std::vector<std::tuple<std::string, bool, bool>>{{"1001.map", false, false},
                                                                     {"1002.map", false, false},
                                                                     {"1002.map", true, true},
                                                                     {"1005.map", true, true},
                                                                     {"1006.map", true, true}}));
  std::vector<bool> enabled;
  for (auto* b : Buttons()) enabled.push_back(b->Enabled);
  EXPECT_EQ(enabled, (std::vector<bool>{false, false, true, true, true})) << "shipped levels are read-only";

  Show(false);
  for (auto* b : Buttons()) EXPECT_TRUE(b->Enabled) << "every level can be played";
}

TEST_F(PlayerLevels, AHintIsReadFromBesideItsLevel) {
  WriteText((Own() / "1005.hint").string(), "Свой уровень\n");
  WriteText(LevelDir() + "/1002.hint", "Из поставки\n");
  PlayLevel(3);  // the player's 1005.map
  EXPECT_EQ(GameScene->Hint, "Свой уровень");
  PlayLevel(2);  // the player's 1002.map: the shipped 1002.hint is another level's
  EXPECT_EQ(GameScene->Hint, "");
  PlayLevel(1);
  EXPECT_EQ(GameScene->Hint, "Из поставки");
}

TEST_F(PlayerLevels, SavesGoToThePlayersFolderNeverToTheShippedOne) {
  fs::remove_all(Own());
  Show(true);
  const std::string shipped = ReadText(LevelDir() + "/1001.map");
  ClickChooser(344, 256);  // shipped 1001.map: greyed out, nothing happens
  EXPECT_TRUE(LevelMenu->Visible);
  ClickChooser(512, 256);  // "+": 1003.map, in a player's folder made for it
  EXPECT_FALSE(LevelMenu->Visible);
  EXPECT_TRUE(fs::is_regular_file(Own() / "1003.map"));
  EXPECT_FALSE(fs::exists(LevelDir() + "/1003.map"));
  EXPECT_EQ(ReadText(LevelDir() + "/1001.map"), shipped);
}

TEST_F(PlayerLevels, AWinMarksThatLevelInTheChooserUntilItIsSavedOver) {
  PlayLevel(2);  // the player's 1002.map: no batteries, won at once
  Tick();
  ASSERT_TRUE(GameScene->WinForm->Visible);
  EXPECT_TRUE(PlayerState->Won("1002.map", true));
  EXPECT_FALSE(PlayerState->Won("1002.map", false)) << "the shipped level of that name is not won";

  Show(false);
  std::vector<bool> won;
  const nlohmann::json dump = LevelMenu->DumpState();
  for (const auto& entry : dump["levels"]) won.push_back(entry["won"]);
  EXPECT_EQ(won, (std::vector<bool>{false, false, true, false}));
  Recorder.Calls.clear();
  LevelMenu->Draw();
  int checks = 0;
  for (const auto& c : Recorder.Calls)
    checks += c.hasCut && c.cut.X == Atlas::WonMark.Frames[0].first && c.cut.Y == Atlas::WonMark.Frames[0].second;
  EXPECT_EQ(checks, 1);

  Show(true);
  ClickChooser(512, 256);  // the player's 1002.map, saved over with another map
  SceneManager->Dialog().Answer(0);  // "Заменить уровень 002?": "Да"
  EXPECT_FALSE(PlayerState->Won("1002.map", true)) << "a changed level is not won yet";
}

}  // namespace
