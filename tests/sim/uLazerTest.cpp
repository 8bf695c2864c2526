#include <cmath>

#include "SimFixture.h"

namespace {

// A block that counts the beams touching it.
class TCountingBlock : public TMapObj {
 public:
  using TMapObj::TMapObj;
  int Hits = 0;
  uint8_t LastKind = 0;
  bool LaserHit(b2Body* body, uint8_t kind) override {
    ++Hits;
    LastKind = kind;
    return TMapObj::LaserHit(body, kind);
  }
};

float PathLength(const TLazer& beam) {
  b2Vec2 from = beam.Start + 2.0f * beam.Dir;  // where the first ray starts
  float sum = 0;
  for (const b2Vec2& p : beam.Points) {
    sum += (p - from).Length();
    from = p;
  }
  return sum;
}

class LazerTest : public SimTest {
 protected:
  TCountingBlock* Counting(int x, int y, int w, int h, uint8_t frame, int angle = 0) {
    auto* b = Add<TCountingBlock>(1, Rect(w, h), x, y, false, angle);
    b->Frame = frame;
    return b;
  }
  std::unique_ptr<TLazer> Beam(b2Vec2 from, b2Vec2 dir, uint8_t kind, float length) {
    auto beam = std::make_unique<TLazer>(from, dir, kind, &World(), length);
    beam->Trace();
    return beam;
  }
};

TEST_F(LazerTest, FreeBeamEndsLengthPlusThreeAheadAndDrawsOneLine) {
  Start();
  auto beam = Beam({100, 100}, {1, 0}, TLazer::kAiming, 50);
  ASSERT_EQ(beam->Points.size(), 1u);
  EXPECT_FLOAT_EQ(beam->Points[0].x, 153);
  EXPECT_FLOAT_EQ(beam->Points[0].y, 100);

  Recorder.Calls.clear();
  beam->Draw(214, 34, 630, 700);
  ASSERT_EQ(Recorder.Calls.size(), 1u);
  const zglDrawCall& line = Recorder.Calls[0];
  EXPECT_EQ(line.kind, zglDrawCall::LINE);
  EXPECT_FLOAT_EQ(line.x, 315);  // from Start, one pixel ahead of the point it was made at
  EXPECT_FLOAT_EQ(line.w, 367);
  EXPECT_EQ(line.color, 0xFFFAF0u);
  EXPECT_EQ(line.alpha, 215);
  EXPECT_EQ(line.flags, 1u);  // smoothed
  // Cut where the field ends: never drawn over the panels beside it.
  Recorder.Calls.clear();
  beam->Draw(214, 34, 130, 700);
  ASSERT_EQ(Recorder.Calls.size(), 1u);
  EXPECT_FLOAT_EQ(Recorder.Calls[0].w, 214 + 130);
}

TEST_F(LazerTest, NonMirrorStopsTheBeamAndIsToldOnce) {
  TCountingBlock* block = Counting(200, 100, 26, 70, 0);
  Start();
  auto beam = Beam({100, 100}, {1, 0}, TLazer::kHot, 500);
  ASSERT_EQ(beam->Points.size(), 1u);
  EXPECT_NEAR(beam->Points[0].x, 187, 0.01);
  EXPECT_EQ(block->Hits, 1);
  EXPECT_EQ(block->LastKind, TLazer::kHot);
  EXPECT_EQ(beam->Colour, 0xF02222u);
}

TEST_F(LazerTest, HeadOnMirrorSendsTheRestOfTheBeamStraightBack) {
  for (uint8_t kind : {TLazer::kAiming, TLazer::kHot}) {
    Map->Clear();
    TCountingBlock* mirror = Counting(200, 100, 26, 70, 2);
    Start();
    auto beam = Beam({100, 100}, {1, 0}, kind, 500);
    ASSERT_EQ(beam->Points.size(), 2u);
    EXPECT_NEAR(beam->Points[0].x, 187, 0.01);
    // 84 pixels to the mirror, the remaining 416 back the way it came.
    EXPECT_NEAR(beam->Points[1].x, 187 - 416, 0.05);
    EXPECT_NEAR(beam->Points[1].y, 100, 0.05);
    EXPECT_NEAR(PathLength(*beam), 500, 0.05);
    EXPECT_EQ(mirror->Hits, 1);
  }
}

TEST_F(LazerTest, MirrorAtFortyFiveDegreesTurnsTheBeamARightAngle) {
  Mirror(200, 100, 10, 100, 45);
  Start();
  auto beam = Beam({100, 100}, {1, 0}, TLazer::kHot, 300);
  ASSERT_EQ(beam->Points.size(), 2u);
  b2Vec2 out = beam->Points[1] - beam->Points[0];
  out.Normalize();
  EXPECT_NEAR(out.x, 0, 1e-4);
  EXPECT_NEAR(std::fabs(out.y), 1, 1e-4);
  EXPECT_NEAR(PathLength(*beam), 300, 0.05);
}

TEST_F(LazerTest, ParallelMirrorsEndTheBeamAfterTenCasts) {
  TCountingBlock* left = Counting(50, 100, 10, 200, 2);
  TCountingBlock* right = Counting(150, 100, 10, 200, 2);
  Start();
  auto beam = Beam({100, 100}, {1, 0}, TLazer::kAiming, 100000);
  ASSERT_EQ(beam->Points.size(), 10u);
  EXPECT_EQ(left->Hits + right->Hits, 10);
  EXPECT_NEAR(beam->Points.back().x, 55, 0.05);  // the tenth hit, on the left mirror
}

TEST_F(LazerTest, MirrorMetAtTheVeryEndOfTheBeamEndsIt) {
  Mirror(200, 100, 26, 70);
  Start();
  auto beam = Beam({100, 100}, {1, 0}, TLazer::kHot, 84);  // reaches x = 187 exactly
  ASSERT_GE(beam->Points.size(), 1u);
  EXPECT_LE(beam->Points.size(), 2u);
  for (const b2Vec2& p : beam->Points) EXPECT_TRUE(std::isfinite(p.x) && std::isfinite(p.y));
}

TEST_F(LazerTest, LaserBoxTurnedNinetyDegreesFiresDownAndNeverStopsItsOwnBeam) {
  TLazerBox* box = LaserBox(100, 100, 90);
  box->BeamLength = 0;
  Start();
  ASSERT_EQ(Lasers().size(), 1u);
  const TLazer& beam = *Lasers()[0];
  EXPECT_EQ(beam.Kind, TLazer::kHot);
  EXPECT_NEAR(beam.Dir.x, 0, 1e-6);
  EXPECT_NEAR(beam.Dir.y, 1, 1e-6);
  EXPECT_NEAR(beam.Start.y, 100 + 16 + 1, 1e-4);
  EXPECT_FLOAT_EQ(beam.Length, 15);  // grows by 15 from 0 on the first tick
  ASSERT_EQ(beam.Points.size(), 1u);  // the ray starts inside the box: a free end
  EXPECT_NEAR(beam.Points[0].y, 117 + 2 + 15, 1e-3);

  Tick(300);
  EXPECT_FLOAT_EQ(box->BeamLength, 4005);
  ASSERT_EQ(Lasers().size(), 1u);
  EXPECT_EQ(Lasers()[0]->Points.size(), 1u);
}
}  // namespace
