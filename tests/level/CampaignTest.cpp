// Every shipped level is winnable: its solution replay wins it, headless, and
// doing nothing for as long does not, nor does a player clicking at random.
// The level files are exactly what their scripts in levels/ build.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <random>

#include "app/uGlobals.h"
#include "app/uProgram.h"
#include "app/uReplay.h"
#include "level/uLevelHint.h"
#include "scenes/uGame.h"
#include "sim/uHero.h"
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
  const std::string solution = (kSource / "tests" / "solutions" / (GetParam() + ".replay")).string();
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
}

INSTANTIATE_TEST_SUITE_P(Shipped, Campaign, ::testing::ValuesIn(ShippedLevels()),
                         [](const auto& info) { return "Level" + info.param; });

TEST(CampaignSize, ShipsAtLeastThirtyLevels) { EXPECT_GE(ShippedLevels().size(), 30u); }

// The first seed of a level's random tries: FNV-1a of its name, so a level keeps
// its tries when others are added or renumbered.
uint32_t SeedOf(const std::string& name) {
  uint32_t h = 2166136261u;
  for (unsigned char c : name) h = (h ^ c) * 16777619u;
  return h;
}

// One event of the left button or the pointer.
TReplayEvent Event(TReplayEvent::Kind kind, uint64_t tick, int x = 0, int y = 0) {
  TReplayEvent e;
  e.kind = kind;
  e.Tick = tick;
  e.X = x;
  e.Y = y;
  e.Button = M_BLEFT;
  return e;
}

// A player who has not understood the level: switches every hero's laser on,
// then points at random places of the field and holds the button at random
// moments, for `inputTicks` ticks. The pointer and the button change
// independently, so a hot beam is sometimes swept across the field.
std::vector<TReplayEvent> RandomPlayer(uint32_t seed, const std::vector<std::pair<int, int>>& heroes,
                                       uint64_t inputTicks) {
  std::mt19937 random(seed);
  auto between = [&random](int lo, int hi) { return lo + static_cast<int>(random() % (hi - lo + 1)); };
  std::vector<TReplayEvent> events;
  uint64_t tick = 3;
  for (auto [x, y] : heroes) {
    events.push_back(Event(TReplayEvent::MOVE, tick, x, y));
    events.push_back(Event(TReplayEvent::CLICK, tick));
    tick += 2;
  }
  const uint64_t first = tick, last = first + inputTicks;
  for (uint64_t t = first; t < last; t += between(20, 100))
    events.push_back(Event(TReplayEvent::MOVE, t, between(214, 844), between(34, 734)));
  for (uint64_t t = first + between(5, 40); t < last;) {
    events.push_back(Event(TReplayEvent::PRESS, t));
    t += between(20, 150);
    events.push_back(Event(TReplayEvent::RELEASE, std::min(t, last)));
    t += between(10, 60);
  }
  std::stable_sort(events.begin(), events.end(),
                   [](const TReplayEvent& a, const TReplayEvent& b) { return a.Tick < b.Tick; });
  return events;
}

// The random player against every level, in this process on the game's own
// scenes (a separate run per try would cost more than the play).
class CampaignByChance : public GameTest, public ::testing::WithParamInterface<std::string> {
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
  // The screen points of the heroes whose laser starts off.
  std::vector<std::pair<int, int>> HeroesToArm() const {
    std::vector<std::pair<int, int>> heroes;
    for (const auto& o : GameScene->Map->Objects)
      if (dynamic_cast<THero*>(o.get()) && !o->Interactive)
        heroes.push_back({GameScene->Map->OriginX + o->X, GameScene->Map->OriginY + o->Y});
    return heroes;
  }
  // Plays one try from the level's start; true when the level is won.
  bool Try(uint32_t seed) {
    GameScene->Start(Index());
    GameScene->Activate();
    eng_SetButton(M_BLEFT, false);
    mouse_ClearState();
    std::vector<TReplayEvent> events = RandomPlayer(seed, HeroesToArm(), kInputTicks);
    Keep(seed, events);
    TReplayPlayer player(events);
    for (uint64_t tick = 1; tick <= kInputTicks + kSettleTicks; ++tick) {
      player.BeforeTick(tick);
      Tick();
      if (GameScene->WinForm->Visible) return true;
    }
    return false;
  }
  // With KELVOD_KEEP_RANDOM_TRIES set to a folder, every try is written there as
  // a replay, to be watched with --replay when a level falls to chance.
  void Keep(uint32_t seed, const std::vector<TReplayEvent>& events) const {
    const char* folder = std::getenv("KELVOD_KEEP_RANDOM_TRIES");
    if (!folder) return;
    std::ofstream out(fs::path(folder) / (std::to_string(seed) + ".replay"));
    for (const auto& e : events) out << FormatReplayEvent(e) << "\n";
  }
  static constexpr uint64_t kInputTicks = 400;
  static constexpr uint64_t kSettleTicks = 350;
  TestData Folder;
};

// Twenty tries of 750 ticks take about half a second a level, and a few times
// that under the sanitizers, so every build runs them all.
constexpr int kTries = 20;

TEST_P(CampaignByChance, ARandomPlayerWinsAtMostOneTryInFour) {
  // KELVOD_RANDOM_TRIES measures a level more closely while it is designed.
  const char* asked = std::getenv("KELVOD_RANDOM_TRIES");
  const int tries = asked ? std::max(1, std::atoi(asked)) : kTries;
  int wins = 0;
  for (int i = 0; i < tries; ++i) wins += Try(SeedOf(GetParam()) + static_cast<uint32_t>(i));
  RecordProperty("random_wins", wins);
  std::cout << GetParam() << ": a random player won " << wins << " of " << tries << "\n";
  // The first five levels teach one thing each and may be won by a lucky click.
  if (Index() >= 5) {
    EXPECT_LE(wins * 4, tries) << GetParam() << " is won by chance";
  }
}

INSTANTIATE_TEST_SUITE_P(Shipped, CampaignByChance, ::testing::ValuesIn(ShippedLevels()),
                         [](const auto& info) { return "Level" + info.param; });

}  // namespace
