#include "scenes/uGame.h"

#include <algorithm>
#include <cstdint>
#include <iostream>
#include <nlohmann/json.hpp>
#include <vector>

#include "engine/zgl.h"
#include <filesystem>

#include "engine/uSafeFile.h"
#include "level/uLevelHint.h"
#include "level/uMapFile.h"
#include "scenes/uLevelLost.h"
#include "scenes/uLevelMenu.h"
#include "scenes/uPlayerState.h"
#include "sim/uBattery.h"
#include "sim/uHero.h"
#include "sim/uWorld.h"
#include "ui/uDialog.h"
#include "ui/uLang.h"
#include "ui/uResources.h"
#include "ui/uSounds.h"
#include "ui/uTextWrap.h"

namespace {

constexpr uint32_t kBackground = 0x505050;
constexpr uint32_t kGridDot = 0xFFFFFF;
constexpr uint8_t kGridDotAlpha = 21;
constexpr int kGridDotQuality = 7;
constexpr float kGridDotRadius = 2;

constexpr uint32_t kPanelFill = 0xF0F0FF;
constexpr uint32_t kPanelOutline = 0x50505F;
constexpr uint32_t kWinCaptionColor = 0x0000FF;
constexpr uint8_t kResultCaptionAlpha = 178;

// The hint panel: as wide as most of the field, centred in the strip between
// the floor of the levels and the bottom of the window.
constexpr int kHintWidth = 580;
constexpr int kHintCentreY = 736;
constexpr int kHintLineHeight = 18;
constexpr int kHintPadding = 5;
constexpr uint8_t kHintAlpha = 215;

}  // namespace

// --- TResultForm, TWinForm ---

TResultForm::TResultForm(int x, int y, uint8_t alpha, tScene* owner, uint32_t captionColor)
    : TMeForm(x, y, alpha, owner), CaptionColor(captionColor) {}

void TResultForm::StartFadeIn() {
  Visible = true;
  Alpha = 0;
}

bool TResultForm::PressButton() {
  if (!Visible || !FadedIn() || !Button) return false;
  PlaySound(TSound::Click);
  Button->Click();
  Button->PressTimer = TMeFormObject::kPressTicks;
  return true;
}

void TResultForm::Draw() {
  const float left = static_cast<float>(X - 150), top = static_cast<float>(Y - 100);
  const auto height = static_cast<float>(Height);
  pr2d_Rect(left, top, 300, height, kPanelFill, Alpha, PR2D_FILL);
  pr2d_Rect(left, top, 300, height, kPanelOutline, Alpha, 0);
  text_DrawEx(MainFont, static_cast<float>(X), static_cast<float>(Y - 25), 1.0f, Tr(Caption),
              kResultCaptionAlpha, CaptionColor, TEXT_HALIGN_CENTER);
  TMeForm::Draw();
}

bool TResultForm::Update(int mouseX, int mouseY) {
  if (Alpha < kFullAlpha) {
    Alpha = static_cast<uint8_t>(std::min<int>(Alpha + kFadeStep, kFullAlpha));
    return false;
  }
  return TMeForm::Update(mouseX, mouseY);
}

TWinForm::TWinForm(int x, int y, uint8_t alpha, tScene* owner, TMeFormShape* shape,
                   TMeDrawRect* sprite)
    : TResultForm(x, y, alpha, owner, kWinCaptionColor),
      Next(AddNew<TButtonNext>(*this, 0, 64, shape, sprite, this)) {
  Button = Next;
  Next->Caption = "-";
}

void TWinForm::Show(int32_t nextLevel, bool shared) {
  StartFadeIn();
  auto* game = dynamic_cast<TGame*>(Owner);
  const TLevelMenu* levels = game ? game->LevelMenu : nullptr;
  const int32_t count = levels ? static_cast<int32_t>(levels->Levels.size()) : 0;
  Next->LevelIndex = nextLevel;
  Next->AllDone = shared || nextLevel > count - 1;
  Next->Caption = Next->AllDone ? N_("В меню") : N_("Далее");
  Caption = Next->AllDone && !shared ? N_("Все уровни пройдены!") : N_("Уровень пройден!");
}

// --- TGame ---

TGame::TGame(tSceneMng* manager, TLevelMenu* levelMenu)
    : tScene(manager),
      Map(std::make_unique<TMap>(kCellSize)),
      LevelMenu(levelMenu),
      ButtonBar(std::make_unique<TMeForm>(90, 40, 255, this)),
      ButtonSprite(MakeWideButtonSprite()),
      ButtonShape(MakeWideButtonShape()),
      Field(std::make_unique<zglPicture>(kScreenWidth, kScreenHeight)) {
  ButtonBar->Visible = true;
  AddNew<TButtonShowMenu>(*ButtonBar, 0, 0, ButtonShape.get(), ButtonSprite.get(), ButtonBar.get())
      ->Caption = N_("Меню");
  AddNew<TButtonReset>(*ButtonBar, 844, 0, ButtonShape.get(), ButtonSprite.get(), ButtonBar.get())
      ->Caption = N_("Рестарт");
  SolutionButton = AddNew<TButtonSolution>(*ButtonBar, 844, 60, ButtonShape.get(),
                                           ButtonSprite.get(), ButtonBar.get());
  SolutionButton->Caption = N_("Решение");
  SolutionButton->Visible = false;
  WinForm = std::make_unique<TWinForm>(kScreenCentreX, kScreenCentreY, 200, this, ButtonShape.get(),
                                       ButtonSprite.get());
  // Fill in the texts once; Start hides the form before anyone sees it.
  WinForm->Show(0);
  WinForm->Visible = false;
  LostForm = std::make_unique<TLostForm>(kScreenCentreX, kScreenCentreY, 200, this,
                                         ButtonShape.get(), ButtonSprite.get());
  // Under "Меню", left of the field.
  SharedBar = std::make_unique<TMeForm>(90, 92, 255, this);
  AddNew<TButtonSaveOwn>(*SharedBar, 0, 0, ButtonShape.get(), ButtonSprite.get(), SharedBar.get())
      ->Caption = N_("Сохранить себе");
}

TGame::~TGame() = default;

void TGame::Start(int32_t param) {
  LevelIndex = param;
  // Read the folder afresh: the list may have been left holding the chooser's
  // "+" entry for a file that was never written.
  if (LevelMenu) LevelMenu->Rescan();
  LevelFile.clear();
  Solution.clear();
  Failures = 0;
  Demo.reset();
  Shared = param == kSharedLevel;
  SharedBar->Visible = Shared;
  if (Shared) {
    Map->Clear();
    ReadMapBytes(SharedLevel.MapBytes, "the shared level", Map.get());
    Hint = SharedLevel.Hint;
    std::string error;
    if (!ParseLevelSolution(SharedLevel.Solution, "the shared level's solution", &Solution, &error) &&
        !error.empty())
      std::cerr << "kelvod: " << error << "; the level offers no solution\n";
  } else if (LevelMenu && param >= 0 && param < static_cast<int32_t>(LevelMenu->Levels.size())) {
    // The hint lies beside the level's file, in whichever folder that is.
    const TLevel& level = LevelMenu->Levels[param];
    Map->LoadFromFile(level.Path());
    Hint = LoadShownHint(level.Path(), !level.Own, Language() == kBaseLanguage ? "" : Language());
    LevelFile = level.FileName;
    LevelOwn = level.Own;
    std::string error;
    if (!LoadLevelSolution(level.Path(), &Solution, &error) && !error.empty())
      std::cerr << "kelvod: " << error << "; the level offers no solution\n";
  }
  StartOver();
}

void TGame::Restart() {
  if (Demo)
    Demo.reset();
  else if (!LostForm->Visible && !WinForm->Visible)
    ++Failures;
  StartOver();
}

void TGame::StartOver() {
  WinForm->Visible = false;
  LostForm->Visible = false;
  HintVisible = !Hint.empty();
  StartHeard = false;
  Map->StartGame();
  RefreshSolutionButtons();
}

void TGame::PlayDemo(std::vector<TReplayEvent> events) {
  if (events.empty()) return;
  Demo = std::make_unique<TDemoPlayback>(std::move(events));
  // The level starts as it does for a solution run from the command line:
  // the pointer in the corner, no button held.
  const zglMouseState player = eng_GetMouse();
  eng_PutMouse(zglMouseState{});
  StartOver();
  eng_PutMouse(player);
}

void TGame::StopDemo() {
  Demo.reset();
  StartOver();
}

bool TGame::SolutionOffered() const {
  return !Solution.empty() && (Demo || Failures >= kTriesBeforeSolution);
}

void TGame::RefreshSolutionButtons() {
  SolutionButton->Visible = SolutionOffered();
  SolutionButton->Caption = Demo ? N_("Стоп") : N_("Решение");
  LostForm->OfferSolution(SolutionOffered() && !Demo);
}

void TGame::UpdateMap() {
  if (Demo) {
    Demo->Tick([this] { Map->Update(); });
  } else {
    // A press on a button around the field is the button's, not a shot.
    Map->Update(ButtonBar->ObjectAt(mouse_X(), mouse_Y()) != nullptr);
  }
}

void TGame::Update() {
  if (HandleKeys()) return;
  if (WinForm->Visible) {
    // The map stands still while the result is shown; a shared level won
    // can still be kept ("Сохранить себе").
    if (!WinForm->Update(mouse_X(), mouse_Y()) && Shared) SharedBar->Update(mouse_X(), mouse_Y());
    return;
  }
  if (LostForm->Visible) {
    // So it does under the failure form; "Меню" and "Рестарт" still work.
    if (!LostForm->Update(mouse_X(), mouse_Y())) ButtonBar->Update(mouse_X(), mouse_Y());
    return;
  }
  if (!StartHeard) PlaySound(TSound::LevelStart);
  StartHeard = true;
  UpdateMap();
  // Before the buttons: a restart's own first tick must not count as firing.
  if (HeroFiring()) HintVisible = false;
  if (!ButtonBar->Update(mouse_X(), mouse_Y()) && Shared) SharedBar->Update(mouse_X(), mouse_Y());
  if (LevelComplete()) {
    // The last index there can be has no next one: the form offers the menu.
    WinForm->Show(LevelIndex < INT32_MAX ? LevelIndex + 1 : LevelIndex, Shared);
    PlaySound(TSound::Win);
    // A watched solution is not the player's win.
    if (PlayerState && !LevelFile.empty() && !Demo) PlayerState->SetWon(LevelFile, LevelOwn);
  } else {
    CheckLost();
  }
}

bool TGame::HandleKeys() {
  if (key_Press(K_ESCAPE)) {
    // Leaving a level; a result form shown is the level's result, so Escape
    // leaves from under it too rather than leaving a finished level open.
    SwitchTo("menu");
    return true;
  }
  if (key_Press(KeyLetter('r'))) {
    Restart();
    return true;
  }
  if (key_Press(K_RETURN)) return WinForm->PressButton() || LostForm->PressButton();
  return false;
}

void TGame::CheckLost() {
  const std::string reason = LostReason(*Map, static_cast<float>(kGridRows * CellSize));
  if (reason.empty()) return;
  if (!Demo) ++Failures;
  RefreshSolutionButtons();
  LostForm->Show(reason);
}

bool TGame::LevelComplete() const { return Map->AllBatteriesDelivered(); }

bool TGame::HeroFiring() const {
  return std::any_of(Map->Objects.begin(), Map->Objects.end(), [](const auto& o) {
    const auto* hero = dynamic_cast<const THero*>(o.get());
    return hero && hero->Firing;
  });
}

bool TGame::HintShown() const {
  return HintVisible && !Hint.empty() && !WinForm->Visible && !LostForm->Visible;
}

void TGame::DrawGrid() const {
  for (int i = 0; i < kGridColumns; ++i)
    for (int j = 0; j < kGridRows; ++j)
      pr2d_Circle(static_cast<float>(Map->OriginX + i * CellSize),
                  static_cast<float>(Map->OriginY + j * CellSize), kGridDotRadius, kGridDot,
                  kGridDotAlpha, kGridDotQuality, PR2D_FILL);
}

// The hint on a light panel across the bottom of the field, below the floor
// the levels stand on, one caption line under the other. A line too wide for
// the panel (a hint written outside the editor) is broken into more, and the
// panel grows upwards so that it stays on the screen.
void TGame::DrawHint() const {
  const std::vector<std::string> lines =
      WrapText(MainFont, Hint, static_cast<float>(kHintWidth - 4 * kHintPadding));
  const int height = static_cast<int>(lines.size()) * kHintLineHeight + 2 * kHintPadding;
  const int top = std::min(kHintCentreY - height / 2, kScreenHeight - kHintPadding - height);
  const float left = static_cast<float>(kScreenCentreX - kHintWidth / 2);
  pr2d_Rect(left, static_cast<float>(top), kHintWidth, static_cast<float>(height), kPanelFill,
            kHintAlpha, PR2D_FILL);
  pr2d_Rect(left, static_cast<float>(top), kHintWidth, static_cast<float>(height), kPanelOutline,
            kHintAlpha, 0);
  for (size_t i = 0; i < lines.size(); ++i)
    DrawCaption(lines[i], kScreenCentreX,
                top + kHintPadding + static_cast<int>(i) * kHintLineHeight + kHintLineHeight / 2,
                255);
}

void TGame::Draw() {
  // The field's place on the screen is all that the picture depends on.
  const uint64_t where = static_cast<uint64_t>(static_cast<uint32_t>(Map->OriginX)) << 32 |
                         static_cast<uint32_t>(Map->OriginY);
  if (pic_Begin(*Field, where)) {
    pr2d_Rect(0, 0, kScreenWidth, kScreenHeight, kBackground, 255, PR2D_FILL);
    DrawGrid();
    pic_End();
  }
  pic_Draw(*Field, 0, 0);
  Map->Draw();
  ButtonBar->Draw();
  if (Shared) SharedBar->Draw();
  if (HintShown()) DrawHint();
  if (WinForm->Visible) WinForm->Draw();
  if (LostForm->Visible) LostForm->Draw();
}

nlohmann::json TGame::DumpState() const {
  return {{"level_index", LevelIndex},
          {"shared", Shared},
          {"win_visible", WinForm->Visible},
          {"win_alpha", WinForm->Alpha},
          {"win_caption", Tr(WinForm->Caption)},
          {"next_caption", Tr(WinForm->Next->Caption)},
          {"hint", HintShown() ? nlohmann::json(Hint) : nlohmann::json()},
          {"lost_visible", LostForm->Visible},
          {"lost_reason", LostForm->Visible ? nlohmann::json(Tr(LostForm->Reason)) : nlohmann::json()},
          {"demo", Demo != nullptr},
          {"failures", Failures},
          {"solution", !Solution.empty()},
          {"map", Map->DumpState()}};
}

// --- the scene's buttons ---

void TButtonShowMenu::Click() {
  if (tScene* scene = OwnerScene()) scene->SwitchTo("menu");
}

void TButtonReset::Click() {
  if (auto* game = dynamic_cast<TGame*>(Form ? Form->Owner : nullptr)) game->Restart();
}

void TButtonSolution::Click() {
  auto* game = dynamic_cast<TGame*>(OwnerScene());
  if (!game) return;
  if (game->Demo)
    game->StopDemo();
  else
    game->ShowSolution();
}

std::string TGame::SaveSharedLevel(std::string* error, bool* again) {
  *again = false;
  if (!Shared || !LevelMenu) return "";
  // A level the player already keeps (saved from this code before, even in
  // another session) is not copied again.
  LevelMenu->Rescan();
  for (const TLevel& own : LevelMenu->Levels) {
    std::string bytes;
    if (own.Writable() && ReadFileSafely(own.Path(), kMaxLevelFileBytes, &bytes) == TFileRead::OK &&
        bytes == SharedLevel.MapBytes) {
      *again = true;
      return own.FileName;
    }
  }
  std::error_code ec;
  LevelMenu->AddNewLevel();
  const TLevel level = LevelMenu->Levels.back();
  LevelMenu->Rescan();
  std::filesystem::create_directories(level.Dir, ec);
  const std::string path = level.Path();
  // The hint and the solution first: a level file that appears is whole.
  if (!SaveLevelHint(path, SharedLevel.Hint, error) ||
      !SafeWriteFile(LevelSolutionPath(path), WithProofLine(SharedLevel.Solution, SharedLevel.MapBytes),
                     error) ||
      !SafeWriteFile(path, SharedLevel.MapBytes, error))
    return "";
  LevelMenu->Rescan();
  return level.FileName;
}

void TButtonSaveOwn::Click() {
  auto* game = dynamic_cast<TGame*>(OwnerScene());
  if (!game || !game->Manager) return;
  std::string error;
  bool again = false;
  const std::string name = game->SaveSharedLevel(&error, &again);
  const std::string caption = TLevelMenu::CaptionOf(name);
  const std::string text = name.empty() ? TrF("Не удалось сохранить уровень: %s", {error})
                           : again      ? TrF("Уровень уже в ваших уровнях: %s", {caption})
                                        : TrF("Уровень сохранён в ваши уровни: %s", {caption});
  game->Manager->Dialog().Ask(text, {{"OK", nullptr}}, 0, 0);
}

void TButtonNext::Click() {
  tScene* scene = OwnerScene();
  if (!scene) return;
  if (AllDone)
    scene->SwitchTo("menu");
  else
    scene->SwitchTo("game", LevelIndex);
}
