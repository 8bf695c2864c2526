// A monkey plays the whole game for a fixed number of ticks with each of a
// few fixed seeds: clicks, drags, middle clicks and keys, aimed at the
// controls of whichever scene is current (main menu, level chooser, game,
// editor with its tools, ropes, delete, panels, test play and file menu) and
// at the field. Nothing may crash (the sanitizer build runs it too), the
// state dump must stay writable, and every level the monkey saved must load
// back whole. KELVOD_KEEP_MONKEY=DIR keeps each run as a replay for
//   kelvod --headless --data <data> --seed 1 --ticks N --replay DIR/<seed>.replay
// (<data>: the game's art with levels 1001, 1002 and 1008 in level/).
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <iostream>
#include <map>
#include <filesystem>
#include <fstream>
#include <random>

#include "app/uDump.h"
#include "app/uGlobals.h"
#include "app/uProgram.h"
#include "app/uReplay.h"
#include "editor/uEditor.h"
#include "editor/uEditorMenu.h"
#include "level/uGameForm.h"
#include "level/uMap.h"
#include "level/uMapFile.h"
#include "scenes/uGame.h"
#include "scenes/uLevelMenu.h"
#include "sim/uMapObj.h"
#include "support/TestSupport.h"
#include "ui/uScene.h"

namespace {

namespace fs = std::filesystem;

using TPoint = std::pair<int, int>;

class Monkey : public GameTest, public ::testing::WithParamInterface<uint32_t> {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    for (const char* name : {"1001.map", "1002.map", "1008.map"})
      fs::copy_file(fs::path(KELVOD_SOURCE_DIR) / "data" / "level" / name, Data.Level(name));
    StartGame(Data.Dir());
    eng_SetBackend(nullptr);  // frames are drawn, nothing is looked at
  }

  // --- what there is to click in the current scene ---

  std::string Scene() const { return SceneManager->Current ? SceneManager->Current->Name() : ""; }

  static void AddObjects(const TMap& map, std::vector<TPoint>* points) {
    for (const auto& o : map.Objects) points->push_back({map.OriginX + o->X, map.OriginY + o->Y});
  }

  static void AddForm(const TMeForm& form, std::vector<TPoint>* points) {
    for (const auto& b : form.Objects) points->push_back({form.X + b->X, form.Y + b->Y});
  }

  // A visible pop-up form takes all input: then only its buttons count.
  std::vector<TPoint> Targets() const {
    std::vector<TPoint> points;
    const std::string scene = Scene();
    if (scene == "menu") {
      if (LevelMenu->Visible) return AddForm(*LevelMenu, &points), points;
      for (int y : {284, 336, 388}) points.push_back({512, y});  // not "Выход": the monkey stays
    } else if (scene == "game") {
      if (GameScene->WinForm->Visible) return AddForm(*GameScene->WinForm, &points), points;
      AddForm(*GameScene->ButtonBar, &points);
      AddForm(*GameScene->Map->GameForm, &points);
      AddObjects(*GameScene->Map, &points);
    } else if (scene == "editor") {
      if (EditorScene->Popup && EditorScene->Popup->Visible) return AddForm(*EditorScene->Popup, &points), points;
      AddForm(*EditorScene->ToolForm, &points);
      AddForm(*EditorScene->PropPanel, &points);
      AddForm(*EditorScene->PlayPanel, &points);
      AddObjects(*EditorScene->Doc.Map, &points);
    }
    return points;
  }

  // An event for the next tick, kept for the replay.
  void Put(TReplayEvent::Kind kind, int a = 0, int b = 0) {
    TReplayEvent e;
    e.kind = kind;
    e.Tick = TickNow + 1;
    if (kind == TReplayEvent::MOVE)
      e.X = a, e.Y = b;
    else if (kind == TReplayEvent::KEY)
      e.Key = a, e.Down = b;
    else
      e.Button = a;
    Events.push_back(e);
    Player.Add(e);
  }
  void Run(int ticks) {
    for (int i = 0; i < ticks; ++i) Player.BeforeTick(++TickNow), Tick();
  }

  int Between(int lo, int hi) { return lo + static_cast<int>(Random() % static_cast<uint32_t>(hi - lo + 1)); }
  TPoint Anywhere() { return {Between(0, 1023), Between(0, 767)}; }
  TPoint InField() { return {214 + 35 * Between(0, 17) + Between(-3, 3), 34 + 35 * Between(0, 19) + Between(-3, 3)}; }
  TPoint OneOf(const std::vector<TPoint>& points) {
    return points.empty() ? InField() : points[Random() % points.size()];
  }
  TPoint Target() { return OneOf(Targets()); }
  TPoint AnObject() {
    std::vector<TPoint> objects;
    AddObjects(*EditorScene->Doc.Map, &objects);
    return OneOf(objects);
  }

  void Click(TPoint p, int button = M_BLEFT) {
    Put(TReplayEvent::MOVE, p.first, p.second), Run(1);
    Put(TReplayEvent::CLICK, button), Run(1);
  }
  void WithKey(int key, TPoint p) {
    Put(TReplayEvent::KEY, key, true);
    Click(p);
    Put(TReplayEvent::KEY, key, false);
  }
  void Press(TPoint p, int ticks) {
    Put(TReplayEvent::MOVE, p.first, p.second), Put(TReplayEvent::PRESS, M_BLEFT), Run(ticks);
  }
  void Drag(TPoint from, TPoint to) {
    Press(from, 2);
    for (int k = 1; k <= 4; ++k) {
      Put(TReplayEvent::MOVE, from.first + (to.first - from.first) * k / 4,
          from.second + (to.second - from.second) * k / 4);
      Run(1);
    }
    Put(TReplayEvent::RELEASE, M_BLEFT), Run(1);
  }

  // What a level designer does in a few clicks: a rope between two objects,
  // saving, opening, going back to the main menu.
  void EditorHabit() {
    switch (Between(0, 3)) {
      case 0: Click({50, 660}), Click(AnObject()), Click(AnObject()); break;  // the rope tool
      case 1: Click({90, 32}), Click({512, 336}), Click(Target()); break;  // "Меню", "Сохранить"
      case 2: Click({90, 32}), Click({512, 388}), Click(Target()); break;  // "Открыть"
      default: Click({90, 32}), Click({512, 440}); break;                  // "В меню"
    }
  }

  // One thing a player might do, picked at random.
  void Act() {
    const int roll = Between(0, 99);
    if (roll < 10 && Scene() == "editor" && !EditorScene->Doc.Map->Running) EditorHabit();
    else if (roll < 40) Click(Target());
    else if (roll < 55) Click(Target()), Click(InField());  // a tool, then the field
    else if (roll < 62) Click(Target()), Click(Target());
    else if (roll < 68) WithKey(K_SHIFT, InField());
    else if (roll < 72) WithKey(K_CTRL, Target());
    else if (roll < 77) Click(Between(0, 1) ? Target() : Anywhere(), M_BMIDDLE);
    else if (roll < 85) {
      const TPoint from = Target();
      Drag(from, InField());
    }
    else if (roll < 90) Click(Anywhere());
    else if (roll < 94) {
      const int key = std::array{K_ESCAPE, K_RETURN, K_DELETE, KeyLetter('r')}[Between(0, 3)];
      Put(TReplayEvent::KEY, key, true), Run(1), Put(TReplayEvent::KEY, key, false), Run(1);
    } else if (roll < 97) {
      const TPoint at = Target();
      Press(at, Between(10, 80));  // a long press: a hot beam in play
      Put(TReplayEvent::RELEASE, M_BLEFT);
    } else {
      Run(Between(20, 150));  // watch a while
    }
  }

  void KeepReplay(uint32_t seed) const {
    const char* folder = std::getenv("KELVOD_KEEP_MONKEY");
    if (!folder) return;
    std::ofstream out(fs::path(folder) / (std::to_string(seed) + ".replay"));
    for (const auto& e : Events) out << FormatReplayEvent(e) << "\n";
  }

  // KELVOD_MONKEY_TICKS plays longer (or shorter) runs.
  static uint64_t Ticks() {
    const char* asked = std::getenv("KELVOD_MONKEY_TICKS");
    return asked ? std::strtoull(asked, nullptr, 10) : 10000;
  }
  TestData Data;
  std::mt19937 Random;
  std::vector<TReplayEvent> Events;
  TReplayPlayer Player{{}};
  uint64_t TickNow = 0;
};

TEST_P(Monkey, PlaysEverySceneAndEverySavedLevelLoadsBackWhole) {
  Random.seed(GetParam());
  std::map<std::string, int> ticksIn;
  size_t mostObjects = 0, mostRopes = 0;
  int testPlay = 0;
  const uint64_t ticks = Ticks();
  while (TickNow < ticks) {
    const uint64_t before = TickNow;
    Act();
    ticksIn[Scene()] += static_cast<int>(TickNow - before);
    const TMap& edited = *EditorScene->Doc.Map;
    mostObjects = std::max(mostObjects, edited.Objects.size());
    mostRopes = std::max(mostRopes, edited.Ropes.size());
    if (Scene() == "editor" && edited.Running) testPlay += static_cast<int>(TickNow - before);
  }
  KeepReplay(GetParam());
  std::cout << "seed " << GetParam() << ": ticks in menu " << ticksIn["menu"] << ", game "
            << ticksIn["game"] << ", editor " << ticksIn["editor"] << " (test play " << testPlay
            << "); most objects " << mostObjects << ", ropes " << mostRopes << "; levels "
            << std::distance(fs::directory_iterator(Data.Dir() + "/level"), fs::directory_iterator()) << "\n";
  for (const char* scene : {"menu", "game", "editor"}) EXPECT_GT(ticksIn[scene], 0) << "never in " << scene;
  EXPECT_NO_THROW(BuildDump().dump());
  // Every level in the folder (the monkey's saves among them) loads whole:
  // one object or rope for each record, nothing skipped or refused.
  for (const auto& e : fs::directory_iterator(Data.Dir() + "/level")) {
    if (e.path().extension() != ".map" || !e.is_regular_file()) continue;
    TMap map(kCellSize);
    ASSERT_TRUE(map.LoadFromFile(e.path().string())) << e.path();
    EXPECT_EQ(fs::file_size(e.path()), kMapRecordSize * (map.Objects.size() + map.Ropes.size())) << e.path();
  }
}

INSTANTIATE_TEST_SUITE_P(Seeds, Monkey, ::testing::Values(1u, 2u, 3u, 4u, 5u));

}  // namespace
