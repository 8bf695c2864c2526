#include <cmath>

#include "SimFixture.h"
#include "level/uGameForm.h"

namespace {

// A static hero at (200, 300): its sprite (38 x 64) covers screen x 395..433,
// y 302..366; the pointer is over it strictly inside 397..431 by 304..364.
class HeroTest : public SimTest {
 protected:
  void SetUp() override {
    SimTest::SetUp();
    Me = Hero(200, 300);
  }
  void ClickOnHero() {
    eng_SetMouse(414, 334);
    Click();
    Tick();
  }
  const TLazer* OnlyBeam() { return Lasers().size() == 1 ? Lasers()[0].get() : nullptr; }
  THero* Me = nullptr;
};

TEST_F(HeroTest, ClickOnTheHeroArmsAndDisarmsWithoutABeam) {
  Start();
  EXPECT_FALSE(Me->Armed);
  PointAt(200, 100);
  Click();
  Tick();
  EXPECT_FALSE(Me->Armed);  // a click away from the hero does nothing while off
  EXPECT_TRUE(Lasers().empty());

  ClickOnHero();
  EXPECT_TRUE(Me->Armed);
  EXPECT_TRUE(Lasers().empty());
  eng_SetButton(M_BLEFT, true);  // held over the hero: still no beam
  mouse_ClearState();            // (held, not clicked)
  Tick(3);
  EXPECT_TRUE(Me->Armed);
  EXPECT_TRUE(Lasers().empty());
  EXPECT_FALSE(Me->Firing);
  eng_SetButton(M_BLEFT, false);
  // The shrunk rectangle's edges are outside: 397 is not over the hero.
  eng_SetMouse(397, 334);
  Tick();
  EXPECT_EQ(Lasers().size(), 1u);

  ClickOnHero();
  EXPECT_FALSE(Me->Armed);
  PointAt(200, 100);
  Tick();
  EXPECT_TRUE(Lasers().empty());
}

TEST_F(HeroTest, InteractiveHeroStartsArmed) {
  Me->Interactive = true;
  PointAt(200, 100);
  Start();
  EXPECT_TRUE(Me->Armed);
  EXPECT_EQ(Lasers().size(), 1u);
  EXPECT_EQ(Map->GameForm->Objects.size(), 0u);  // heroes get no rotate buttons
}

TEST_F(HeroTest, BeamGrowsFromTheClickAndBrightnessStopsAt255) {
  Me->Interactive = true;
  Start();
  PointAt(200, 100);
  Click();
  Tick();
  const TLazer* beam = OnlyBeam();
  ASSERT_TRUE(beam);
  EXPECT_FLOAT_EQ(beam->Length, 20);
  EXPECT_EQ(Me->OverlayAlpha, 15);
  EXPECT_EQ(beam->Kind, TLazer::kAiming);  // a click is not a held button
  // From the muzzle (200, 289) straight up toward the pointer.
  EXPECT_NEAR(beam->Dir.x, 0, 1e-6);
  EXPECT_NEAR(beam->Dir.y, -1, 1e-6);
  EXPECT_NEAR(beam->Start.y, 288, 1e-4);
  for (int tick = 1; tick <= 60; ++tick) {
    Tick();
    ASSERT_TRUE(OnlyBeam());
    EXPECT_FLOAT_EQ(OnlyBeam()->Length, 20 + 15 * tick);
    EXPECT_EQ(Me->OverlayAlpha, std::min(255, 15 + 5 * tick)) << "tick " << tick;
  }
  Tick(300);
  EXPECT_FLOAT_EQ(Me->BeamLength, 4010);
}

TEST_F(HeroTest, HeldButtonMakesTheBeamHotAndShowsTheHotOverlay) {
  Me->Interactive = true;
  Start();
  PointAt(300, 100);
  eng_SetButton(M_BLEFT, true);
  Tick();
  ASSERT_TRUE(OnlyBeam());
  EXPECT_EQ(OnlyBeam()->Kind, TLazer::kHot);
  EXPECT_TRUE(Me->Firing);
  // The overlay is the last sprite of the frame; which of its frames is cut?
  auto overlayFrame = [&]() -> int {
    const zglDrawCall* last = nullptr;
    for (const zglDrawCall& c : Frame())
      if (c.kind == zglDrawCall::SPRITE) last = &c;
    if (!last) return -1;
    for (int f = 0; f < 4; ++f)
      if (last->cut.X == HeroSprite->Frames[f].X && last->cut.Y == HeroSprite->Frames[f].Y) return f;
    return -1;
  };
  EXPECT_EQ(overlayFrame(), 1);
  eng_SetButton(M_BLEFT, false);
  Tick();
  EXPECT_EQ(OnlyBeam()->Kind, TLazer::kAiming);
  EXPECT_EQ(overlayFrame(), 0);
}

TEST_F(HeroTest, PointerExactlyOnTheMuzzleMakesNoBeam) {
  // A hero drawn 16 x 16 leaves its muzzle (11 pixels up) outside the
  // over-the-hero rectangle, so the pointer can rest on it.
  Map->Objects.clear();
  Me = Add<THero>(6, Rect(18, 60), 200, 300, false);
  Me->Interactive = true;
  Start();
  PointAt(200, 289);
  eng_SetButton(M_BLEFT, true);
  Tick();
  EXPECT_TRUE(Lasers().empty());
  PointAt(200, 288);
  Tick();
  ASSERT_TRUE(OnlyBeam());
  EXPECT_NEAR(OnlyBeam()->Dir.y, -1, 1e-6);
}

TEST_F(HeroTest, MuzzleAndHeadTurnWithTheBody) {
  Map->Objects.clear();
  Me = Hero(200, 300, false, 90);  // lying on its side, top toward +X
  Me->Interactive = true;
  Start();
  PointAt(400, 300);
  Tick();
  ASSERT_TRUE(OnlyBeam());
  EXPECT_NEAR(OnlyBeam()->Start.x, 212, 1e-3);  // muzzle 11 to the right, beam 1 ahead
  EXPECT_NEAR(OnlyBeam()->Start.y, 300, 1e-3);
  EXPECT_NEAR(Me->HeadCircle.cX, 215, 1e-3);
  EXPECT_NEAR(Me->HeadCircle.cY, 300, 1e-3);
  EXPECT_NEAR(Me->HeadCircleScreen.cX, 215 + 214, 1e-3);
  EXPECT_FLOAT_EQ(Me->HeadCircle.Radius, 35.7f);
}

TEST_F(HeroTest, CollectsABattery35PixelsFromTheHeadButNot36) {
  // The head centre is (200, 285).
  TBattery* near = Battery(200, 250);
  TBattery* far = Battery(236, 285);
  Start();
  EXPECT_TRUE(near->Taken);
  EXPECT_FALSE(far->Taken);
  EXPECT_TRUE(Me->Charging);
  EXPECT_EQ(Me->Flash, 48);
  b2Body* body = near->Body;
  ASSERT_TRUE(body);
  EXPECT_FALSE(near->TryCollect(Me->HeadCircle, Me->Body));  // taken once
  Tick(24);
  EXPECT_EQ(Me->Flash, 0);  // not restarted by the taken battery
  Tick(300);
  EXPECT_FALSE(far->Taken);
}

TEST_F(HeroTest, ChargeAnimationSwingsTheOverlayAndEnds) {
  Start();
  Me->StartCharge(0.1f);
  int ticks = 0;
  while (Me->Charging && ticks < 1000) {
    Tick();
    ++ticks;
    if (Me->Charging) {
      EXPECT_GE(Me->OverlayAlpha, 50);
      EXPECT_LE(Me->OverlayAlpha, 250);
    }
  }
  EXPECT_EQ(ticks, 251);
  Me->StartCharge(15.707963f);
  for (ticks = 0; Me->Charging && ticks < 1000; ++ticks) Tick();
  EXPECT_EQ(ticks, 147);
}

TEST_F(HeroTest, DrawsGlowSpriteAndOverlayInOrder) {
  Me->Interactive = true;
  Start();
  PointAt(200, 100);
  Tick();
  const auto& calls = Frame();
  ASSERT_GE(calls.size(), 4u);
  EXPECT_EQ(calls[0].kind, zglDrawCall::CIRCLE);
  EXPECT_EQ(calls[0].color, 0xFEFE75u);
  EXPECT_EQ(calls[0].alpha, 15);
  EXPECT_EQ(calls[0].flags, PR2D_FILL | PR2D_SMOOTH);
  EXPECT_EQ(calls[1].kind, zglDrawCall::CIRCLE);
  EXPECT_EQ(calls[1].alpha, 7);
  EXPECT_NEAR(calls[1].w, 0.9f * 35.7f, 1e-4);
  EXPECT_EQ(calls[2].kind, zglDrawCall::SPRITE);  // the hero itself
  EXPECT_EQ(calls[3].kind, zglDrawCall::SPRITE);  // the overlay
  EXPECT_EQ(calls[3].alpha, Me->OverlayAlpha);
}

}  // namespace
