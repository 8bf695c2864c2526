#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "engine/engine.h"
#include "ui/uScene.h"

namespace {

class FakeScene : public tScene {
 public:
  using tScene::tScene;
  int Updates = 0, Draws = 0;
  std::vector<int32_t> Starts;
  void Update() override { ++Updates; }
  void Draw() override { ++Draws; }
  void Start(int32_t p) override { Starts.push_back(p); }
  const char* Name() const override { return "fake"; }
};

class SceneManagerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    eng_Reset();
    eng_SetBackend(&Recorder);
    M.Width = 1024;
    M.Height = 768;
  }
  void TearDown() override { eng_Reset(); }
  // Runs ticks and returns the fade alpha after each.
  std::vector<int32_t> Run(int ticks) {
    std::vector<int32_t> alphas;
    for (int i = 0; i < ticks; ++i) {
      M.Update();
      alphas.push_back(M.FadeAlpha);
    }
    return alphas;
  }
  zglRecordingBackend Recorder;
  tSceneMng M;
  FakeScene A{&M}, B{&M};
};

TEST_F(SceneManagerTest, FadeSwitchesOnTick52AndEndsOnTick104) {
  A.Activate();
  M.SetSceneParam(&B, 7, 0);
  for (int tick = 1; tick <= 104; ++tick) {
    M.Update();
    ASSERT_GE(M.FadeAlpha, 0);
    ASSERT_LE(M.FadeAlpha, 255);
    if (tick == 51) {
      EXPECT_EQ(M.FadeAlpha, 255);
      EXPECT_EQ(M.Current, &A);
    }
    if (tick == 52) {
      EXPECT_EQ(M.Current, &B) << "the switch happens on the 52nd tick";
      EXPECT_EQ(M.FadeAlpha, 255);
      EXPECT_FALSE(M.FirstHalf);
      EXPECT_EQ(B.Starts, std::vector<int32_t>{7});
    }
    if (tick == 103) {
      EXPECT_EQ(M.FadeAlpha, 0);
      EXPECT_TRUE(M.Switching);
    }
  }
  EXPECT_FALSE(M.Switching) << "the 104th tick ends the transition";
  EXPECT_EQ(A.Updates + B.Updates, 0) << "no scene is updated during a transition";
  M.Update();
  EXPECT_EQ(B.Updates, 1);
}

TEST_F(SceneManagerTest, AlphaClimbsAndFallsInStepsOfFive) {
  A.Activate();
  M.SetScene(&B, 0);
  auto alphas = Run(104);
  EXPECT_EQ(alphas[0], 5);
  EXPECT_EQ(alphas[49], 250);
  EXPECT_EQ(alphas[50], 255);
  EXPECT_EQ(alphas[51], 255);  // the switch
  EXPECT_EQ(alphas[52], 250);
  EXPECT_EQ(alphas[102], 0);
}

TEST_F(SceneManagerTest, StartOnlyForSetSceneParamAlsoOnTheCurrentScene) {
  A.Activate();
  M.SetScene(&B, 0);
  Run(104);
  EXPECT_TRUE(B.Starts.empty()) << "SetScene never calls Start";
  M.SetSceneParam(&B, 3, 0);
  Run(104);
  EXPECT_EQ(B.Starts, std::vector<int32_t>{3}) << "switching to the current scene starts it again";
  EXPECT_TRUE(A.Starts.empty());
}

TEST_F(SceneManagerTest, ANewTransitionRestartsTheFadeAndEndsOnTheNewestTarget) {
  FakeScene C{&M};
  A.Activate();
  M.SetSceneParam(&B, 1, 0);
  Run(30);
  M.SetSceneParam(&C, 2, 0);
  EXPECT_EQ(M.FadeAlpha, 0);
  EXPECT_TRUE(M.FirstHalf);
  Run(51);
  EXPECT_EQ(M.Current, &A);
  Run(1);
  EXPECT_EQ(M.Current, &C);
  EXPECT_TRUE(B.Starts.empty());
  EXPECT_EQ(C.Starts, std::vector<int32_t>{2});
  // Asked again during the second half: the fade starts over over the new scene.
  Run(10);
  M.SetScene(&A, 0);
  EXPECT_EQ(M.FadeAlpha, 0);
  Run(104);
  EXPECT_EQ(M.Current, &A);
  EXPECT_FALSE(M.Switching);
}

TEST_F(SceneManagerTest, DrawShowsTheSceneAndTheFadeRectangle) {
  M.Draw();
  M.Update();
  EXPECT_TRUE(Recorder.Calls.empty()) << "no current scene: nothing to draw or update";
  M.SetScene(&A, 0);
  Run(3);
  M.Draw();
  ASSERT_EQ(Recorder.Calls.size(), 1u);
  const zglDrawCall& fade = Recorder.Calls[0];
  EXPECT_EQ(fade.kind, zglDrawCall::RECT);
  EXPECT_EQ(fade.color, 0xFFFFFFu);
  EXPECT_EQ(fade.alpha, 15);
  EXPECT_EQ(fade.w, 1024);
  EXPECT_EQ(fade.h, 768);
  Run(60);
  Recorder.Calls.clear();
  M.Draw();
  EXPECT_EQ(A.Draws, 1);
  EXPECT_EQ(Recorder.Calls.size(), 1u);
}

}  // namespace

namespace {

TEST_F(SceneManagerTest, ASwitchToANameNoSceneHasFailsLoudly) {
  A.Activate();
  EXPECT_THROW(A.SwitchTo("nowhere"), std::logic_error);
  EXPECT_THROW(A.SwitchTo("nowhere", 3), std::logic_error);
  EXPECT_FALSE(M.Switching) << "no fade to no scene";
  A.SwitchTo("fake");
  EXPECT_TRUE(M.Switching);
}

}  // namespace
