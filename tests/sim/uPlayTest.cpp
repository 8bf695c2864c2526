// A level built by hand and played by the real program from a replay: a laser
// box sets off a bomb under a battery that hangs on a rope; the player arms
// the hero, burns the rope through a mirror, and the battery falls into the
// hero's head and is delivered.
#include "SimFixture.h"

namespace {

class PlayTest : public SimTest {
 protected:
  void BuildLevel() {
    Block(300, 675, false, 140, 10);  // floor
    Hero(300, 640);
    TMapObj* anchor = Block(300, 330, false);
    TBattery* battery = Battery(300, 450, true);
    Mirror(470, 420, 26, 70, -17);
    TLazerBox* box = LaserBox(150, 560);
    box->BeamLength = 0;
    Bomb(300, 560);  // under the battery, 110 pixels away: only the last push reaches it
    Block(380, 590, false);
    Add<TMapObj>(5, Circle(32), 380, 561, true);  // a ball the blast throws
    Rope(anchor, 300, 343, battery, 300, 431);
    ASSERT_TRUE(Map->SaveToFile(Data.Level("1001.map")));
    // Wait for the blast, click the hero (screen 514, 674) to arm it, aim at
    // the mirror and hold the button until the rope has burnt.
    WriteText(Replay.File("play.txt"),
              "160 move 514 674\n160 click left\n162 move 684 454\n163 press left\n"
              "260 release left\n");
  }
  nlohmann::json Play(int ticks) {
    const std::string dump = Replay.File("dump" + std::to_string(ticks) + ".json");
    RunResult r = RunKelvod({"--headless", "--data", Data.Dir(), "--level", "0", "--seed", "1",
                             "--ticks", std::to_string(ticks), "--replay", Replay.File("play.txt"),
                             "--dump", dump, "--screenshot", Replay.File("shot.png")});
    EXPECT_EQ(r.Status, 0) << r.Output;
    return ReadJson(dump)["game"]["map"];
  }
  TempDir Replay;
};

TEST_F(PlayTest, BombRopeMirrorAndHeroDeliverTheBattery) {
  BuildLevel();
  nlohmann::json map = Play(150);
  const auto& objects = map["objects"];
  ASSERT_EQ(objects.size(), 9u);
  EXPECT_FALSE(objects[6]["alive"]);  // the bomb has gone off
  EXPECT_FLOAT_EQ(objects[3]["heat"].get<float>(), 96);  // one push: +100, cooled since
  EXPECT_GT(objects[8]["body"]["x"].get<float>(), 400);  // the ball was thrown
  EXPECT_FALSE(objects[3]["taken"]);

  map = Play(450);
  const auto& battery = map["objects"][3];
  EXPECT_TRUE(battery["taken"]);
  EXPECT_TRUE(battery["delivered"]);
  EXPECT_TRUE(battery["body"].is_null());
  EXPECT_EQ(map["batteries"], nlohmann::json::array({3}));
  const auto& segments = map["ropes"][0]["segments"];
  ASSERT_EQ(segments.size(), 5u);
  EXPECT_TRUE(segments[0]["enabled"]);  // the anchor's side stays
  EXPECT_TRUE(segments[1]["enabled"]);
  for (int i = 2; i < 5; ++i) EXPECT_FALSE(segments[i]["enabled"]) << i;
  EXPECT_TRUE(map["objects"][1]["armed"]);
  // The hero's aiming beam meets the mirror and goes on.
  ASSERT_EQ(map["lasers"].size(), 2u);
  EXPECT_EQ(map["lasers"][0]["kind"], 1);
  EXPECT_EQ(map["lasers"][0]["points"].size(), 2u);
}

}  // namespace
