#include "sim/uMapObj.h"

#include <gtest/gtest.h>

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
