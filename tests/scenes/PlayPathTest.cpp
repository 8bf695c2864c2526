// The way through the game end to end, through the real executable: main menu,
// levels, the win form and back.
#include <gtest/gtest.h>

#include <filesystem>

#include "scenes/SceneTestSupport.h"

namespace {

class PlayPath : public ::testing::Test {
 protected:
  nlohmann::json DumpAt(int ticks, const std::string& replay, std::vector<std::string> extra = {}) {
    WriteText(Temp.File("in.replay"), replay);
    std::vector<std::string> args = {"--headless", "--data", Data.Dir(), "--seed", "1",
                                     "--ticks", std::to_string(ticks), "--replay",
                                     Temp.File("in.replay"), "--dump", Temp.File("d.json")};
    args.insert(args.end(), extra.begin(), extra.end());
    RunResult r = RunKelvod(args);
    EXPECT_EQ(r.Status, 0) << r.Output;
    Output = r.Output;
    return ReadJson(Temp.File("d.json"));
  }
  static int FirstX(const nlohmann::json& d) { return d["game"]["map"]["objects"][0]["x"]; }
  TestData Data;
  TempDir Temp;
  std::string Output;
};

// "Новая игра" in tick 1: the switch comes on tick 53, the fade ends on tick
// 105 and the game's first tick is 106; its win form has faded in by tick 166
// and takes input from tick 167. "Далее" (at (512, 448)) is clicked during the
// fade (ticks 110 and 166, both lost) and in tick 167, the first with the form
// at full alpha: a form that was on screen takes a new press at once. The
// second level is the last: its form appears on tick 272, takes input from
// tick 333, and its "В меню" is clicked then.
const char* kWholeGame =
    "1 move 512 284\n1 click left\n"
    "110 move 512 448\n110 click left\n"
    "166 click left\n"
    "167 click left\n"
    "333 click left\n";

TEST_F(PlayPath, NewGameWinNextLevelLastLevelAndBackToTheMenu) {
  WriteSimpleLevels(Data.Dir() + "/level", 2);

  auto d = DumpAt(52, kWholeGame);
  EXPECT_EQ(d["scene"], "menu");
  d = DumpAt(53, kWholeGame);
  EXPECT_EQ(d["scene"], "game");
  EXPECT_EQ(d["game"]["level_index"], 0);
  EXPECT_EQ(FirstX(d), 100);
  EXPECT_EQ(d["game"]["win_visible"], false);

  d = DumpAt(105, kWholeGame);
  EXPECT_EQ(d["game"]["win_visible"], false) << "no scene runs during the fade";
  d = DumpAt(106, kWholeGame);
  EXPECT_EQ(d["game"]["win_visible"], true);
  EXPECT_EQ(d["game"]["win_alpha"], 0);
  EXPECT_EQ(d["game"]["win_caption"], "Уровень пройден!");
  EXPECT_EQ(d["game"]["next_caption"], "Далее");

  d = DumpAt(166, kWholeGame);
  EXPECT_EQ(d["game"]["win_alpha"], 240);
  EXPECT_EQ(d["switching"], false) << "clicks during the fade-in are ignored";
  d = DumpAt(167, kWholeGame);
  EXPECT_EQ(d["switching"], true);

  d = DumpAt(242, kWholeGame);
  EXPECT_EQ(d["scene"], "game");
  EXPECT_EQ(d["game"]["level_index"], 1);
  EXPECT_EQ(FirstX(d), 110);
  EXPECT_EQ(d["game"]["win_visible"], false);

  d = DumpAt(272, kWholeGame);
  EXPECT_EQ(d["game"]["win_visible"], true);
  EXPECT_EQ(d["game"]["win_caption"], "Все уровни пройдены!");
  EXPECT_EQ(d["game"]["next_caption"], "В меню");

  d = DumpAt(409, kWholeGame);
  EXPECT_EQ(d["scene"], "menu");
  EXPECT_EQ(d["game"]["level_index"], 1) << "the way back starts no level";
  EXPECT_EQ(d["menu"]["sub_form_visible"], false);
}

TEST_F(PlayPath, TheChooserStartsTheLevelPickedAndHidesAtOnce) {
  WriteSimpleLevels(Data.Dir() + "/level", 3);
  // "Загрузить" in tick 1, "003" in tick 3 (the second click of a double
  // click: the chooser that click opened takes no press for 20 ticks) and
  // again in tick 22.
  const char* replay =
      "1 move 512 336\n1 click left\n3 move 512 256\n3 click left\n22 click left\n";
  auto d = DumpAt(21, replay);
  EXPECT_EQ(d["level_menu"]["visible"], true);
  EXPECT_EQ(d["level_menu"]["play_mode"], true);
  EXPECT_EQ(d["level_menu"]["levels"].size(), 3u);
  EXPECT_EQ(d["level_menu"]["levels"][2]["caption"], "003");
  EXPECT_EQ(d["switching"], false);
  d = DumpAt(22, replay);
  EXPECT_EQ(d["level_menu"]["visible"], false);
  EXPECT_EQ(d["switching"], true);
  d = DumpAt(3, "1 move 512 336\n1 click left\n3 key escape down\n");
  EXPECT_EQ(d["level_menu"]["visible"], false) << "Escape closes the chooser";
  EXPECT_EQ(d["switching"], false);
  d = DumpAt(74, replay);
  EXPECT_EQ(d["scene"], "game");
  EXPECT_EQ(d["game"]["level_index"], 2);
  EXPECT_EQ(FirstX(d), 120);
}

// A battery with nothing under it falls off the field: the failure form comes
// on tick 83 and has faded in by tick 143. Enter on tick 120 is too early, on
// tick 150 it restarts; R restarts on tick 180; Escape on tick 200 leaves.
TEST_F(PlayPath, AFallenBatteryFailsTheLevelAndTheKeysRestartAndLeave) {
  WriteLevel(Data.Dir() + "/level/1001.map",
             {{TTestObject::HERO, 100, 300}, {TTestObject::BATTERY, 400, 600, true}});
  WriteText(Data.Dir() + "/level/1001.hint", "Батарея падает\n");
  const char* replay =
      "120 key return down\n121 key return up\n150 key return down\n151 key return up\n"
      "180 key r down\n181 key r up\n200 key escape down\n";
  auto batteryY = [](const nlohmann::json& d) {
    return d["game"]["map"]["objects"][1]["body"]["y"].get<float>();
  };
  auto d = DumpAt(120, replay, {"--level", "0"});
  EXPECT_EQ(d["game"]["lost_visible"], true);
  EXPECT_EQ(d["game"]["lost_reason"], "Батарея упала за край");
  EXPECT_EQ(d["game"]["hint"], nullptr) << "the form covers the hint";
  d = DumpAt(150, replay, {"--level", "0", "--sound-log", Temp.File("sounds.log")});
  EXPECT_EQ(ReadText(Temp.File("sounds.log")), "1 level_start\n83 lost\n150 click\n");
  EXPECT_EQ(d["game"]["lost_visible"], false);
  EXPECT_EQ(d["game"]["hint"], "Батарея падает");
  EXPECT_NEAR(batteryY(d), 600, 1);
  d = DumpAt(180, replay, {"--level", "0"});
  EXPECT_NEAR(batteryY(d), 600, 1) << "R restarted the falling battery";
  d = DumpAt(260, replay, {"--level", "0"});
  EXPECT_EQ(d["scene"], "menu");
}

TEST_F(PlayPath, BrokenLevelsStartWithWhatCanBeReadAndTheGameGoesOn) {
  const std::string level = Data.Dir() + "/level/";
  WriteLevel(level + "1001.map", {{TTestObject::BLOCK, 100, 300}, {TTestObject::BATTERY, 200, 100}});
  std::string bytes = ReadText(level + "1001.map");
  bytes[80 + 69 + 1] = 'X';  // the battery's kind tag becomes "XATT"
  WriteText(level + "1001.map", bytes + "trailing junk");
  std::filesystem::create_directories(level + "1002.map");

  auto d = DumpAt(3, "", {"--level", "0"});
  EXPECT_EQ(d["scene"], "game");
  ASSERT_EQ(d["game"]["map"]["objects"].size(), 1u);
  EXPECT_EQ(FirstX(d), 100);
  EXPECT_NE(Output.find("1001.map"), std::string::npos) << Output;

  d = DumpAt(3, "", {"--level", "1"});
  EXPECT_EQ(d["game"]["map"]["objects"].size(), 0u);
  EXPECT_EQ(d["game"]["win_visible"], true);
  EXPECT_NE(Output.find("1002.map"), std::string::npos) << Output;
}

}  // namespace
