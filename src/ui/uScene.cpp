#include "ui/uScene.h"

#include <algorithm>
#include <stdexcept>

#include "engine/engine.h"
#include "ui/uDialog.h"

tScene::tScene(tSceneMng* manager) : Manager(manager) {
  if (Manager) Manager->Scenes.push_back(this);
}

tScene::~tScene() {
  if (Manager) std::erase(Manager->Scenes, this);
}

void tScene::Activate() {
  if (Manager) Manager->Current = this;
}

void tScene::SwitchTo(const std::string& name) const {
  if (Manager) Manager->SetScene(&Manager->Scene(name), 0);
}

void tScene::SwitchTo(const std::string& name, int32_t param) const {
  if (Manager) Manager->SetSceneParam(&Manager->Scene(name), param, 0);
}

tSceneMng::tSceneMng() = default;
tSceneMng::~tSceneMng() = default;

TDialog& tSceneMng::Dialog() {
  if (!OwnDialog) OwnDialog = std::make_unique<TDialog>();
  return *OwnDialog;
}

bool tSceneMng::DialogOpen() const { return OwnDialog && OwnDialog->Visible; }

void tSceneMng::Quit() {
  for (tScene* scene : Scenes)
    if (scene->HoldQuit()) return;
  zgl_Exit();
}

void tSceneMng::EndNow() {
  for (tScene* scene : Scenes) scene->KeepWorkBeforeEnd();
  zgl_Exit();
}

tScene* tSceneMng::SceneNamed(const std::string& name) const {
  for (tScene* scene : Scenes)
    if (name == scene->Name()) return scene;
  return nullptr;
}

tScene& tSceneMng::Scene(const std::string& name) const {
  if (tScene* scene = SceneNamed(name)) return *scene;
  // A name no scene has is a fault of the program: a fade to no scene would
  // leave the player before an empty screen.
  throw std::logic_error("no scene is named \"" + name + "\"");
}

void tSceneMng::Begin(tScene* scene, int32_t kind) {
  Switching = true;
  Next = scene;
  Kind = kind;
  if (Kind == 0) {
    FadeAlpha = 0;
    FadeLimit = 250;
    FadeStep = 5;
    FirstHalf = true;
    BackLimit = 5;
    BackStep = -5;
    FadeColor = 0xFFFFFF;
  }
}

void tSceneMng::SetScene(tScene* scene, int32_t kind) {
  Begin(scene, kind);
  StartNext = false;
}

void tSceneMng::SetSceneParam(tScene* scene, int32_t param, int32_t kind) {
  Begin(scene, kind);
  StartParam = param;
  StartNext = true;
}

void tSceneMng::Update() {
  // A press made while a question is open or a fade runs is no scene's: the
  // scene that takes over never sees it held.
  if (mouse_Click(M_BLEFT) && (DialogOpen() || Switching)) eng_ClaimPress(M_BLEFT);
  if (DialogOpen()) {
    OwnDialog->Update(mouse_X(), mouse_Y());
    return;
  }
  if (!Switching) {
    if (Current) Current->Update();
    return;
  }
  bool ended = (FadeStep > 0 && FadeAlpha > FadeLimit) || (FadeStep < 0 && FadeAlpha < FadeLimit);
  if (!ended) FadeAlpha += FadeStep;
  if (ended && FirstHalf) {
    Current = Next;
    if (StartNext && Current) Current->Start(StartParam);
    FadeLimit = BackLimit;
    FadeStep = BackStep;
    FirstHalf = false;
  } else if (ended) {
    Switching = false;
  }
}

void tSceneMng::DrawScene() {
  if (Current) Current->Draw();
  if (Switching && Kind == 0) {
    uint8_t alpha = static_cast<uint8_t>(std::clamp(FadeAlpha, 0, 255));
    pr2d_Rect(0, 0, static_cast<float>(Width), static_cast<float>(Height), FadeColor, alpha,
              PR2D_FILL);
  }
}

void tSceneMng::Draw() {
  if (!DialogOpen()) {
    DrawScene();
    return;
  }
  if (!UnderDialog) UnderDialog = std::make_unique<zglPicture>(kScreenWidth, kScreenHeight);
  if (pic_Begin(*UnderDialog, OwnDialog->Asked)) {
    DrawScene();
    TDialog::DrawDim();
    pic_End();
  }
  pic_Draw(*UnderDialog, 0, 0);
  OwnDialog->Draw();
}
