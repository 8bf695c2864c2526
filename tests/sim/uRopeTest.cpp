#include <cmath>

#include "SimFixture.h"

namespace {

class RopeTest : public SimTest {
 protected:
  int Joints() { return World().PhysicsWorld->GetJointCount(); }
  static int Enabled(const TRope& rope) {
    int n = 0;
    for (const b2Body* s : rope.Segments) n += s->IsEnabled() ? 1 : 0;
    return n;
  }
};

TEST_F(RopeTest, SpansAreCutIntoEqualRodsOfAtMostTwentyPixels) {
  struct Case {
    int span;
    size_t segments;
  };
  for (Case c : {Case{100, 6}, Case{40, 3}, Case{39, 2}, Case{20, 1}, Case{7, 1}}) {
    Map->Clear();
    TMapObj* a = Block(100, 100, false);
    TMapObj* b = Block(100 + c.span, 200, false);
    TRope* rope = Rope(a, 100, 100, b, 100 + c.span, 100);
    Start();
    ASSERT_EQ(rope->Segments.size(), c.segments) << c.span;
    EXPECT_EQ(Joints(), static_cast<int>(c.segments) + 1) << c.span;
    EXPECT_EQ(rope->SegmentHeat.size(), c.segments);
    const float length = static_cast<float>(c.span) / static_cast<float>(c.segments);
    const b2Body* first = rope->Segments[0];
    EXPECT_EQ(first->GetType(), b2_dynamicBody);
    EXPECT_NEAR(first->GetMass(), length, 1e-3) << c.span;  // density 1 x length
    EXPECT_NEAR(first->GetInertia(), length * length * length / 12, 1e-2) << c.span;
    EXPECT_NEAR(first->GetPosition().x, 100 + length / 2, 0.05) << c.span;
    EXPECT_EQ(TWorld::ObjectOf(first), rope);
  }
}

TEST_F(RopeTest, CoincidentEndsPinTheObjectsTogetherWithoutASegment) {
  TMapObj* a = Block(100, 100, true);
  TMapObj* b = Block(126, 100, true);
  TRope* rope = Rope(a, 113, 100, b, 113, 100);
  Start();
  EXPECT_TRUE(rope->Segments.empty());
  EXPECT_EQ(Joints(), 1);
  Tick(100);
  EXPECT_TRUE(std::isfinite(a->Body->GetPosition().y));
  EXPECT_NEAR((b->Body->GetPosition() - a->Body->GetPosition()).Length(), 26, 1.0);
  Frame();
}

// A block hanging under a static anchor; a laser box fires across the rope's
// third segment (y 150 to 168.5).
class HangingRopeTest : public RopeTest {
 protected:
  void SetUp() override {
    RopeTest::SetUp();
    Anchor = Block(200, 100, false);
    Weight = Block(200, 200, true);
    Line = Rope(Anchor, 200, 113, Weight, 200, 187);
  }
  TMapObj* Anchor = nullptr;
  TMapObj* Weight = nullptr;
  TRope* Line = nullptr;
};

TEST_F(HangingRopeTest, HotBeamBurnsThroughOnThe40thTickAndDropsTheBlockSideOnly) {
  LaserBox(100, 160);
  Start();
  ASSERT_EQ(Line->Segments.size(), 4u);
  EXPECT_FALSE(Line->DropA);
  EXPECT_TRUE(Line->DropB);
  EXPECT_EQ(Line->SegmentHeat[2], 7);
  Tick(38);
  EXPECT_EQ(Line->SegmentHeat[2], 235);
  EXPECT_EQ(Enabled(*Line), 4);
  Tick();  // the 40th tick of contact
  EXPECT_FALSE(Line->Segments[2]->IsEnabled());
  EXPECT_FALSE(Line->Segments[3]->IsEnabled());
  EXPECT_TRUE(Line->Segments[0]->IsEnabled());
  EXPECT_TRUE(Line->Segments[1]->IsEnabled());
  EXPECT_FALSE(Line->DropB);
  EXPECT_TRUE(Weight->Body->IsAwake());
  Tick(60);
  EXPECT_GT(Weight->Body->GetPosition().y, 215);  // fell free
  EXPECT_LT(Line->Segments[0]->GetPosition().y, 130);  // still hangs from the anchor
  // The beam now passes under the short rope.
  EXPECT_GT(Lasers()[0]->Points[0].x, 1000);
}

TEST_F(HangingRopeTest, AimingBeamIsStoppedAndHeatsNothing) {
  Start();
  TLazer beam({100, 160}, {1, 0}, TLazer::kAiming, &World(), 500);
  beam.Trace();
  ASSERT_EQ(beam.Points.size(), 1u);
  EXPECT_NEAR(beam.Points[0].x, 200, 0.5);
  for (int32_t heat : Line->SegmentHeat) EXPECT_EQ(heat, 0);
  EXPECT_FALSE(Line->LaserHit(Line->Segments[2], TLazer::kAiming));
  EXPECT_EQ(Line->SegmentHeat[2], 0);
}

TEST_F(HangingRopeTest, EndWhoseBodyIsGoneHangsFreeAndIsNeverWoken) {
  Map->Objects.clear();
  Map->Ropes.clear();
  Anchor = Block(200, 100, false);
  TBomb* bomb = Bomb(200, 200, true);
  Line = Rope(Anchor, 200, 113, bomb, 200, 185);
  Start();
  bomb->FuseLit = true;
  bomb->Fuse = 0;
  Tick(18);
  ASSERT_FALSE(bomb->Alive);
  EXPECT_EQ(Joints(), static_cast<int>(Line->Segments.size()));  // the bomb's joint went with it
  Line->SegmentHeat[1] = 240;
  EXPECT_FALSE(Line->LaserHit(Line->Segments[1], TLazer::kHot));
  EXPECT_FALSE(Line->DropB);
  EXPECT_FALSE(Line->Segments.back()->IsEnabled());
  Tick(50);
  Frame();
}

TEST_F(RopeTest, BothEndsDynamicLoseTheWholeRopeBothStaticOnlyTheBurntSegment) {
  for (bool dynamic : {true, false}) {
    Map->Clear();
    TMapObj* a = Block(100, 100, dynamic);
    TMapObj* b = Block(200, 100, dynamic);
    TRope* rope = Rope(a, 113, 100, b, 187, 100);
    Start();
    ASSERT_EQ(rope->Segments.size(), 4u);
    rope->SegmentHeat[1] = 240;
    rope->LaserHit(rope->Segments[1], TLazer::kHot);
    EXPECT_EQ(Enabled(*rope), dynamic ? 0 : 3);
    EXPECT_FALSE(rope->DropA);
    EXPECT_FALSE(rope->DropB);
    Tick(5);
  }
}

TEST_F(RopeTest, DrawsInPlayBetweenSegmentMiddlesRedderWithHeat) {
  TMapObj* a = Block(100, 100, false);
  TMapObj* b = Block(200, 100, false);
  TRope* rope = Rope(a, 100, 100, b, 200, 100);
  Start();
  rope->SegmentHeat[0] = 100;
  const auto& calls = Frame();
  int lines = 0;
  for (const zglDrawCall& c : calls) {
    if (c.kind != zglDrawCall::LINE) continue;
    if (lines == 0) {
      EXPECT_EQ(c.color, HeatColour(100));
      EXPECT_NEAR(c.x, 214 + rope->Segments[0]->GetPosition().x, 1e-3);
    }
    EXPECT_EQ(c.alpha, 240);
    EXPECT_EQ(c.flags, 1u);
    ++lines;
  }
  EXPECT_EQ(lines, 5);
  rope->Segments[2]->SetEnabled(false);
  lines = 0;
  for (const zglDrawCall& c : Frame()) lines += c.kind == zglDrawCall::LINE ? 1 : 0;
  EXPECT_EQ(lines, 3);
}

TEST_F(RopeTest, EditorDrawsEndsLineAndMarkerAtTheTruncatedMidpoint) {
  TMapObj* a = Block(20, 20, false);
  TMapObj* b = Block(0, 0, false);
  TRope* rope = Rope(a, 10, 10, b, -5, -6);
  const auto& calls = Frame();
  EXPECT_EQ(rope->X, 3);  // 10 + (-15) / 2, toward zero
  EXPECT_EQ(rope->Y, 2);
  ASSERT_GE(calls.size(), 4u);  // the rope draws last: its four calls close the frame
  auto at = [&](size_t i) -> const zglDrawCall& { return calls[calls.size() - 4 + i]; };
  EXPECT_EQ(at(0).color, 0xEF7575u);
  EXPECT_FLOAT_EQ(at(0).x, 224);
  EXPECT_FLOAT_EQ(at(0).w, 7);
  EXPECT_EQ(at(1).color, 0x7575EFu);
  EXPECT_FLOAT_EQ(at(1).x, 209);
  EXPECT_EQ(at(2).kind, zglDrawCall::LINE);
  EXPECT_EQ(at(2).color, 0xFFFFFFu);
  EXPECT_EQ(at(3).kind, zglDrawCall::SPRITE);
  EXPECT_FLOAT_EQ(at(3).x, 214 + 3 - 16);

  Recorder.Calls.clear();
  rope->DrawShape(214, 34);
  ASSERT_EQ(Recorder.Calls.size(), 1u);
  EXPECT_FLOAT_EQ(Recorder.Calls[0].w, 18);
  EXPECT_TRUE(rope->HitTest(14, 2));
  EXPECT_FALSE(rope->HitTest(15, 2));
}

}  // namespace
