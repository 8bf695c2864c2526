#include "scenes/uGame.h"

#include <algorithm>
#include <cstdint>
#include <nlohmann/json.hpp>

#include "engine/zgl.h"
#include "scenes/uLevelMenu.h"
#include "sim/uBattery.h"
#include "sim/uWorld.h"
#include "ui/uResources.h"

namespace {

constexpr uint32_t kBackground = 0x505050;
constexpr uint32_t kGridDot = 0xFFFFFF;
constexpr uint8_t kGridDotAlpha = 21;
constexpr int kGridDotQuality = 7;
constexpr float kGridDotRadius = 2;

constexpr uint32_t kPanelFill = 0xF0F0FF;
constexpr uint32_t kPanelOutline = 0x50505F;
constexpr uint32_t kWinCaptionColor = 0x0000FF;
constexpr uint8_t kWinCaptionAlpha = 178;

}  // namespace

// --- TWinForm ---

TWinForm::TWinForm(int x, int y, uint8_t alpha, tScene* owner, TMeFormShape* shape,
                   TMeDrawRect* sprite)
    : TMeForm(x, y, alpha, owner), Next(AddNew<TButtonNext>(*this, 0, 64, shape, sprite, this)) {
  Next->Caption = "-";
}

void TWinForm::Show(int32_t nextLevel) {
  Visible = true;
  Alpha = 0;
  auto* game = dynamic_cast<TGame*>(Owner);
  const TLevelMenu* levels = game ? game->LevelMenu : nullptr;
  const int32_t count = levels ? static_cast<int32_t>(levels->Levels.size()) : 0;
  Next->LevelIndex = nextLevel;
  Next->AllDone = nextLevel > count - 1;
  Next->Caption = Next->AllDone ? "В меню" : "Далее";
  Caption = Next->AllDone ? "Все уровни пройдены!" : "Уровень пройден!";
}

void TWinForm::Draw() {
  const float left = static_cast<float>(X - 150), top = static_cast<float>(Y - 100);
  pr2d_Rect(left, top, 300, 200, kPanelFill, Alpha, PR2D_FILL);
  pr2d_Rect(left, top, 300, 200, kPanelOutline, Alpha, 0);
  text_DrawEx(MainFont, static_cast<float>(X), static_cast<float>(Y - 25), 1.0f, 0.0f, Caption,
              kWinCaptionAlpha, kWinCaptionColor, TEXT_HALIGN_CENTER);
  TMeForm::Draw();
}

bool TWinForm::Update(int mouseX, int mouseY) {
  if (Alpha < kFullAlpha) {
    Alpha = static_cast<uint8_t>(std::min<int>(Alpha + kFadeStep, kFullAlpha));
    return false;
  }
  return TMeForm::Update(mouseX, mouseY);
}

// --- TGame ---

TGame::TGame(tSceneMng* manager, TLevelMenu* levelMenu)
    : tScene(manager), Map(std::make_unique<TMap>(kCellSize)), LevelMenu(levelMenu),
      ButtonBar(std::make_unique<TMeForm>(90, 40, 255, this)),
      ButtonSprite(MakeWideButtonSprite()), ButtonShape(MakeWideButtonShape()) {
  ButtonBar->Visible = true;
  AddNew<TButtonShowMenu>(*ButtonBar, 0, 0, ButtonShape.get(), ButtonSprite.get(), ButtonBar.get())
      ->Caption = "Меню";
  AddNew<TButtonReset>(*ButtonBar, 844, 0, ButtonShape.get(), ButtonSprite.get(), ButtonBar.get())
      ->Caption = "Рестарт";
  WinForm = std::make_unique<TWinForm>(512, 384, 200, this, ButtonShape.get(), ButtonSprite.get());
  // Fill in the texts once; Start hides the form before anyone sees it.
  WinForm->Show(0);
}

TGame::~TGame() = default;

void TGame::Start(int32_t param) {
  WinForm->Visible = false;
  LevelIndex = param;
  // Read the folder afresh: the list may have been left holding the chooser's
  // "+" entry for a file that was never written.
  if (LevelMenu) LevelMenu->Rescan();
  if (LevelMenu && param >= 0 && param < static_cast<int32_t>(LevelMenu->Levels.size()))
    Map->LoadFromFile(LevelDir() + LevelMenu->Levels[param].FileName);
  Map->StartGame();
}

void TGame::Update() {
  if (WinForm->Visible) {
    // The map stands still while the result is shown.
    WinForm->Update(mouse_X(), mouse_Y());
    return;
  }
  Map->Update();
  ButtonBar->Update(mouse_X(), mouse_Y());
  // The last index there can be has no next one: the form offers the menu.
  if (LevelComplete()) WinForm->Show(LevelIndex < INT32_MAX ? LevelIndex + 1 : LevelIndex);
}

bool TGame::LevelComplete() const {
  if (!Map->World) return false;
  const auto& batteries = Map->World->Batteries;
  return std::all_of(batteries.begin(), batteries.end(),
                     [](const TBattery* b) { return b->Delivered; });
}

void TGame::DrawGrid() const {
  for (int i = 0; i < kGridColumns; ++i)
    for (int j = 0; j < kGridRows; ++j)
      pr2d_Circle(static_cast<float>(Map->OriginX + i * CellSize),
                  static_cast<float>(Map->OriginY + j * CellSize), kGridDotRadius, kGridDot,
                  kGridDotAlpha, kGridDotQuality, 0, PR2D_FILL);
}

void TGame::Draw() {
  pr2d_Rect(0, 0, 1024, 768, kBackground, 255, PR2D_FILL);
  DrawGrid();
  Map->Draw();
  ButtonBar->Draw();
  if (WinForm->Visible) WinForm->Draw();
}

nlohmann::json TGame::DumpState() const {
  return {{"level_index", LevelIndex},
          {"win_visible", WinForm->Visible},
          {"win_alpha", WinForm->Alpha},
          {"win_caption", WinForm->Caption},
          {"next_caption", WinForm->Next->Caption},
          {"map", Map->DumpState()}};
}

// --- the scene's buttons ---

void TButtonShowMenu::Click() {
  if (tScene* scene = OwnerScene()) scene->SwitchTo("menu");
}

void TButtonReset::Click() {
  if (auto* game = dynamic_cast<TGame*>(Form ? Form->Owner : nullptr)) game->Map->StartGame();
}

void TButtonNext::Click() {
  tScene* scene = OwnerScene();
  if (!scene) return;
  if (AllDone)
    scene->SwitchTo("menu");
  else
    scene->SwitchTo("game", LevelIndex);
}
