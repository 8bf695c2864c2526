// The dialog: over every scene, alone taking input until it is answered by a
// click, Enter (the default button) or Escape (the cancelling one).
#include "ui/uDialog.h"

#include <gtest/gtest.h>

#include <string>

#include "engine/engine.h"
#include "ui/uScene.h"

namespace {

class CountingScene : public tScene {
 public:
  using tScene::tScene;
  int Updates = 0;
  void Update() override { ++Updates; }
  const char* Name() const override { return "counting"; }
};

TEST(Dialog, EnterEscapeAndAClickAnswerItAndTheSceneWaitsMeanwhile) {
  eng_Reset();
  tSceneMng manager;
  CountingScene scene(&manager);
  scene.Activate();
  auto tick = [&] {
    manager.Update();
    key_ClearState();
    mouse_ClearState();
  };
  for (int key : {K_RETURN, K_ESCAPE, 0}) {
    std::string answers;
    manager.Dialog().Ask("Вопрос", {{"Да", [&] { answers += "Y"; }}, {"Нет", [&] { answers += "N"; }}},
                         0, 1);
    const int updates = scene.Updates;
    for (uint64_t i = 0; i <= TMeForm::kOpenQuietRounds; ++i) tick();
    EXPECT_EQ(scene.Updates, updates) << "the scene waits for the answer";
    if (key) {
      eng_SetKey(key, true);
      eng_SetKey(key, false);
    } else {  // a click on "Нет"
      const TButtonEM* no = manager.Dialog().Buttons().at(1);
      eng_SetMouse(manager.Dialog().X + no->X, manager.Dialog().Y + no->Y);
      eng_SetButton(M_BLEFT, true);
      eng_SetButton(M_BLEFT, false);
    }
    tick();
    EXPECT_EQ(answers, key == K_RETURN ? "Y" : "N") << "key " << key;
    EXPECT_FALSE(manager.DialogOpen());
    tick();
    EXPECT_EQ(scene.Updates, updates + 1);
  }
  eng_Reset();
}

}  // namespace
