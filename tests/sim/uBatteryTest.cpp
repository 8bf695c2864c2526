#include <cmath>

#include "SimFixture.h"

namespace {

class BatteryTest : public SimTest {
 protected:
  static bool ParticlesFinite(const TBattery& b) {
    for (const TParticle& p : b.Particles)
      if (!std::isfinite(p.Pos.x) || !std::isfinite(p.Pos.y) || !std::isfinite(p.ScreenX) ||
          !std::isfinite(p.ScreenY) || !std::isfinite(p.Size))
        return false;
    return true;
  }
};

TEST_F(BatteryTest, HotBeamLightsTheFuseOnThe308thTickWhileParticlesCircle) {
  LaserBox(100, 100);
  TBattery* battery = Battery(200, 100);
  Start();
  EXPECT_FLOAT_EQ(battery->Heat, 1.8f);
  for (int t = 0; t < 305; ++t) {
    Tick();
    for (const TParticle& p : battery->Particles) {
      ASSERT_LE(std::fabs(p.Pos.x - 200), 10.0001f);
      ASSERT_LE(std::fabs(p.Pos.y - 100), 10.0001f);
      ASSERT_GE(p.Size, 20);
      ASSERT_LE(p.Size, 34);
    }
  }
  Tick();
  EXPECT_FALSE(battery->FuseLit);
  Tick();  // tick 308
  EXPECT_TRUE(battery->FuseLit);
}

TEST_F(BatteryTest, TakenBatteryIsDeliveredOnIts126thUpdate) {
  THero* hero = Hero(200, 300);   // head centre (200, 285)
  TBattery* battery = Battery(200, 250);
  Start();  // the hero takes it; the battery's update 1 follows in the same tick
  ASSERT_TRUE(battery->Taken);
  EXPECT_EQ(battery->HeroBody, hero->Body);
  EXPECT_EQ(battery->BodyAlpha, 238);
  Tick(33);  // update 34
  EXPECT_TRUE(battery->Alive);
  EXPECT_EQ(battery->BodyAlpha, 7);
  Tick();  // update 35
  EXPECT_FALSE(battery->Alive);
  EXPECT_EQ(battery->Body, nullptr);
  for (int update = 36; update <= 125; ++update) {
    Tick();
    ASSERT_TRUE(ParticlesFinite(*battery));
  }
  EXPECT_FALSE(battery->Delivered);
  EXPECT_EQ(battery->Countdown, 160);
  Tick();  // update 126
  EXPECT_TRUE(battery->Delivered);
  Tick(74);  // update 200: the swarm has closed in on the hero
  EXPECT_NEAR(battery->Particles[0].Pos.x, 200, 0.5);
  EXPECT_NEAR(battery->Particles[0].Pos.y, 300, 0.5);
  Tick(35);  // update 235
  EXPECT_TRUE(battery->Visible);
  Tick();
  EXPECT_FALSE(battery->Visible);
  Recorder.Calls.clear();
  battery->DrawGame();
  EXPECT_TRUE(Recorder.Calls.empty());
  EXPECT_TRUE(battery->Delivered);
}

TEST_F(BatteryTest, ExplodedBatteryIsNeverTakenOrDelivered) {
  Hero(200, 300);
  TBattery* battery = Battery(400, 250);
  Start();
  battery->FuseLit = true;
  battery->Fuse = 0;
  Tick(18);  // ignition, then 17 blast ticks
  ASSERT_FALSE(battery->Alive);
  EXPECT_TRUE(battery->Visible);
  // A particle resting exactly on the battery's last position stays put.
  battery->Particles[0].Pos = battery->LastPosition;
  Tick();
  EXPECT_TRUE(ParticlesFinite(*battery));
  EXPECT_EQ(battery->Particles[0].Pos.x, battery->LastPosition.x);
  EXPECT_EQ(battery->Particles[0].Pos.y, battery->LastPosition.y);
  EXPECT_FALSE(battery->TryCollect({400, 250, 100}, nullptr));
  Tick(400);
  EXPECT_FALSE(battery->Taken);
  EXPECT_FALSE(battery->Delivered);
  EXPECT_FALSE(battery->Visible);
  ASSERT_EQ(World().Batteries.size(), 1u);  // still counted: the level cannot be won
  EXPECT_TRUE(ParticlesFinite(*battery));
}

TEST_F(BatteryTest, TakenDuringItsOwnBlastBothMotionsRunSafely) {
  Hero(200, 300);
  TBattery* battery = Battery(200, 250);
  Start();
  ASSERT_TRUE(battery->Taken);
  battery->FuseLit = true;
  battery->Fuse = 0;
  for (int t = 0; t < 300; ++t) {
    Tick();
    ASSERT_TRUE(ParticlesFinite(*battery));
  }
  EXPECT_FALSE(battery->Alive);
  EXPECT_FALSE(battery->Visible);
}

TEST_F(BatteryTest, DrawsItsLayersWithTheGlowOfTheHeatLevel) {
  TBattery* battery = Battery(200, 100);
  Start();
  battery->HeatLevel = 300;
  const auto& calls = Frame();
  ASSERT_EQ(calls.size(), 2u + 1u + 16u + 1u);
  EXPECT_EQ(calls[0].alpha, 245 / 2);  // frame 0 at half alpha
  EXPECT_EQ(calls[1].angle, battery->Spin);
  EXPECT_EQ(calls[2].kind, zglDrawCall::CIRCLE);
  EXPECT_EQ(calls[2].color, 0xFF2222u);
  EXPECT_EQ(calls[2].alpha, 255);  // a blast's heat past 255 stays full red
  for (int i = 3; i < 19; ++i) EXPECT_EQ(calls[i].w, battery->Particles[i - 3].Size);
  EXPECT_EQ(calls[19].kind, zglDrawCall::SPRITE);

  battery->FuseLit = true;
  battery->Fuse = 0;
  Tick(2);
  const auto& blast = Frame();
  ASSERT_EQ(blast.size(), 2u + 16u + 2u);  // no glow while exploding; the disc on top
  EXPECT_EQ(blast.back().kind, zglDrawCall::CIRCLE);
  EXPECT_EQ(blast.back().quality, 25);
  EXPECT_EQ(blast.back().alpha, 240);
}

}  // namespace
