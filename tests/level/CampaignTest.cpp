// Every shipped level is winnable: its solution replay wins it, headless, and
// doing nothing for as long does not. The level files are exactly what their
// scripts in levels/ build.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "app/uReplay.h"
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
  nlohmann::json won = Play(solution, ticks);
  EXPECT_EQ(won["scene"], "game");
  EXPECT_EQ(won["game"]["win_visible"], true) << GetParam() << " is not won by its solution";
  WriteText(Temp.File("empty.replay"), "# nothing\n");
  nlohmann::json idle = Play(Temp.File("empty.replay"), ticks);
  EXPECT_EQ(idle["game"]["win_visible"], false) << GetParam() << " is won by doing nothing";
}

TEST_P(Campaign, TheLevelFileIsWhatItsScriptBuilds) {
  const fs::path script = kSource / "levels" / (GetParam() + ".lvl");
  ASSERT_TRUE(fs::exists(script)) << script;
  const std::string out = Temp.File("built.map");
  std::string cmd = std::string("'") + KELVOD_LEVELGEN + "' '" + script.string() + "' '" + out + "'";
  ASSERT_EQ(std::system(cmd.c_str()), 0);
  EXPECT_EQ(ReadText(out), ReadText((kSource / "data" / "level" / (GetParam() + ".map")).string()))
      << "data/level/" << GetParam() << ".map is out of date: run tools/make_levels.sh";
}

INSTANTIATE_TEST_SUITE_P(Shipped, Campaign, ::testing::ValuesIn(ShippedLevels()),
                         [](const auto& info) { return "Level" + info.param; });

TEST(CampaignSize, ShipsAtLeastTwelveLevels) { EXPECT_GE(ShippedLevels().size(), 12u); }

}  // namespace
