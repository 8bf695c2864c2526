// The editor end to end: the real executable, driven by replays.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/TestSupport.h"

namespace {

// Writes a replay: the main menu's editor button first, then the events of
// the editing, each a few ticks after the one before.
class Replay {
 public:
  Replay() {
    Move(512, 388);
    At("click left");
    Tick = 110;  // the switch to the editor takes 104 ticks
  }
  void At(const std::string& event) { Text += std::to_string(Tick) + " " + event + "\n"; }
  void Wait(int ticks) { Tick += ticks; }
  void Move(int x, int y) { At("move " + std::to_string(x) + " " + std::to_string(y)); }
  // Moves there, lets the editor see the pointer, clicks.
  void Click(int x, int y) {
    Move(x, y);
    Wait(2);
    At("click left");
    Wait(3);
  }
  void ClickGrid(int i, int j) { Click(214 + 35 * i, 34 + 35 * j); }
  // A press held for four ticks.
  void Hold(int x, int y) {
    Move(x, y);
    Wait(2);
    At("press left");
    Wait(4);
    At("release left");
    Wait(2);
  }
  void Key(const std::string& key, bool down) { At("key " + key + (down ? " down" : " up")); }
  void Tool(int i) { i <= 7 ? Click(50, 100 + 80 * i) : Click(132, 100 + 80 * (i - 8)); }
  void Place(int tool, int i, int j) {
    Tool(tool);
    ClickGrid(i, j);
  }
  // Selects what stands on grid point (i, j) and clicks a property panel option.
  void Option(int i, int j, int optionY) {
    ClickGrid(i, j);
    Click(924, optionY);
  }
  // A form opened by a click takes no press for its first 20 ticks.
  void Menu(int itemY) {
    Click(90, 32);
    Wait(20);
    Click(512, itemY);
    Wait(20);
  }

  std::string Text;
  int Tick = 1;
};

constexpr int kDynamic = 278, kWhite = 398, kMirror = 448, kInteractive = 518;
constexpr int kNew = 284, kSave = 336, kOpen = 388, kBack = 440;

class EditorHeadless : public ::testing::Test {
 protected:
  nlohmann::json Run(const Replay& replay, int extraTicks = 10) {
    WriteText(Temp.File("in.replay"), replay.Text);
    RunResult r = RunKelvod({"--headless", "--data", Data.Dir(), "--seed", "1", "--ticks",
                             std::to_string(replay.Tick + extraTicks), "--replay",
                             Temp.File("in.replay"), "--dump", Temp.File("d.json")});
    EXPECT_EQ(r.Status, 0) << r.Output;
    return ReadJson(Temp.File("d.json"));
  }
  TestData Data;
  TempDir Temp;
};

// A complete level: floor, hero, anchor, battery on a rope, bomb, mirror and
// an interactive laser box.
void BuildLevel(Replay& r) {
  r.Place(3, 5, 18);
  r.Option(5, 18, kDynamic);
  r.Place(3, 9, 18);
  r.Option(9, 18, kDynamic);
  r.Place(10, 4, 16);
  r.Option(4, 16, kDynamic);
  r.Place(1, 10, 3);
  r.Option(10, 3, kDynamic);
  r.Click(924, kWhite);
  r.Place(12, 10, 8);
  r.Tool(7);
  r.ClickGrid(10, 3);
  r.Key("ctrl", true);
  r.ClickGrid(10, 8);
  r.Key("ctrl", false);
  r.Place(8, 12, 12);
  r.Place(4, 14, 5);
  r.Option(14, 5, kDynamic);
  r.Click(924, kMirror);
  r.Place(9, 2, 3);
  r.Option(2, 3, kDynamic);
  r.Click(924, kInteractive);
  r.Click(214 + 35 * 16, 34 + 35 * 19);  // deselect
}

TEST_F(EditorHeadless, ALevelBuiltSavedReopenedAndSavedAgainKeepsItsBytes) {
  Replay build;
  BuildLevel(build);
  build.Menu(kSave);
  build.Click(344, 256);  // "+": 1001.map
  auto d = Run(build);
  const auto& map = d["editor"]["map"];
  ASSERT_EQ(map["objects"].size(), 8u);
  EXPECT_EQ(map["objects"][2]["class"], "THero");
  EXPECT_EQ(map["objects"][4]["class"], "TBattery");
  EXPECT_EQ(map["objects"][6]["frame"], 2);
  EXPECT_EQ(map["objects"][7]["interactive"], true);
  ASSERT_EQ(map["ropes"].size(), 1u);
  EXPECT_EQ(map["ropes"][0]["object_a"], 3);
  EXPECT_EQ(map["ropes"][0]["object_b"], 4);
  const std::string first = ReadText(Data.Level("1001.map"));
  ASSERT_EQ(first.size(), 9u * 80);

  Replay reopen;
  reopen.Menu(kOpen);
  reopen.Click(344, 256);  // 1001.map
  reopen.Wait(20);  // the editor takes no press for 20 ticks after a click closed the chooser
  reopen.Menu(kSave);
  reopen.Click(428, 256);  // "+": 1002.map
  d = Run(reopen);
  EXPECT_EQ(d["editor"]["map"]["objects"].size(), 8u);
  const std::string second = ReadText(Data.Level("1002.map"));
  ASSERT_EQ(second.size(), first.size());
  // A rope's own position is not read back, but drawing the reopened map
  // recomputes it from its two ends: the file comes back byte for byte.
  EXPECT_EQ(second, first);

  // The main menu's chooser lists both.
  Replay fromMenu;
  fromMenu.Text.clear();
  fromMenu.Tick = 1;
  fromMenu.Click(512, 336);  // "Загрузить"
  d = Run(fromMenu);
  EXPECT_EQ(d["level_menu"]["visible"], true);
  ASSERT_EQ(d["level_menu"]["levels"].size(), 2u);
  EXPECT_EQ(d["level_menu"]["levels"][0]["file_name"], "1001.map");
}

// The second click of a double click on "Сохранить" falls on the chooser's
// eighth entry, an existing level: it is never saved over. Choosing it on
// purpose asks first; "Нет" leaves the file and the chooser as they were.
TEST_F(EditorHeadless, ADoubleClickOnSaveNeverSavesAndReplacingALevelIsAsked) {
  for (int i = 1001; i <= 1008; ++i) WriteText(Data.Level(std::to_string(i) + ".map"), "level");
  Replay r;
  r.Place(2, 3, 3);
  r.Click(90, 32);
  r.Wait(20);
  r.Move(512, 336);
  r.Wait(2);
  r.At("click left");  // "Сохранить"
  r.Wait(6);
  r.At("click left");  // the second click: on entry 8, (512, 340)
  r.Wait(30);
  auto d = Run(r, 0);
  EXPECT_TRUE(d["level_menu"]["visible"]);
  EXPECT_TRUE(d["dialog"].is_null());
  EXPECT_EQ(ReadText(Data.Level("1008.map")), "level");

  r.At("click left");  // entry 8 on purpose
  r.Wait(25);
  d = Run(r, 0);
  ASSERT_FALSE(d["dialog"].is_null());
  EXPECT_EQ(d["dialog"]["text"], "Заменить уровень 008?");
  ASSERT_EQ(d["dialog"]["buttons"].size(), 2u);
  EXPECT_EQ(d["dialog"]["buttons"][0]["caption"], "Да");
  const int yesX = d["dialog"]["buttons"][0]["x"], noX = d["dialog"]["buttons"][1]["x"];
  const int buttonsY = d["dialog"]["buttons"][1]["y"];

  r.Click(noX, buttonsY);
  r.Wait(25);
  d = Run(r, 0);
  EXPECT_TRUE(d["dialog"].is_null());
  EXPECT_TRUE(d["level_menu"]["visible"]) << "the chooser stays as it was";
  EXPECT_EQ(ReadText(Data.Level("1008.map")), "level");
  EXPECT_TRUE(d["editor"]["dirty"]);

  r.Click(512, 340);
  r.Wait(25);
  r.Click(yesX, buttonsY);
  d = Run(r, 0);
  EXPECT_FALSE(d["level_menu"]["visible"]);
  EXPECT_EQ(ReadText(Data.Level("1008.map")).size(), 80u);
  EXPECT_EQ(d["editor"]["message"],
            "Уровень 008 сохранён, но в нём нет батареи: он пройден сразу, это не головоломка");
  EXPECT_EQ(d["editor"]["file_name"], "1008.map");
  EXPECT_FALSE(d["editor"]["dirty"]);
}

// A whole level built, then every edit undone and redone with the keys: the
// saves before, after undoing everything and after redoing it.
TEST_F(EditorHeadless, UndoingEveryEditAndRedoingThemGivesTheSameBytes) {
  Replay r;
  BuildLevel(r);
  r.Move(214 + 35 * 5, 34 + 35 * 18);  // drag the left floor plank two cells right
  r.Wait(2);
  r.At("press left");
  for (int step = 1; step <= 7; ++step) {
    r.Wait(1);
    r.Move(214 + 35 * 5 + 10 * step, 34 + 35 * 18);
  }
  r.Wait(1);
  r.At("release left");
  r.Wait(2);
  int saved = 0;
  auto save = [&] {
    r.Menu(kSave);
    r.Click(344 + 84 * saved++, 256);  // "+", after the levels saved before
    r.Wait(5);
  };
  save();  // 1001.map
  const auto built = Run(r, 0);
  const int steps = built["editor"]["undo_steps"];
  auto keys = [&](const char* letter) {
    r.Key("ctrl", true);
    for (int i = 0; i < steps; ++i) {
      r.Key(letter, true);
      r.Wait(1);
      r.Key(letter, false);
      r.Wait(1);
    }
    r.Key("ctrl", false);
    r.Wait(2);
  };
  keys("z");
  save();  // 1002.map
  keys("y");
  save();  // 1003.map
  std::filesystem::remove(Data.Level("1001.map"));  // written by the first run
  const auto d = Run(r);
  EXPECT_EQ(built["editor"]["map"]["objects"].size(), 8u);
  EXPECT_EQ(ReadText(Data.Level("1002.map")), "") << "everything undone: the empty map";
  EXPECT_EQ(ReadText(Data.Level("1003.map")), ReadText(Data.Level("1001.map")));
  EXPECT_EQ(ReadText(Data.Level("1001.map")).size(), 9u * 80);
  EXPECT_EQ(d["editor"]["undo_steps"], steps);
  EXPECT_EQ(d["editor"]["redo_steps"], 0);
}

TEST_F(EditorHeadless, HoldingTheButtonDragsTheSelectionAcrossTicks) {
  Replay r;
  r.Place(2, 3, 3);  // (105, 105)
  r.Move(214 + 105 + 6, 34 + 105 - 7);
  r.Wait(2);
  r.At("press left");
  for (int step = 1; step <= 6; ++step) {
    r.Wait(1);
    r.Move(214 + 105 + 6 + 12 * step, 34 + 105 - 7 + 6 * step);
  }
  r.Wait(2);
  r.At("release left");
  r.Wait(2);
  r.Move(700, 600);
  auto d = Run(r);
  const auto& e = d["editor"];
  ASSERT_EQ(e["map"]["objects"].size(), 1u);
  // 72 and 36 pixels to the right and down, offset kept: the nearest grid point.
  EXPECT_EQ(e["map"]["objects"][0]["x"], 175);
  EXPECT_EQ(e["map"]["objects"][0]["y"], 140);
  EXPECT_EQ(e["current"], nlohmann::json({{"object", 0}}));
  EXPECT_EQ(e["grab"], nlohmann::json({-6, 7}));
}

TEST_F(EditorHeadless, TheFileMenuIsClosedAfterTheMainMenuAndBack) {
  Replay r;
  r.Place(11, 5, 5);
  r.Menu(kBack);
  r.Click(512, 424);  // "Не сохранять"
  r.Wait(110);
  r.Click(512, 388);
  r.Wait(110);
  auto d = Run(r);
  EXPECT_EQ(d["scene"], "editor");
  EXPECT_EQ(d["switching"], false);
  EXPECT_EQ(d["editor"]["popup_visible"], false);
  EXPECT_EQ(d["editor"]["map"]["objects"].size(), 1u);
}

TEST_F(EditorHeadless, TheDumpNamesThePrototypeInHand) {
  Replay r;
  r.Tool(9);
  r.Move(214 + 35 * 4 + 3, 34 + 35 * 6 - 5);
  auto d = Run(r);
  const auto& e = d["editor"];
  EXPECT_EQ(e["placing"], true);
  EXPECT_EQ(e["current"], nlohmann::json({{"prototype", 9}}));
  EXPECT_EQ(e["cursor"], nlohmann::json({140, 210}));
  EXPECT_EQ(e["popup"], "file_menu");
  EXPECT_EQ(e["popup_visible"], false);
}

// A press that closes a form or answers a question is theirs until it is let
// go: held over the field, it never drags the selection. No click is lost:
// not in the editor's first tick after the fade, nor just after a form closed.
TEST_F(EditorHeadless, PressesOnFormsNeverReachTheFieldAndNoClickIsLost) {
  Replay r;
  r.Tick = 104;  // the fade ends on tick 105: the tool is clicked in the editor's first tick
  r.Place(2, 3, 3);
  r.ClickGrid(3, 3);  // selected
  r.Click(90, 32);
  r.Wait(20);
  r.Hold(512, 492);  // "Закрыть"
  r.Menu(kSave);
  r.Hold(344, 256);  // "+": 1001.map
  r.At("click middle");  // a turn: unsaved work
  r.Menu(kNew);
  r.Hold(708, 424);  // "Отмена"
  r.Click(90, 32);
  r.Wait(20);
  r.Click(512, 492);  // "Закрыть", then a tool at once
  r.Tool(3);
  auto d = Run(r);
  const auto& e = d["editor"];
  EXPECT_EQ(e["map"]["objects"][0]["x"], 105);
  EXPECT_EQ(e["map"]["objects"][0]["y"], 105);
  EXPECT_EQ(e["undo_steps"], 2) << "the placing and the turn";
  EXPECT_TRUE(d["dialog"].is_null());
  EXPECT_EQ(e["current"], nlohmann::json({{"prototype", 3}}));
}

// "Не сохранять" holds for the one way out it answered; an opened level has a
// history of its own.
TEST_F(EditorHeadless, AnAnswerHoldsForOneActionAndAnOpenedLevelHasItsOwnHistory) {
  Replay r;
  r.Place(2, 3, 3);
  r.Menu(kSave);
  r.Click(344, 256);  // "+": 1001.map
  r.Place(2, 6, 6);
  r.Menu(kOpen);
  r.Click(512, 424);  // "Не сохранять"
  r.Wait(20);
  r.Click(344, 256);  // 1001.map
  r.Key("ctrl", true);
  r.Key("z", true);
  r.Wait(2);
  auto d = Run(r);
  EXPECT_EQ(d["editor"]["map"]["objects"].size(), 1u);
  EXPECT_EQ(d["editor"]["undo_steps"], 0);
  r.Key("z", false);
  r.Key("ctrl", false);
  std::filesystem::remove(Data.Level("1001.map"));  // saved by the run before, again by the next
  r.Place(2, 6, 6);
  r.Menu(kBack);
  r.Click(512, 424);  // "Не сохранять"
  r.Wait(110);
  r.Click(512, 388);  // "Редактор карт": the work is still there
  r.Wait(110);
  r.At("quit");
  d = Run(r);
  EXPECT_EQ(d["dialog"]["text"], "Сохранить изменения?");
}

// The habits designers bring from other editors: a box selects, Ctrl+C and
// Ctrl+V copy with the rope between, arrows move, Ctrl+S saves, the title
// names the level, Escape clears the selection, Space starts a test play.
TEST_F(EditorHeadless, KeysADesignerBringsFromOtherEditors) {
  Replay r;
  r.Place(2, 3, 3);
  r.Place(2, 6, 3);
  r.Tool(7);
  r.ClickGrid(3, 3);
  r.ClickGrid(6, 3);  // a rope between the two blocks
  r.Tool(0);
  r.Move(214 + 35 * 2, 34 + 35 * 2);
  r.Wait(2);
  r.At("press left");
  r.Wait(2);
  r.Move(214 + 35 * 7, 34 + 35 * 4);
  r.Wait(2);
  r.At("release left");
  r.Move(214 + 35 * 3 + 5, 34 + 35 * 10 + 5);
  r.Wait(2);
  auto keys = [&r](std::vector<std::string> names) {
    for (const auto& k : names) r.Key(k, true);
    for (const auto& k : names) r.Key(k, false);
    r.Wait(2);
  };
  keys({"ctrl", "c"});
  keys({"ctrl", "v"});
  keys({"right"});
  keys({"shift", "down"});
  keys({"ctrl", "s"});
  r.Click(344, 256);  // "+": 1001.map
  auto d = Run(r);
  const auto& e = d["editor"];
  ASSERT_EQ(e["map"]["objects"].size(), 4u);
  EXPECT_EQ(e["map"]["ropes"].size(), 2u);
  EXPECT_EQ(e["map"]["ropes"][1]["object_a"], 2);
  EXPECT_EQ(e["selection"], nlohmann::json({2, 3}));
  EXPECT_EQ(e["clipboard"], 2);
  EXPECT_EQ(e["map"]["objects"][2]["x"], 35 * 4);
  EXPECT_EQ(e["map"]["objects"][2]["y"], 35 * 10 + 1);
  EXPECT_EQ(e["title"], "001");
  keys({"escape"});
  keys({"backspace"});
  keys({"space"});
  std::filesystem::remove(Data.Level("1001.map"));  // saved again by the next run
  d = Run(r);
  EXPECT_EQ(d["editor"]["selection"].size(), 0u);
  EXPECT_EQ(d["editor"]["map"]["objects"].size(), 4u) << "nothing selected, nothing deleted";
  EXPECT_TRUE(d["editor"]["map"]["running"]);
}

}  // namespace
