#include <cmath>
#include <vector>

#include "SimFixture.h"

namespace {

// A bomb whose push can be called directly.
class TPushingBomb : public TBomb {
 public:
  using TBomb::TBomb;
  using TBomb::Push;
};

class BombTest : public SimTest {
 protected:
  // Lights a bomb's fuse with nothing left to burn: it ignites on the next tick.
  static void ReadyToIgnite(TBomb* bomb) {
    bomb->FuseLit = true;
    bomb->Fuse = 0;
  }
};

TEST_F(BombTest, HotBeamLightsTheFuseOnThe83rdTickIgnitesAndVanishes) {
  LaserBox(100, 100);
  TBomb* bomb = Bomb(200, 100);
  Start();  // tick 1: the first contact
  EXPECT_FLOAT_EQ(bomb->Heat, 4);
  Tick(81);
  EXPECT_FALSE(bomb->FuseLit);
  Tick();  // tick 83
  EXPECT_TRUE(bomb->FuseLit);
  EXPECT_EQ(bomb->HeatLevel, 246);
  Tick(40);
  EXPECT_FALSE(bomb->Exploding);
  EXPECT_EQ(bomb->Fuse, 0);
  Tick();  // 41 ticks after lighting
  EXPECT_TRUE(bomb->Exploding);
  EXPECT_FLOAT_EQ(bomb->Blast.Radius, 16);
  EXPECT_FLOAT_EQ(bomb->Blast.cX, 200);
  Tick(16);
  EXPECT_TRUE(bomb->Alive);
  EXPECT_EQ(bomb->BlastAlpha, 15);
  EXPECT_FLOAT_EQ(bomb->Blast.Radius, 128);
  Tick();  // 17 ticks after ignition
  EXPECT_FALSE(bomb->Alive);
  EXPECT_EQ(bomb->Body, nullptr);
  EXPECT_FLOAT_EQ(bomb->LastPosition.x, 200);
  Tick();
  ASSERT_EQ(Lasers().size(), 1u);
  EXPECT_GT(Lasers()[0]->Points[0].x, 1000);  // the beam now passes freely
  Recorder.Calls.clear();
  bomb->DrawGame();
  EXPECT_TRUE(Recorder.Calls.empty());
}

TEST_F(BombTest, AimingBeamIsStoppedButHeatsNothing) {
  Hero(100, 300)->Interactive = true;
  TBomb* bomb = Bomb(100, 150);
  Start();
  PointAt(100, 0);
  Tick(100);
  ASSERT_EQ(Lasers().size(), 1u);
  EXPECT_NEAR(Lasers()[0]->Points.back().y, 165, 0.01);
  EXPECT_FLOAT_EQ(bomb->Heat, 0);
}

TEST_F(BombTest, CoolsByOneAndLightsOnlyAboveTheThreshold) {
  TBomb* bomb = Bomb(200, 100);
  Start();
  bomb->Heat = 246;
  Tick();
  EXPECT_FALSE(bomb->FuseLit);
  EXPECT_EQ(bomb->HeatLevel, 245);
  Tick(245);
  EXPECT_FLOAT_EQ(bomb->Heat, 0);
  bomb->Heat = 246.5f;
  Tick();
  EXPECT_TRUE(bomb->FuseLit);
}

TEST_F(BombTest, PushesOnBlastTicks6And11And16OnlyDynamicBodies) {
  TBomb* probe = Bomb(340, 300, true);  // listed first: updates before the blast
  TBomb* fixed = Bomb(300, 345);
  THero* hero = Hero(258, 300, true);
  THero* standing = Hero(300, 250);
  TBomb* bomb = Bomb(300, 300);
  Start();
  World().PhysicsWorld->SetGravity(b2Vec2(0, 0));
  ReadyToIgnite(bomb);
  Tick();  // blast tick 0
  ASSERT_TRUE(bomb->Exploding);
  std::vector<int> heated, flashed;
  float last = probe->Heat;
  for (int t = 1; t <= 17; ++t) {
    bool wasCharging = hero->Charging;
    Tick();
    if (probe->Heat > last) heated.push_back(t);
    if (hero->Charging && !wasCharging) flashed.push_back(t);
    last = probe->Heat;
    if (t == 6) {
      EXPECT_FLOAT_EQ(bomb->Blast.Radius, 58);
    }
  }
  EXPECT_EQ(heated, (std::vector<int>{6, 11, 16}));
  EXPECT_FLOAT_EQ(probe->Heat, 290 - 1);  // +300, less one per tick since the first push
  EXPECT_GT(probe->Body->GetPosition().x, 345);  // thrown away from the blast
  EXPECT_EQ(flashed, (std::vector<int>{6}));
  EXPECT_FLOAT_EQ(fixed->Heat, 0);
  EXPECT_FALSE(standing->Charging);
  EXPECT_FALSE(bomb->Alive);
}

TEST_F(BombTest, BodyOnTheBlastOriginGetsNoPushButIsStillReached) {
  auto pusher = std::make_unique<TPushingBomb>(Map->Sprite(8), Circle(30));
  pusher->X = pusher->Y = 500;
  pusher->Dynamic = false;
  TPushingBomb* bomb = pusher.get();
  Map->Objects.push_back(std::move(pusher));
  TBomb* onOrigin = Bomb(100, 100, true);
  TBomb* beside = Bomb(140, 100, true);
  Start();
  bomb->BlastOrigin = onOrigin->Body->GetPosition();
  bomb->Blast = {bomb->BlastOrigin.x, bomb->BlastOrigin.y, 100};
  bomb->Push();
  b2Vec2 v = onOrigin->Body->GetLinearVelocity();
  EXPECT_TRUE(std::isfinite(v.x) && std::isfinite(v.y));
  EXPECT_FLOAT_EQ(v.x, 0);
  EXPECT_FLOAT_EQ(onOrigin->Heat, 100);
  EXPECT_GT(beside->Body->GetLinearVelocity().x, 0);
  Tick(5);
  EXPECT_TRUE(std::isfinite(onOrigin->Body->GetPosition().x));
}

TEST_F(BombTest, HeatRingColourStaysAValidColourAtAnyHeat) {
  EXPECT_EQ(HeatColour(0), 0xFFFFFFu);
  EXPECT_EQ(HeatColour(255), 0xFF0000u);
  EXPECT_EQ(HeatColour(300), 0xFFFFFFu - 257u * 300u);  // the formula, past red
  for (int32_t level : {70000, 1000000000, INT32_MAX, -1})
    EXPECT_LE(HeatColour(level), 0xFFFFFFu) << level;

  TBomb* bomb = Bomb(200, 100);
  Start();
  bomb->HeatLevel = 300;
  bomb->FuseLit = true;
  bomb->Fuse = 100;
  const auto& calls = Frame();
  ASSERT_EQ(calls.size(), 3u);  // sprite, heat ring, fuse ring
  EXPECT_EQ(calls[1].color, HeatColour(300));
  EXPECT_FLOAT_EQ(calls[1].w, 14);
  EXPECT_EQ(calls[1].flags, 0u);
  EXPECT_FLOAT_EQ(calls[2].w, 7);
  EXPECT_FLOAT_EQ(calls[1].x, 214 + 200);
}

}  // namespace
