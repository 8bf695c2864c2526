#include "ui/uMeForm.h"

#include <gtest/gtest.h>

#include <cmath>

#include "engine/engine.h"

namespace {

class CountingButton : public TMeFormObject {
 public:
  using TMeFormObject::TMeFormObject;
  int Clicks = 0;
  void Click() override { ++Clicks; }
};

class FormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    eng_Reset();
    eng_SetBackend(&Recorder);
  }
  void TearDown() override { eng_Reset(); }
  // One tick of the form: update, then the program clears the click state.
  bool Tick(int x, int y) {
    bool clicked = Form.Update(x, y);
    mouse_ClearState();
    return clicked;
  }
  zglRecordingBackend Recorder;
  TMeDrawRect Sprite{nullptr, 180, 52};
  TShapeRect Shape{162, 30};
  TMeForm Form{100, 200, 255, nullptr};
};

TEST_F(FormTest, AClickIsSeenByExactlyOneTickAndHoldingNeverClicksAgain) {
  auto* b = AddNew<CountingButton>(Form, 10, 10, &Shape, &Sprite, &Form);
  eng_SetButton(M_BLEFT, true);
  EXPECT_TRUE(Tick(110, 210));
  for (int i = 0; i < 20; ++i) EXPECT_FALSE(Tick(110, 210));
  EXPECT_EQ(b->Clicks, 1);
  eng_SetButton(M_BLEFT, false);
  eng_SetButton(M_BLEFT, true);
  EXPECT_TRUE(Tick(110, 210));
  EXPECT_EQ(b->Clicks, 2);
}

TEST_F(FormTest, PressedLookLastsSixTicksAndASecondClickRestartsIt) {
  auto* b = AddNew<CountingButton>(Form, 0, 0, &Shape, &Sprite, &Form);
  eng_SetButton(M_BLEFT, true);
  eng_SetButton(M_BLEFT, false);
  Tick(100, 200);
  int pressedTicks = b->Pressed ? 1 : 0;
  for (int i = 0; i < 10; ++i) {
    Tick(100, 200);
    pressedTicks += b->Pressed;
  }
  EXPECT_EQ(pressedTicks, 6);
  eng_SetButton(M_BLEFT, true);
  eng_SetButton(M_BLEFT, false);
  Tick(100, 200);
  Tick(100, 200);
  eng_SetButton(M_BLEFT, true);
  Tick(100, 200);
  EXPECT_EQ(b->Clicks, 3);
  EXPECT_EQ(b->PressTimer, 6) << "the timer restarts at 7 and the tick counts it down once";
}

TEST_F(FormTest, ClickOutsideTheShapeDoesNothing) {
  auto* b = AddNew<CountingButton>(Form, 0, 0, &Shape, &Sprite, &Form);
  eng_SetButton(M_BLEFT, true);
  EXPECT_FALSE(Tick(100 + 82, 200));
  EXPECT_EQ(b->Clicks, 0);
}

TEST_F(FormTest, HoverRisesInThirtySixTicksAndFallsInThirtySeven) {
  auto* b = AddNew<CountingButton>(Form, 0, 0, &Shape, &Sprite, &Form);
  int ticks = 0;
  while (b->Hover < 255 && ticks < 100) Tick(100, 200), ++ticks;
  EXPECT_EQ(ticks, 36);
  ticks = 0;
  while (b->Hover > 0 && ticks < 100) Tick(0, 0), ++ticks;
  EXPECT_EQ(ticks, 37);
}

TEST_F(FormTest, OneClickReachesOverlappingObjects) {
  auto* a = AddNew<CountingButton>(Form, 0, 0, &Shape, &Sprite, &Form);
  auto* b = AddNew<CountingButton>(Form, 5, 0, &Shape, &Sprite, &Form);
  eng_SetButton(M_BLEFT, true);
  EXPECT_TRUE(Tick(103, 200));
  EXPECT_EQ(a->Clicks, 1);
  EXPECT_EQ(b->Clicks, 1);
}

TEST_F(FormTest, DisabledObjectsAreDrawnButNotUpdatedAndInvisibleOnesNeither) {
  auto* disabled = AddNew<CountingButton>(Form, 0, 0, &Shape, &Sprite, &Form);
  auto* hidden = AddNew<CountingButton>(Form, 0, 0, &Shape, &Sprite, &Form);
  Sprite.AddFrame(0, 0), Sprite.AddFrame(0, 52), Sprite.AddFrame(0, 104), Sprite.AddFrame(0, 156);
  disabled->Enabled = false;
  hidden->Visible = false;
  eng_SetButton(M_BLEFT, true);
  EXPECT_FALSE(Tick(100, 200));
  EXPECT_EQ(disabled->Clicks + hidden->Clicks, 0);
  EXPECT_EQ(disabled->Hover, 0);
  Form.Draw();
  ASSERT_EQ(Recorder.Calls.size(), 1u) << "only the disabled object is drawn";
  EXPECT_EQ(Recorder.Calls[0].cut.Y, 156) << "in its disabled frame";
}

TEST_F(FormTest, AnEmptyFormDrawsNothingAndReportsNoClick) {
  eng_SetButton(M_BLEFT, true);
  EXPECT_FALSE(Tick(100, 200));
  Form.Draw();
  EXPECT_TRUE(Recorder.Calls.empty());
}

TEST_F(FormTest, HoverFrameIsDrawnOverTheNormalOneAtTheHoverLevel) {
  for (int i = 0; i < 4; ++i) Sprite.AddFrame(0, 52 * i);
  Sprite.DrawButton(true, false, 50, 60, 0, 255, 100);
  ASSERT_EQ(Recorder.Calls.size(), 2u);
  EXPECT_EQ(Recorder.Calls[0].cut.Y, 0);
  EXPECT_EQ(Recorder.Calls[0].alpha, 255);
  EXPECT_EQ(Recorder.Calls[1].cut.Y, 52);
  EXPECT_EQ(Recorder.Calls[1].alpha, 100);
  EXPECT_EQ(Recorder.Calls[0].x, 50 - 90);
  EXPECT_EQ(Recorder.Calls[0].y, 60 - 26);
  Recorder.Calls.clear();
  Sprite.DrawButton(true, false, 0, 0, 0, 200, 50);
  EXPECT_EQ(Recorder.Calls.size(), 1u) << "a faded form hides a weak highlight";
}

TEST(DrawRect, OffsetsTruncateForOddSizesAndFramesKeepTheSizeAtAddTime) {
  TMeDrawRect hero(nullptr, 38, 64);
  EXPECT_EQ(hero.OffsetX, -19);
  EXPECT_EQ(hero.OffsetY, -32);
  TMeDrawRect odd(nullptr, 45, 7);
  EXPECT_EQ(odd.OffsetX, -22);
  EXPECT_EQ(odd.OffsetY, -3);
  odd.AddFrame(10, 20);
  EXPECT_EQ(odd.LastFrame, 0);
  odd.Width = 50;
  odd.AddFrame(30, 40);
  EXPECT_EQ(odd.LastFrame, 1);
  EXPECT_EQ(odd.Frames[0].W, 45);
  EXPECT_EQ(odd.Frames[1].W, 50);
}

TEST(DrawRect, AFrameItDoesNotHaveDrawsFrameZero) {
  zglRecordingBackend rec;
  eng_SetBackend(&rec);
  TMeDrawRect one(nullptr, 16, 16);
  one.AddFrame(408, 472);
  one.DrawFrame(0, 0, 0, 2, 255);
  ASSERT_EQ(rec.Calls.size(), 1u);
  EXPECT_EQ(rec.Calls[0].cut.X, 408);
  TMeDrawRect none(nullptr, 16, 16);
  none.DrawFrame(0, 0, 0, 0, 255);
  EXPECT_EQ(rec.Calls.size(), 1u);
  eng_SetBackend(nullptr);
}

TEST(Shapes, RectangleAtAnglesZeroAndNinety) {
  TShapeRect r(162, 30);
  EXPECT_TRUE(r.HitTest(80, 14, 0));
  EXPECT_FALSE(r.HitTest(82, 0, 0));
  EXPECT_FALSE(r.HitTest(0, 20, 0));
  EXPECT_TRUE(r.HitTest(0, 20, 90));
  EXPECT_FALSE(r.HitTest(20, 0, 90)) << "at 90 degrees the long side stands upright";
  TShapeRect hero(18, 60);
  EXPECT_TRUE(hero.HitTest(25, 0, 90));
  EXPECT_TRUE(hero.HitTest(-25, 0, -90));
  EXPECT_FALSE(hero.HitTest(0, 25, 90));
}

TEST(Shapes, GrowKeepsTheCentre) {
  TShapeRect r(162, 30);
  r.Grow(10, 4);
  EXPECT_EQ(r.Rect.X, -86);
  EXPECT_EQ(r.Rect.Y, -17);
  EXPECT_EQ(r.Rect.W, 172);
  EXPECT_EQ(r.Rect.H, 34);
  TShapeCircle c(64);
  EXPECT_EQ(c.Circle.Radius, 32);
  c.Grow(-10, 0);
  EXPECT_EQ(c.Circle.Radius, 27);
  c.Grow(8, 100);
  EXPECT_EQ(c.Circle.Radius, 31) << "the height is ignored";
}

TEST(Shapes, CirclesIgnoreTheAngle) {
  TShapeCircle c(32);
  EXPECT_TRUE(c.HitTest(16, 0, 0));
  EXPECT_TRUE(c.HitTest(11, 11, 45));
  EXPECT_FALSE(c.HitTest(12, 12, 0));
}

TEST(Shapes, RectangleOutlineCornersTurnWithTheAngle) {
  zglRecordingBackend rec;
  eng_SetBackend(&rec);
  TShapeRect r(20, 10);
  r.DrawOutline(100, 100, 90);
  // A centre circle, four corner circles and four lines.
  ASSERT_EQ(rec.Calls.size(), 9u);
  const float R = std::sqrt(10.0f * 10.0f + 5.0f * 5.0f) + 5.0f;
  // Turned 90 degrees clockwise, the top-left corner goes to the top right.
  EXPECT_NEAR(rec.Calls[1].x, 100 + 5.0f / std::sqrt(125.0f) * R, 0.01);
  EXPECT_NEAR(rec.Calls[1].y, 100 - 10.0f / std::sqrt(125.0f) * R, 0.01);
  eng_SetBackend(nullptr);
}

}  // namespace

namespace {

// A press counts only for a form that was on screen before it began; a pop-up
// that a click opened takes none for 20 ticks, the time of a double click.
TEST_F(FormTest, APressNeverLandsOnAFormThatWasNotOnScreenWhenItBegan) {
  auto* b = AddNew<CountingButton>(Form, 0, 0, &Shape, &Sprite, &Form);
  struct Case {
    const char* What;
    int AwayTicks;    // ticks in which the form was not updated
    bool OpenedByClick;  // a pop-up (Visible) shown by a click just before it came back
    int WaitTicks;    // ticks it was updated before the click
    bool Counts;
    bool Drawn = false;  // drawn while it was not updated (under a fade)
  };
  const Case cases[] = {
      {"a click in the tick the form comes back", 5, false, 0, false},
      {"a click one tick after it came back", 5, false, 1, true},
      {"a single skipped tick: still on screen", 1, false, 0, true},
      {"a pop-up opened by a click, clicked 10 ticks later", 5, true, 10, false},
      {"a pop-up opened by a click, clicked 20 ticks later", 5, true, 20, true},
      {"a click in the tick a form seen all along comes back", 5, false, 0, true, true},
  };
  for (const Case& c : cases) {
    Form.Visible = c.OpenedByClick;
    Tick(0, 0);  // on screen
    for (int i = 0; i < c.AwayTicks; ++i) {
      mouse_ClearState();
      if (c.Drawn) Form.Draw();
    }
    if (c.OpenedByClick) {
      eng_SetButton(M_BLEFT, true);  // the click that opens it, beside the button
      eng_SetButton(M_BLEFT, false);
    }
    for (int i = 0; i < c.WaitTicks; ++i) Tick(0, 0);
    const int before = b->Clicks;
    eng_SetButton(M_BLEFT, true);
    eng_SetButton(M_BLEFT, false);
    Tick(100, 200);
    EXPECT_EQ(b->Clicks - before, c.Counts ? 1 : 0) << c.What;
  }
}

}  // namespace
