// What is heard when, end to end through the real executable: --sound-log.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "support/TestSupport.h"

namespace fs = std::filesystem;

namespace {

class SoundLog : public ::testing::Test {
 protected:
  RunResult Run(int ticks, const std::string& replay, std::vector<std::string> extra = {}) {
    std::vector<std::string> args = {"--headless", "--data", Data.Dir(), "--seed", "3",
                                     "--ticks", std::to_string(ticks), "--replay", replay};
    args.insert(args.end(), extra.begin(), extra.end());
    return RunKelvod(args);
  }
  std::string Replay(const std::string& text) {
    WriteText(Temp.File("in.replay"), text);
    return Temp.File("in.replay");
  }
  TestData Data;
  TempDir Temp;
};

// The first level's solution: switch the laser on, burn the rope, and the
// battery rolls to the hero. Each sound comes on the tick its change shows in
// the state dump (one tick earlier it does not).
TEST_F(SoundLog, TheFirstLevelsSolutionSoundsInOrderOnTheTicksItsStateChanges) {
  fs::copy_file(fs::path(KELVOD_SOURCE_DIR) / "data/level/1001.map", Data.Level("1001.map"));
  const std::string solution = std::string(KELVOD_SOURCE_DIR) + "/data/level/1001.solution";
  const std::string log = Temp.File("sound.log");
  RunResult r = Run(500, solution, {"--level", "0", "--sound-log", log});
  ASSERT_EQ(r.Status, 0) << r.Output;
  EXPECT_EQ(ReadText(log),
            "1 level_start\n5 laser_on\n12 beam_hot\n78 rope_burn\n165 impact\n306 battery_taken\n"
            "308 impact\n431 battery_delivered\n431 win\n");

  auto dumpAt = [&](int tick) {
    EXPECT_EQ(Run(tick, solution, {"--level", "0", "--dump", Temp.File("d.json")}).Status, 0);
    nlohmann::json game = ReadJson(Temp.File("d.json"))["game"];
    nlohmann::json battery;
    for (const auto& o : game["map"]["objects"])
      if (o["class"] == "TBattery") battery = o;
    return std::make_pair(game, battery);
  };
  struct Change {
    int Tick;
    std::function<bool(const nlohmann::json& game, const nlohmann::json& battery)> Shows;
  };
  const Change changes[] = {
      {5, [](auto& g, auto&) { return g["map"]["objects"][1]["armed"] == true; }},
      {12, [](auto& g, auto&) { return g["map"]["objects"][1]["firing"] == true; }},
      {78, [](auto& g, auto&) { return g["map"]["ropes"][0]["drop_b"] == false; }},
      {306, [](auto&, auto& b) { return b["taken"] == true; }},
      {431, [](auto& g, auto& b) { return b["delivered"] == true && g["win_visible"] == true; }}};
  for (const Change& c : changes) {
    auto [before, batteryBefore] = dumpAt(c.Tick - 1);
    auto [after, batteryAfter] = dumpAt(c.Tick);
    EXPECT_FALSE(c.Shows(before, batteryBefore)) << "tick " << c.Tick - 1;
    EXPECT_TRUE(c.Shows(after, batteryAfter)) << "tick " << c.Tick;
  }
}

TEST_F(SoundLog, ButtonsClickAndTheMKeyMutesAndUnmutes) {
  // "Редактор карт" is clicked on tick 1; M goes down on ticks 2 and 4.
  const std::string replay = Replay("1 move 512 388\n1 click left\n2 key m down\n3 key m up\n4 key m down\n");
  const std::string log = Temp.File("sound.log");
  RunResult r = Run(3, replay, {"--sound-log", log, "--dump", Temp.File("d.json")});
  ASSERT_EQ(r.Status, 0) << r.Output;
  EXPECT_EQ(ReadText(log), "1 click\n");
  EXPECT_EQ(ReadJson(Temp.File("d.json"))["muted"], true);
  ASSERT_EQ(Run(4, replay, {"--dump", Temp.File("d.json")}).Status, 0);
  EXPECT_EQ(ReadJson(Temp.File("d.json"))["muted"], false);
}

}  // namespace
