#include "scenes/uMainMenu.h"

#include <algorithm>
#include <cmath>

#include "engine/engine.h"
#include "engine/zgl.h"
#include "scenes/uGame.h"
#include "scenes/uLevelMenu.h"
#include "scenes/uPlayerState.h"
#include "scenes/uSettings.h"
#include "ui/uAtlas.h"
#include "ui/uLang.h"
#include "ui/uResources.h"

namespace {

constexpr int kGearX = kScreenWidth - 44, kGearY = 44;  // screen centre of the gear button
constexpr uint32_t kGearColor = 0x2B3038;

}  // namespace

TMainMenuScene::TMainMenuScene(tSceneMng* manager, TLevelMenu* levelMenu)
    : tScene(manager),
      Form(std::make_unique<TMeForm>(kScreenCentreX, kScreenCentreY, 255, this)),
      LevelMenu(levelMenu),
      ButtonSprite(MakeWideButtonSprite()),
      ButtonShape(MakeWideButtonShape()),
      GearSprite(MakeAtlasSprite<TMeFormDrawRect>(Atlas::SmallButton)),
      GearShape(std::make_unique<TShapeCircle>(48)),
      Picture(std::make_unique<zglPicture>(kScreenWidth, kScreenHeight)) {
  auto add = [&](auto* button, const char* caption) { button->Caption = caption; };
  TMeForm& f = *Form;
  add(AddNew<TButtonNew>(f, 0, -100, ButtonShape.get(), ButtonSprite.get(), &f), N_("Новая игра"));
  add(AddNew<TButtonOpen>(f, 0, -48, ButtonShape.get(), ButtonSprite.get(), &f), N_("Загрузить"));
  add(AddNew<TButtonEditor>(f, 0, 4, ButtonShape.get(), ButtonSprite.get(), &f), N_("Редактор карт"));
  auto* exit = AddNew<TButtonExit>(f, 0, 56, ButtonShape.get(), ButtonSprite.get(), &f);
  add(exit, N_("Выход"));
  exit->Visible = !eng_InBrowser();  // a browser tab is closed by the browser
  // TRANSLATORS: the language switch of the main menu: "Language" and the name of
  // the catalogue's own language, as its speakers write it.
  add(AddNew<TButtonLanguage>(f, 422, 334, ButtonShape.get(), ButtonSprite.get(), &f), N_("Язык: Русский"));
  // The gear: in the top right corner, clear of the title and the four buttons.
  AddNew<TButtonSettings>(f, kGearX - f.X, kGearY - f.Y, GearShape.get(), GearSprite.get(), &f);
  Settings = std::make_unique<TSettingsPanel>(this);
}

TMainMenuScene::~TMainMenuScene() = default;

namespace {

// The line under the buttons: which game this is, and the one key worth knowing.
// In a browser full screen is the browser's business, so only the version shows.
const char* const kFooter = N_("Версия %s  ·  F11 — полный экран");
const char* const kBrowserFooter = N_("Версия %s");
constexpr uint32_t kFooterColor = 0x8C8C8C;
constexpr int kFooterY = 746;

}  // namespace

void TMainMenuScene::Draw() {
  // Nothing here moves but a button under the pointer: one picture, drawn
  // again when that changes.
  pic_Layer(*Picture, [this] { DrawMenu(); });
}

void TMainMenuScene::DrawMenu() {
  ssprite2d_Draw(TitleTexture, kScreenCentreX - 256, 70, 512, 120, 0, 255);
  if (SubForm && SubForm->Visible) {
    SubForm->Draw();
    return;
  }
  // The settings panel stands alone over the title, as the chooser does.
  if (Settings->Visible) {
    Settings->Draw();
    return;
  }
  Form->Draw();
  // The chooser reaches down to the bottom of the screen: the line shows with the buttons only.
  const std::string footer = TrF(eng_InBrowser() ? kBrowserFooter : kFooter, {KELVOD_VERSION});
  text_DrawEx(MainFont, kScreenCentreX, kFooterY, 1.0f, footer, 255, kFooterColor,
              TEXT_HALIGN_CENTER | TEXT_VALIGN_CENTER);
}

void TMainMenuScene::Update() {
  if (Settings->Visible) {
    Settings->Update(mouse_X(), mouse_Y());
  } else if (SubForm && SubForm->Visible) {
    // Escape closes the chooser, as its "Закрыть" does.
    if (key_Press(K_ESCAPE))
      SubForm->Visible = false;
    else
      SubForm->Update(mouse_X(), mouse_Y());
  } else {
    Form->Update(mouse_X(), mouse_Y());
  }
}

nlohmann::json TMainMenuScene::DumpState() const {
  return {{"sub_form_visible", SubForm != nullptr && SubForm->Visible},
          {"settings_visible", Settings->Visible}};
}

void TButtonNew::Click() {
  if (tScene* scene = OwnerScene()) scene->SwitchTo("game", 0);
}

// The chooser plays the level picked (play mode) in the game scene.
void TButtonOpen::Click() {
  auto* scene = dynamic_cast<TMainMenuScene*>(OwnerScene());
  if (!scene || !scene->LevelMenu) return;
  auto* game = dynamic_cast<TGame*>(scene->Manager ? scene->Manager->SceneNamed("game") : nullptr);
  scene->LevelMenu->Show(game ? game->Map.get() : nullptr, false, true);
  scene->SubForm = scene->LevelMenu;
}

void TButtonEditor::Click() {
  if (tScene* scene = OwnerScene()) scene->SwitchTo("editor");
}

void ChooseLanguage(const std::string& code) {
  SetLanguage(code);
  if (PlayerState) PlayerState->SetLanguageSetting(code);
}

void TButtonLanguage::Click() {
  const std::vector<std::string> languages = Languages();
  auto it = std::find(languages.begin(), languages.end(), Language());
  ChooseLanguage(it == languages.end() || ++it == languages.end() ? languages.front() : *it);
}

// Ends the program, unless the editor first asks about unsaved work.
void TButtonExit::Click() {
  tScene* scene = OwnerScene();
  if (scene && scene->Manager)
    scene->Manager->Quit();
  else
    zgl_Exit();
}

void TButtonSettings::Click() {
  if (auto* scene = dynamic_cast<TMainMenuScene*>(OwnerScene())) scene->Settings->Show();
}

// A gear drawn on the round button: a disc with eight teeth and a hole.
void TButtonSettings::Draw(int offsetX, int offsetY, uint8_t alpha) {
  TMeFormObject::Draw(offsetX, offsetY, alpha);
  const float cx = static_cast<float>(X + offsetX), cy = static_cast<float>(Y + offsetY);
  constexpr float kTwoPi = 6.2831853f;
  for (int i = 0; i < 8; ++i) {
    const float a = kTwoPi * static_cast<float>(i) / 8.0f;
    pr2d_Circle(cx + 11.0f * std::cos(a), cy + 11.0f * std::sin(a), 4.5f, kGearColor, alpha, 16,
                PR2D_FILL | PR2D_SMOOTH);
  }
  pr2d_Circle(cx, cy, 11.0f, kGearColor, alpha, 24, PR2D_FILL | PR2D_SMOOTH);
  pr2d_Circle(cx, cy, 4.5f, 0xE8ECF1, alpha, 16, PR2D_FILL | PR2D_SMOOTH);
}
