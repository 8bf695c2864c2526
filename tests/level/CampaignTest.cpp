// Every shipped level is fair: its solution wins it, headless, and still does
// with its aims and timings a little off; left alone it stays still and is not
// won; a player shooting at random objects seldom wins it. The level files,
// hints and solutions are exactly what levels/ holds.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <random>
#include <set>

#include "app/uGlobals.h"
#include "app/uProgram.h"
#include "app/uReplay.h"
#include "level/uLevelHint.h"
#include "scenes/uGame.h"
#include "sim/uBattery.h"
#include "sim/uHero.h"
#include "sim/uRope.h"
#include "sim/uWorld.h"
#include "support/TestSupport.h"

namespace fs = std::filesystem;

namespace {

const fs::path kSource = KELVOD_SOURCE_DIR;

std::vector<std::string> ShippedLevels() {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(kSource / "data" / "level"))
    if (e.path().extension() == ".map") names.push_back(e.path().stem().string());
  std::sort(names.begin(), names.end());
  return names;
}

// A temp data folder with the shipped art and levels.
class Campaign : public ::testing::TestWithParam<std::string> {
 protected:
  void SetUp() override {
    fs::copy(kSource / "data" / "level", Data.Dir() + "/level",
             fs::copy_options::recursive | fs::copy_options::overwrite_existing);
  }
  int IndexOf(const std::string& name) {
    auto levels = ShippedLevels();
    return static_cast<int>(std::find(levels.begin(), levels.end(), name) - levels.begin());
  }
  // Runs level `name` for `ticks` with `replay`; returns the game's dump.
  nlohmann::json Play(const std::string& replay, uint64_t ticks) {
    RunResult r = RunKelvod({"--headless", "--data", Data.Dir(), "--seed", "7", "--level",
                             std::to_string(IndexOf(GetParam())), "--ticks", std::to_string(ticks),
                             "--replay", replay, "--dump", Temp.File("d.json")});
    EXPECT_EQ(r.Status, 0) << r.Output;
    return ReadJson(Temp.File("d.json"));
  }
  TestData Data;
  TempDir Temp;
};

TEST_P(Campaign, TheSolutionWinsAndDoingNothingDoesNot) {
  const std::string solution = (kSource / "data" / "level" / (GetParam() + ".solution")).string();
  std::vector<TReplayEvent> events;
  std::string error;
  ASSERT_TRUE(LoadReplay(solution, &events, &error)) << error;
  ASSERT_FALSE(events.empty());
  const uint64_t ticks = events.back().Tick + 700;
  nlohmann::json start = Play("/dev/null", 1);
  ASSERT_EQ(start["game"]["level_index"], IndexOf(GetParam()));
  ASSERT_FALSE(start["game"]["map"]["batteries"].empty()) << "the level has a battery to deliver";
  EXPECT_EQ(start["game"]["hint"], LoadLevelHint(Data.Level(GetParam() + ".map")))
      << "the level starts with its hint shown";
  nlohmann::json won = Play(solution, ticks);
  EXPECT_EQ(won["scene"], "game");
  EXPECT_EQ(won["game"]["win_visible"], true) << GetParam() << " is not won by its solution";
  // The map stands still under the failure form, so a win also proves it never appeared.
  EXPECT_EQ(won["game"]["lost_visible"], false) << GetParam() << " is called lost on the way to a win";
  WriteText(Temp.File("empty.replay"), "# nothing\n");
  nlohmann::json idle = Play(Temp.File("empty.replay"), ticks);
  EXPECT_EQ(idle["game"]["win_visible"], false) << GetParam() << " is won by doing nothing";
}

TEST_P(Campaign, TheLevelFileAndHintAreWhatTheScriptsHold) {
  const fs::path script = kSource / "levels" / (GetParam() + ".lvl");
  ASSERT_TRUE(fs::exists(script)) << script;
  const std::string out = Temp.File("built.map");
  std::string cmd = std::string("'") + KELVOD_LEVELGEN + "' '" + script.string() + "' '" + out + "'";
  ASSERT_EQ(std::system(cmd.c_str()), 0);
  EXPECT_EQ(ReadText(out), ReadText((kSource / "data" / "level" / (GetParam() + ".map")).string()))
      << "data/level/" << GetParam() << ".map is out of date: run tools/make_levels.sh";
  // The hint in the game's own language, and one per catalogue of po/ (NNNN.en.hint).
  std::vector<std::string> hints{".hint"};
  for (const auto& po : fs::directory_iterator(kSource / "po"))
    if (po.path().extension() == ".po") hints.push_back("." + po.path().stem().string() + ".hint");
  for (const std::string& suffix : hints) {
    const std::string hint = ReadText((kSource / "levels" / (GetParam() + suffix)).string());
    EXPECT_FALSE(hint.empty()) << "levels/" << GetParam() << suffix << " is missing";
    const std::string text = hint.substr(0, hint.find_last_not_of('\n') + 1);
    EXPECT_LE(std::count(text.begin(), text.end(), '\n'), 1) << "a hint is one or two lines";
    EXPECT_EQ(hint, ReadText((kSource / "data" / "level" / (GetParam() + suffix)).string()))
        << "data/level/" << GetParam() << suffix << " is out of date: run tools/make_levels.sh";
  }
  EXPECT_EQ(ReadText((kSource / "levels" / (GetParam() + ".solution")).string()),
            ReadText((kSource / "data" / "level" / (GetParam() + ".solution")).string()))
      << "data/level/" << GetParam() << ".solution is out of date: run tools/make_levels.sh";
}

INSTANTIATE_TEST_SUITE_P(Shipped, Campaign, ::testing::ValuesIn(ShippedLevels()),
                         [](const auto& info) { return "Level" + info.param; });

TEST(CampaignSize, ShipsAtLeastThirtyLevels) { EXPECT_GE(ShippedLevels().size(), 30u); }

// The first seed of a level's tries: FNV-1a of its name, so a level keeps its
// tries when others are added or renumbered.
uint32_t SeedOf(const std::string& name) {
  uint32_t h = 2166136261u;
  for (unsigned char c : name) h = (h ^ c) * 16777619u;
  return h;
}

int Between(std::mt19937& random, int lo, int hi) {
  return lo + static_cast<int>(random() % static_cast<uint32_t>(hi - lo + 1));
}

// The solution with every aim moved by up to `pixels` and every tick by up to
// `ticks`; events of one tick move together and keep their order.
std::vector<TReplayEvent> Variant(std::vector<TReplayEvent> events, uint32_t seed, int pixels, int ticks) {
  std::mt19937 random(seed);
  uint64_t original = 0, moved = 0;
  for (TReplayEvent& e : events) {
    if (e.Tick != original) {
      original = e.Tick;
      const int64_t shifted = static_cast<int64_t>(e.Tick) + Between(random, -ticks, ticks);
      moved = std::max<uint64_t>(moved + 1, static_cast<uint64_t>(std::max<int64_t>(shifted, 1)));
    }
    e.Tick = moved;
    if (e.kind == TReplayEvent::MOVE) e.X += Between(random, -pixels, pixels), e.Y += Between(random, -pixels, pixels);
  }
  return events;
}

// The level on the game's own scenes in this process (a run of the program
// per try would cost more than the play).
class CampaignPlay : public GameTest, public ::testing::WithParamInterface<std::string> {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    fs::copy(kSource / "data" / "level", Folder.Dir() + "/level",
             fs::copy_options::recursive | fs::copy_options::overwrite_existing);
    StartGame(Folder.Dir());
    eng_SetBackend(nullptr);  // nothing is looked at; the frames are still drawn
  }
  int Index() const {
    auto levels = ShippedLevels();
    return static_cast<int>(std::find(levels.begin(), levels.end(), GetParam()) - levels.begin());
  }
  TMap& Map() const { return *GameScene->Map; }
  void Begin() {
    GameScene->Start(Index());
    GameScene->Activate();
    eng_SetButton(M_BLEFT, false);
    eng_SetMouse(0, 0);
    mouse_ClearState();
  }
  // Where the batteries, bombs and heroes that still have a body are.
  std::vector<std::pair<const TMapObj*, b2Vec2>> Places() const {
    std::vector<std::pair<const TMapObj*, b2Vec2>> places;
    for (const auto& o : Map().Objects)
      if ((dynamic_cast<const TBomb*>(o.get()) || dynamic_cast<const THero*>(o.get())) && o->Body)
        places.push_back({o.get(), o->Body->GetPosition()});
    return places;
  }
  // Left alone for `ticks`: how far anything moved after the first second,
  // and whether a battery was taken.
  float Drift(uint64_t ticks, bool* taken) {
    Begin();
    Tick(67);
    auto rest = Places();
    float drift = 0;
    *taken = false;
    for (uint64_t t = 67; t < ticks; ++t) {
      Tick();
      for (const auto& [object, at] : rest)
        if (object->Body) drift = std::max(drift, (object->Body->GetPosition() - at).Length());
      for (const TBattery* b : Map().World->Batteries) *taken = *taken || b->Taken;
    }
    return drift;
  }
  // Plays `events` as a demonstration from the level's start; true when won.
  bool Demo(std::vector<TReplayEvent> events) {
    Begin();
    const uint64_t ticks = events.back().Tick + 700;
    GameScene->PlayDemo(std::move(events));
    for (uint64_t t = 0; t < ticks && !GameScene->WinForm->Visible; ++t) Tick();
    return GameScene->WinForm->Visible;
  }
  // Screen points of the things a careless player shoots at: rope segments
  // still whole, bombs and batteries still there.
  std::vector<std::pair<int, int>> Targets() const {
    std::vector<std::pair<int, int>> targets;
    auto add = [&](b2Vec2 p) { targets.push_back({Map().OriginX + static_cast<int>(p.x), Map().OriginY + static_cast<int>(p.y)}); };
    for (const auto& o : Map().Objects)
      if (auto* bomb = dynamic_cast<const TBomb*>(o.get()); bomb && bomb->Alive && bomb->Body) add(bomb->Body->GetPosition());
    for (const auto& r : Map().Ropes)
      for (const b2Body* s : r->Segments)
        if (s->IsEnabled()) add(s->GetPosition());
    return targets;
  }
  // A player who has not understood the level: switches every hero's laser
  // on, then twice picks a rope segment, bomb or battery, points a few pixels
  // off it and holds a hot beam on that point for 40 to 160 ticks. True when
  // the level is won within `kTryTicks`.
  bool RandomTry(uint32_t seed) {
    Begin();
    std::mt19937 random(seed);
    std::vector<TReplayEvent> kept;
    uint64_t now = 0;
    auto act = [&](TReplayEvent::Kind kind, int x = 0, int y = 0) {
      TReplayEvent e;
      e.kind = kind, e.X = x, e.Y = y, e.Button = M_BLEFT, e.Tick = now + 1;
      kept.push_back(e);
      if (kind == TReplayEvent::MOVE) eng_SetMouse(x, y);
      else eng_SetButton(M_BLEFT, kind == TReplayEvent::PRESS);
    };
    // Runs `ticks` ticks; true once the level is won.
    auto play = [&](uint64_t ticks) {
      for (uint64_t end = now + ticks; now < end; ++now) {
        Tick();
        if (GameScene->WinForm->Visible) return true;
      }
      return false;
    };
    bool won = false;
    for (const auto& o : Map().Objects)
      if (dynamic_cast<const THero*>(o.get()) && !o->Interactive) {
        act(TReplayEvent::MOVE, Map().OriginX + o->X, Map().OriginY + o->Y);
        act(TReplayEvent::PRESS);
        won = won || play(1);
        act(TReplayEvent::RELEASE);
        won = won || play(1);
      }
    for (int shot = 0; shot < 2 && !won; ++shot) {
      won = play(static_cast<uint64_t>(Between(random, 10, 60)));
      const auto targets = Targets();
      if (won || targets.empty()) break;
      const auto [x, y] = targets[random() % targets.size()];
      act(TReplayEvent::MOVE, x + Between(random, -4, 4), y + Between(random, -4, 4));
      act(TReplayEvent::PRESS);
      won = play(static_cast<uint64_t>(Between(random, 40, 160)));
      act(TReplayEvent::RELEASE);
    }
    won = won || (now < kTryTicks && play(kTryTicks - now));
    eng_SetButton(M_BLEFT, false);
    Keep(seed, kept);
    return won;
  }
  // With KELVOD_KEEP_RANDOM_TRIES set to a folder, every try is written there as
  // a replay, to be watched with --replay when a level falls to chance.
  void Keep(uint32_t seed, const std::vector<TReplayEvent>& events) const {
    const char* folder = std::getenv("KELVOD_KEEP_RANDOM_TRIES");
    if (!folder) return;
    std::ofstream out(fs::path(folder) / (GetParam() + "-" + std::to_string(seed) + ".replay"));
    for (const auto& e : events) out << FormatReplayEvent(e) << "\n";
  }
  static constexpr uint64_t kTryTicks = 800;
  TestData Folder;
};

// Sixteen random tries, six variants of the solution and a minute left alone
// take about a second a level, a few under the sanitizers.
constexpr int kTries = 16;
constexpr int kVariants = 6;

TEST_P(CampaignPlay, StaysStillAloneIsSolvedRoughlyAndNotByChance) {
  bool taken = false;
  const float drift = Drift(3000, &taken);
  EXPECT_LE(drift, 5.0f) << GetParam() << " moves by itself after the first second";
  EXPECT_FALSE(taken) << GetParam() << " gives a battery away to a player who does nothing";
  EXPECT_FALSE(GameScene->WinForm->Visible) << GetParam() << " is won by doing nothing";

  std::vector<TReplayEvent> solution;
  std::string error;
  ASSERT_TRUE(LoadLevelSolution(Folder.Level(GetParam() + ".map"), &solution, &error)) << error;
  int variants = 0;
  for (int i = 0; i < kVariants; ++i) variants += Demo(Variant(solution, SeedOf(GetParam()) + i, 3, 5));
  EXPECT_GE(variants * 3, kVariants * 2) << GetParam() << "'s solution works only when played exactly";

  // KELVOD_RANDOM_TRIES measures a level more closely while it is designed.
  const char* asked = std::getenv("KELVOD_RANDOM_TRIES");
  const int tries = asked ? std::max(1, std::atoi(asked)) : kTries;
  int wins = 0;
  for (int i = 0; i < tries; ++i) wins += RandomTry(SeedOf(GetParam()) + 1000 + static_cast<uint32_t>(i));
  RecordProperty("random_wins", wins);
  std::cout << GetParam() << ": drift " << drift << " px, " << variants << " of " << kVariants
            << " rough solutions won, a random player won " << wins << " of " << tries << "\n";
  // The first five levels teach one thing each and may be won by a lucky shot.
  if (Index() >= 5) {
    EXPECT_LE(wins * 4, tries) << GetParam() << " is won by chance";
  }
}

INSTANTIATE_TEST_SUITE_P(Shipped, CampaignPlay, ::testing::ValuesIn(ShippedLevels()),
                         [](const auto& info) { return "Level" + info.param; });

}  // namespace
