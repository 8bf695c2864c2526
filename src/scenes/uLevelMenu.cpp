#include "scenes/uLevelMenu.h"

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <nlohmann/json.hpp>

#include "engine/engine.h"
#include "engine/uSafeFile.h"
#include "engine/uUtf8.h"
#include "level/uLevelBudget.h"
#include "level/uMap.h"
#include "level/uShareCode.h"
#include "scenes/uGame.h"
#include "scenes/uPlayerState.h"
#include "ui/uAtlas.h"
#include "ui/uDialog.h"
#include "ui/uLang.h"
#include "ui/uResources.h"
#include "ui/uScene.h"

namespace {

bool EndsWithMap(const std::string& name) {
  if (name.size() < 4) return false;
  std::string ext = name.substr(name.size() - 4);
  std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
  return ext == ".map";
}

// Length in bytes of the UTF-8 character that starts with `lead`.
size_t Utf8Length(unsigned char lead) {
  if (lead >= 0xF0) return 4;
  if (lead >= 0xE0) return 3;
  if (lead >= 0xC0) return 2;
  return 1;
}

// The .map entries of a folder (files and folders alike); none when it is missing.
std::vector<std::string> MapNames(const std::string& dir) {
  std::vector<std::string> names;
  std::error_code ec;
  if (dir.empty()) return names;
  for (std::filesystem::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
    std::string name = it->path().filename().string();
    if (EndsWithMap(name)) names.push_back(name);
  }
  return names;
}

// Where the check of a won level sits, from the button's centre: on its rim, top right.
constexpr int kWonMarkDX = 24, kWonMarkDY = -24;
constexpr uint32_t kProvenMarkColor = 0xC08000;
// The page number stands on the dark screen, not on a button: a light grey.
constexpr uint32_t kPageCaptionColor = 0x9AA3AE;

// An own level its author proved winnable: drawn with a star, top left.
class TButtonLMProven : public TButtonLM {
 public:
  using TButtonLM::TButtonLM;
  void Draw(int offsetX, int offsetY, uint8_t alpha) override {
    TButtonLM::Draw(offsetX, offsetY, alpha);
    text_DrawEx(MainFont, static_cast<float>(X + offsetX - kWonMarkDX),
                static_cast<float>(Y + offsetY + kWonMarkDY), 1.0f, "★", alpha, kProvenMarkColor,
                TEXT_HALIGN_CENTER | TEXT_VALIGN_CENTER);
  }
};

// Playing: opens the share code (or link) on the clipboard, or says why not.
class TButtonPaste : public TButtonEM {
 public:
  using TButtonEM::TButtonEM;
  void Click() override;
};

}  // namespace

// A number of the game's own kind (1001 to 1999) drops its first digit; a
// number of other than three digits after the first is shown whole, so no two
// numbered levels ever share a caption (10000.map and 20000.map).
std::string TLevelMenu::CaptionOf(const std::string& name) {
  if (name.size() <= 5) return "";
  const std::string stem = name.substr(0, name.size() - 4);
  const bool number = std::all_of(stem.begin(), stem.end(), [](char c) { return c >= '0' && c <= '9'; });
  if (number && !(stem.size() == 4 && stem[0] == '1')) return stem;
  size_t first = std::min(Utf8Length(static_cast<unsigned char>(name[0])), name.size() - 4);
  return name.substr(first, name.size() - 4 - first);
}

bool TLevel::Writable() const { return !Dir.empty() && Dir == PlayerLevelDir(); }

TLevelMenu::TLevelMenu(int x, int y, uint8_t alpha, tScene* owner)
    : TMeForm(x, y, alpha, owner), LevelShape(std::make_unique<TShapeCircle>(64)),
      CloseShape(MakeWideButtonShape()),
      LevelSprite(MakeAtlasSprite<TMeFormDrawRect>(Atlas::ToolButton)),
      CloseSprite(MakeWideButtonSprite()), WonSprite(MakeAtlasSprite(Atlas::WonMark)) {}

TLevelMenu::~TLevelMenu() = default;

std::vector<TLevel> LevelList() {
  std::vector<TLevel> levels;
  auto add = [&](const std::string& dir, bool own) {
    for (const auto& name : MapNames(dir)) levels.push_back({name, TLevelMenu::CaptionOf(SanitizeUtf8(name)), dir, own});
  };
  add(DataLevelDir(), false);
  if (PlayerLevelsApart()) add(PlayerLevelDir(), true);
  std::stable_sort(levels.begin(), levels.end(), [](const TLevel& a, const TLevel& b) {
    return a.FileName != b.FileName ? a.FileName < b.FileName : !a.Own && b.Own;
  });
  return levels;
}

void TLevelMenu::Rescan() {
  RemoveStaleTemporaries(PlayerLevelDir());
  Levels = LevelList();
}

void TLevelMenu::AddLevel(const std::string& fileName) { AddLevel(fileName, DataLevelDir(), false); }

// A name that is not valid UTF-8 (a Cyrillic name in an old code page from
// an old archive) is shown with the bad bytes replaced; the file is still
// opened by its real name.
void TLevelMenu::AddLevel(const std::string& fileName, const std::string& dir, bool own) {
  Levels.push_back({fileName, CaptionOf(SanitizeUtf8(fileName)), dir, own});
}

bool TLevelMenu::Won(int index) const {
  if (!PlayerState || index < 0 || index >= static_cast<int>(Levels.size())) return false;
  return PlayerState->Won(Levels[index].FileName, Levels[index].Own);
}

void TLevelMenu::AddNewLevel() {
  const size_t n = Levels.size();
  long long k = static_cast<long long>(n) + 1001;
  bool clash = true;
  while (clash) {
    clash = false;
    for (size_t i = 0; i < n; ++i) {
      if (Levels[i].FileName == std::to_string(k) + ".map") {
        ++k;
        clash = true;
      }
    }
  }
  Levels.push_back({std::to_string(k) + ".map", "+", PlayerLevelDir(), PlayerLevelsApart()});
}

int TLevelMenu::PageCount() const {
  return std::max(1, static_cast<int>((Levels.size() + kPageSize - 1) / kPageSize));
}

void TLevelMenu::BuildButtons() {
  ClearObjects();
  Page = std::clamp(Page, 0, PageCount() - 1);
  const int first = Page * kPageSize;
  const int count = std::min<int>(kPageSize, static_cast<int>(Levels.size()) - first);
  int y = 128;
  for (int i = 1; i <= count; ++i) {
    int row = (i - 1) / 5;
    int col = i - 5 * row;
    y = row * 84 + 128;
    const int index = first + i - 1;
    const bool proven = Levels[index].Own && !SaveMode && Proven(index);
    auto* b = proven ? AddNew<TButtonLMProven>(*this, col * 84 - 252, y, LevelShape.get(), LevelSprite.get(), this)
                     : AddNew<TButtonLM>(*this, col * 84 - 252, y, LevelShape.get(), LevelSprite.get(), this);
    b->Index = first + i - 1;
    b->Caption = Levels[b->Index].Caption;
    b->Won = Won(b->Index);
    // Shipped levels are read-only: saving offers only the player's own.
    if (SaveMode) b->Enabled = Levels[b->Index].Writable();
  }
  // The row of "Закрыть" and the page buttons sits under the last row of
  // levels, but never so low that a full page pushes it off the screen.
  const int buttonsY = std::min(y + 80, kLowestButtonsY - Y);
  auto* close = AddNew<TButtonEMClose>(*this, 0, buttonsY, CloseShape.get(), CloseSprite.get(), this);
  close->Caption = N_("Закрыть");
  if (PlayMode && !eng_InBrowser())  // left of the first row; a page cannot read the clipboard
    AddNew<TButtonPaste>(*this, -340, 128, CloseShape.get(), CloseSprite.get(), this)->Caption = N_("Вставить");
  if (PageCount() > 1) {
    auto addPage = [&](int x, int step, const char* caption) {
      auto* p = AddNew<TButtonPage>(*this, x, buttonsY, CloseShape.get(), CloseSprite.get(), this);
      p->Step = step;
      p->Caption = caption;
      p->Enabled = step < 0 ? Page > 0 : Page < PageCount() - 1;
    };
    addPage(-380, -kToTheEnd, "<<");
    addPage(-200, -1, "<");
    addPage(200, 1, ">");
    addPage(380, kToTheEnd, ">>");
  }
}

void TLevelMenu::ShowPage(int page) {
  Page = std::clamp(page, 0, PageCount() - 1);
  BuildButtons();
}

void TLevelMenu::Show(TMap* map, bool saveMode, bool playMode) {
  Rescan();
  // Levels won meanwhile in another window of the game show as won.
  if (PlayerState) PlayerState->Refresh();
  SaveMode = saveMode;
  PlayMode = playMode;
  if (SaveMode) AddNewLevel();
  // Saving starts on the page with the new entry; the others on the first.
  Page = SaveMode ? PageCount() - 1 : 0;
  ErrorMessage.clear();
  BuildButtons();
  Map = map;
  Visible = true;
}

std::string TLevelMenu::PageCaption() const {
  return PageCount() > 1 ? std::to_string(Page + 1) + " / " + std::to_string(PageCount()) : "";
}

void TLevelMenu::Draw() {
  TMeForm::Draw();
  if (const std::string page = PageCaption(); !page.empty())
    text_DrawEx(MainFont, static_cast<float>(X), static_cast<float>(Y + kPageCaptionY), 1.0f, page, Alpha,
                kPageCaptionColor, TEXT_HALIGN_CENTER | TEXT_VALIGN_CENTER);
  if (!ErrorMessage.empty())
    text_DrawEx(MainFont, static_cast<float>(X), static_cast<float>(Y + 60), 1.0f, ErrorMessage,
                Alpha, 0xFF6060, TEXT_HALIGN_CENTER | TEXT_VALIGN_CENTER);
}

nlohmann::json TLevelMenu::DumpState() const {
  nlohmann::json levels = nlohmann::json::array();
  for (size_t i = 0; i < Levels.size(); ++i)
    levels.push_back({{"file_name", SanitizeUtf8(Levels[i].FileName)},
                      {"caption", Levels[i].Caption},
                      {"won", Won(static_cast<int>(i))},
                      {"proven", Proven(static_cast<int>(i))}});
  return {{"visible", Visible}, {"save_mode", SaveMode}, {"play_mode", PlayMode}, {"levels", levels}};
}

bool TLevelMenu::Proven(int index) const {
  if (index < 0 || index >= static_cast<int>(Levels.size())) return false;
  return LevelProven(Levels[index].Path(), !Levels[index].Own);
}

// Playing starts the level; saving and opening are the client's (the
// editor's), which also decides whether the chooser closes.
void TButtonLM::Click() {
  auto* menu = static_cast<TLevelMenu*>(Form);
  if (Index < 0 || Index >= static_cast<int>(menu->Levels.size())) return;
  if (!menu->PlayMode) {
    if (menu->Client) menu->Client->LevelChosen(*menu, Index);
    return;
  }
  if (menu->Owner) menu->Owner->SwitchTo("game", Index);
  menu->Visible = false;
}

void TButtonLM::Draw(int offsetX, int offsetY, uint8_t alpha) {
  TMeFormObject::Draw(offsetX, offsetY, alpha);
  DrawCaption(Caption, X + offsetX, Y + offsetY, alpha);
  auto* menu = static_cast<TLevelMenu*>(Form);
  if (Won && menu && menu->WonSprite)
    menu->WonSprite->DrawFrame(X + offsetX + kWonMarkDX, Y + offsetY + kWonMarkDY, 0, 0, alpha);
}

void TButtonPaste::Click() {
  auto* menu = static_cast<TLevelMenu*>(Form);
  tSceneMng* manager = menu->Owner ? menu->Owner->Manager : nullptr;
  auto* game = manager ? dynamic_cast<TGame*>(manager->SceneNamed("game")) : nullptr;
  if (!game) return;
  TSharedLevel level;
  TShareError error;
  if (!ReadShareCode(eng_ClipboardText(), &level, &error)) {
    std::cerr << "kelvod: " << error.Text << "\n";
    manager->Dialog().Ask(error.PlayerText, {{"OK", nullptr}}, 0, 0);
    return;
  }
  game->SetShared(std::move(level));
  menu->Visible = false;
  menu->Owner->SwitchTo("game", TGame::kSharedLevel);
}

void TButtonPage::Click() {
  auto* menu = static_cast<TLevelMenu*>(Form);
  menu->ShowPage(menu->Page + Step);
}
