#include "scenes/uMainMenu.h"

#include "app/uGlobals.h"
#include "editor/uEditor.h"
#include "scenes/uGame.h"
#include "scenes/uLevelMenu.h"
#include "ui/uAtlas.h"

std::unique_ptr<TMeFormDrawRect> MakeWideButtonSprite() {
  return MakeAtlasSprite<TMeFormDrawRect>(Atlas::WideButton);
}

std::unique_ptr<TShapeRect> MakeWideButtonShape() { return std::make_unique<TShapeRect>(162, 30); }

TMainMenuScene::TMainMenuScene(tSceneMng* manager)
    : tScene(manager), Form(std::make_unique<TMeForm>(512, 384, 255, this)),
      ButtonSprite(MakeWideButtonSprite()), ButtonShape(MakeWideButtonShape()) {
  auto add = [&](auto* button, const char* caption) { button->Caption = caption; };
  TMeForm& f = *Form;
  add(AddNew<TButtonNew>(f, 0, -100, ButtonShape.get(), ButtonSprite.get(), &f), "Новая игра");
  add(AddNew<TButtonOpen>(f, 0, -48, ButtonShape.get(), ButtonSprite.get(), &f), "Загрузить");
  add(AddNew<TButtonEditor>(f, 0, 4, ButtonShape.get(), ButtonSprite.get(), &f), "Редактор карт");
  add(AddNew<TButtonExit>(f, 0, 56, ButtonShape.get(), ButtonSprite.get(), &f), "Выход");
}

TMainMenuScene::~TMainMenuScene() = default;

void TMainMenuScene::Draw() {
  ssprite2d_Draw(TitleTexture, 256, 70, 512, 120, 0, 255, FX_BLEND);
  if (SubForm && SubForm->Visible)
    SubForm->Draw();
  else
    Form->Draw();
}

void TMainMenuScene::Update() {
  if (SubForm && SubForm->Visible)
    SubForm->Update(mouse_X(), mouse_Y());
  else
    Form->Update(mouse_X(), mouse_Y());
}

nlohmann::json TMainMenuScene::DumpState() const {
  return {{"sub_form_visible", SubForm != nullptr && SubForm->Visible}};
}

void TButtonNew::Click() { SceneManager->SetSceneParam(GameScene, 0, 0); }

void TButtonOpen::Click() {
  LevelMenu->Show(GameScene->Map.get(), false, true);
  if (auto* scene = dynamic_cast<TMainMenuScene*>(Form->Owner)) scene->SubForm = LevelMenu;
}

void TButtonEditor::Click() { SceneManager->SetScene(EditorScene, 0); }

void TButtonExit::Click() { zgl_Exit(); }
