// The dialog: over every scene, alone taking input until answered by a
// click, Enter (the default button) or Escape (the cancelling one); and the
// quit that a scene with unsaved work holds to ask first.
#include "ui/uDialog.h"

#include <gtest/gtest.h>

#include <string>

#include "engine/engine.h"
#include "ui/uScene.h"

namespace {

class AskingScene : public tScene {
 public:
  using tScene::tScene;
  int Updates = 0;
  bool Unsaved = false;
  void Update() override { ++Updates; }
  const char* Name() const override { return "asking"; }
  bool HoldQuit() override {
    if (!Unsaved) return false;
    Manager->Dialog().Ask("Сохранить изменения?",
                          {{"Сохранить", [this] { Unsaved = false, Manager->Quit(); }},
                           {"Не сохранять", [this] { Unsaved = false, Manager->Quit(); }},
                           {"Отмена", nullptr}},
                          0, 2);
    return true;
  }
};

class DialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    eng_Reset();
    eng_SetBackend(&Recorder);
    Scene.Activate();
  }
  void TearDown() override { eng_Reset(); }
  void Tick(int n = 1) {
    for (int i = 0; i < n; ++i) {
      M.Update();
      key_ClearState();
      mouse_ClearState();
    }
  }
  void Ask() {
    M.Dialog().Ask("Вопрос", {{"Да", [this] { Answers += "Y"; }}, {"Нет", [this] { Answers += "N"; }}}, 0, 1);
  }
  zglRecordingBackend Recorder;
  tSceneMng M;
  AskingScene Scene{&M};
  std::string Answers;
};

TEST_F(DialogTest, EnterEscapeAndClicksAnswerAndOnlyTheDialogTakesInput) {
  struct Case {
    const char* What;
    int Key;  // 0: click the second button
    const char* Answer;
  };
  for (const Case& c : {Case{"Enter", K_RETURN, "Y"}, Case{"Escape", K_ESCAPE, "N"},
                        Case{"a click on Нет", 0, "N"}}) {
    Answers.clear();
    Ask();
    ASSERT_TRUE(M.DialogOpen());
    const int updates = Scene.Updates;
    Tick(TMeForm::kOpenQuietRounds + 1);
    EXPECT_EQ(Scene.Updates, updates) << "the scene waits for the answer";
    const auto buttons = M.Dialog().Buttons();
    ASSERT_EQ(buttons.size(), 2u);
    EXPECT_EQ(buttons[1]->Caption, "Нет");
    if (c.Key) {
      eng_SetKey(c.Key, true);
      eng_SetKey(c.Key, false);
    } else {
      eng_SetMouse(M.Dialog().X + buttons[1]->X, M.Dialog().Y + buttons[1]->Y);
      eng_SetButton(M_BLEFT, true);
      eng_SetButton(M_BLEFT, false);
    }
    Tick();
    EXPECT_EQ(Answers, c.Answer) << c.What;
    EXPECT_FALSE(M.DialogOpen()) << c.What;
    Tick();
    EXPECT_EQ(Scene.Updates, updates + 1) << c.What;
  }
  // Drawn over the scene: the screen dimmed, the question and its buttons.
  Ask();
  Recorder.Calls.clear();
  M.Draw();
  EXPECT_EQ(Recorder.TextCalls("Вопрос").size(), 1u);
  EXPECT_EQ(Recorder.TextCalls("Нет").size(), 1u);
}

TEST_F(DialogTest, QuitEndsAtOnceUnlessAScenesUnsavedWorkIsAskedAbout) {
  M.Quit();
  EXPECT_TRUE(eng_ExitRequested());
  eng_Reset();
  eng_SetBackend(&Recorder);

  Scene.Unsaved = true;
  M.Quit();
  EXPECT_FALSE(eng_ExitRequested());
  ASSERT_TRUE(M.DialogOpen());
  EXPECT_EQ(M.Dialog().Text, "Сохранить изменения?");
  M.Dialog().Answer(2);  // "Отмена"
  EXPECT_FALSE(eng_ExitRequested());
  EXPECT_TRUE(Scene.Unsaved);

  M.Quit();
  M.Dialog().Answer(1);  // "Не сохранять"
  EXPECT_TRUE(eng_ExitRequested());
}

}  // namespace
