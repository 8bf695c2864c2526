#include "sim/uMapObj.h"

#include <gtest/gtest.h>

#include <array>
#include <limits>

#include "engine/engine.h"
#include "level/uMap.h"
#include "sim/uWorld.h"

namespace {

class MapObject : public ::testing::Test {
 protected:
  void SetUp() override {
    eng_Reset();
    eng_SetBackend(&Recorder);
  }
  void TearDown() override { eng_Reset(); }
  zglRecordingBackend Recorder;
  TMap Map{35};
};

TEST_F(MapObject, ANewObjectTakesItsSizeFromItsSprite) {
  TMapObj o(Map.Sprite(1), std::make_unique<TShapeRect>(26, 70));
  EXPECT_EQ(std::tie(o.SpriteDX, o.SpriteDY, o.Width, o.Height), std::make_tuple(-13, -35, 26, 70));
  EXPECT_TRUE(o.Dynamic);
  EXPECT_FALSE(o.Interactive);
  EXPECT_EQ(o.Frame, 0);
}

TEST_F(MapObject, ResizeKeepsTheSpriteCentredAndRefusesSmallSizesAsAWhole) {
  TMapObj o(Map.Sprite(1), std::make_unique<TShapeRect>(26, 70));
  o.Resize(-20, 0);
  EXPECT_EQ(std::tie(o.Width, o.Height, o.SpriteDX), std::make_tuple(26, 70, -13));
  o.Resize(-18, 40);
  EXPECT_EQ(o.Height, 70) << "refused as a whole";
  o.Resize(5, 5);
  EXPECT_EQ(std::tie(o.Width, o.Height, o.SpriteDX, o.SpriteDY), std::make_tuple(31, 75, -15, -37));
  auto* r = static_cast<TShapeRect*>(o.Shape.get());
  EXPECT_EQ(r->Rect.W, 31);
}

// The size buttons never make a hit shape smaller than 2 pixels, whatever its
// sprite allows (a hero's shape is 20 narrower than its sprite): the step
// that would is refused and the object keeps a size the level file takes.
TEST_F(MapObject, ShrinkingStopsBeforeTheHitShapeVanishes) {
  struct Case {
    int Kind;
    bool Circle;
    int W, H, DW, DH, Steps;
    int ShapeW, ShapeH, Width;  // after all the steps
  };
  const Case cases[] = {
      {10, false, 18, 60, -8, 0, 3, 2, 60, 22},  // hero: 18, 10, 2, refused
      {11, false, 30, 30, -8, -8, 4, 6, 6, 40},  // crate: 30, 22, 14, 6, refused
      {4, true, 10, 0, -8, -8, 1, 5, 5, 72},     // a circle of radius 5 on a large sprite
  };
  for (const Case& c : cases) {
    std::unique_ptr<TMeFormShape> shape;
    if (c.Circle)
      shape = std::make_unique<TShapeCircle>(c.W);
    else
      shape = std::make_unique<TShapeRect>(c.W, c.H);
    TMapObj o(Map.Sprite(c.Kind), std::move(shape));
    for (int i = 0; i < c.Steps; ++i) o.Resize(c.DW, c.DH);
    if (auto* circle = dynamic_cast<TShapeCircle*>(o.Shape.get())) {
      EXPECT_EQ(circle->Circle.Radius, c.ShapeW) << "kind " << c.Kind;
    } else {
      auto* r = static_cast<TShapeRect*>(o.Shape.get());
      EXPECT_EQ(std::tie(r->Rect.W, r->Rect.H), std::make_tuple(c.ShapeW, c.ShapeH)) << "kind " << c.Kind;
    }
    EXPECT_EQ(o.Width, c.Width) << "kind " << c.Kind;
  }
  TMapObj big(Map.Sprite(2), std::make_unique<TShapeRect>(kMaxObjectSize - 4, 26));
  big.Width = kMaxObjectSize - 4;
  big.Resize(8, 0);
  EXPECT_EQ(big.Width, kMaxObjectSize - 4) << "no larger than a level file may hold";
}

TEST(Angles, TurningNeverOverflowsAndFarAnglesComeBackIntoOneTurn) {
  const int kMax = std::numeric_limits<int>::max(), kMin = std::numeric_limits<int>::min();
  const std::array<std::array<int, 3>, 8> cases = {{
      {345, 15, 360}, {-45, 0, -45}, {375, 0, 375}, {3600, 15, 15}, {-3600, -15, 345},
      {kMax, 15, 142}, {kMax, 0, 127}, {kMin, -15, 217}}};
  for (const auto& [angle, step, turned] : cases)
    EXPECT_EQ(TurnAngle(angle, step), turned) << angle << " + " << step;
}

TEST_F(MapObject, ACopyHasItsOwnShapeOfTheSameSize) {
  TMapObj o(Map.Sprite(5), std::make_unique<TShapeCircle>(32));
  o.X = 70, o.Y = 35, o.Angle = 30, o.Frame = 2, o.Interactive = true;
  auto copy = o.Clone();
  auto* c = dynamic_cast<TMapObj*>(copy.get());
  ASSERT_NE(c, nullptr);
  EXPECT_NE(c->Shape.get(), o.Shape.get());
  EXPECT_EQ(static_cast<TShapeCircle*>(c->Shape.get())->Circle.Radius, 16);
  EXPECT_EQ(c->Sprite, o.Sprite);
  EXPECT_EQ(std::tie(c->X, c->Y, c->Angle, c->Frame, c->Interactive),
            std::tie(o.X, o.Y, o.Angle, o.Frame, o.Interactive));
}

TEST_F(MapObject, DrawsWhereThePhysicsPutIt) {
  TMapObj o(Map.Sprite(1), std::make_unique<TShapeRect>(26, 70));
  o.X = 100, o.Y = 100, o.Angle = 45;
  TWorld w(0, 10);
  o.CreatePhysics(&w);
  EXPECT_EQ(TWorld::ObjectOf(o.Body), &o);
  o.Body->SetTransform(b2Vec2(100, 180), 0.5f);
  o.Update(214, 34);
  o.DrawGame();
  ASSERT_EQ(Recorder.Calls.size(), 1u);
  EXPECT_FLOAT_EQ(Recorder.Calls[0].x, 214 + 100 - 13);
  EXPECT_FLOAT_EQ(Recorder.Calls[0].y, 34 + 180 - 35);
  EXPECT_NEAR(Recorder.Calls[0].angle, 28.64789f, 1e-4);
  o.DrawEditor(214, 34);
  EXPECT_FLOAT_EQ(Recorder.Calls[1].y, 34 + 100 - 35);
  EXPECT_EQ(Recorder.Calls[1].angle, 45);
}

TEST_F(MapObject, OnlyMirrorsReflect) {
  TMapObj o(Map.Sprite(2), std::make_unique<TShapeRect>(26, 26));
  for (uint8_t frame : {0, 1, 2}) {
    o.Frame = frame;
    EXPECT_EQ(o.LaserHit(nullptr, 1), frame == 2);
    EXPECT_EQ(o.LaserHit(nullptr, 2), frame == 2);
  }
}

TEST_F(MapObject, HitTestFollowsTheDesignAngle) {
  TMapObj o(Map.Sprite(3), std::make_unique<TShapeRect>(140, 10));
  o.X = 200, o.Y = 200;
  EXPECT_TRUE(o.HitTest(260, 200));
  EXPECT_FALSE(o.HitTest(200, 260));
  o.Angle = 90;
  EXPECT_FALSE(o.HitTest(260, 200));
  EXPECT_TRUE(o.HitTest(200, 260));
}

}  // namespace
