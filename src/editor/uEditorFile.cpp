// The editor's level as a whole (declared in uEditor.h): its state and
// history, saving and opening with the questions that keep work from being
// lost, the hint, the keys, the message line and the tooltips.
#include <algorithm>
#include <filesystem>
#include <string>

#include "editor/uEditor.h"
#include "editor/uEditorMenu.h"
#include "engine/engine.h"
#include "level/uLevelHint.h"
#include "level/uMapFile.h"
#include "scenes/uLevelMenu.h"
#include "scenes/uPlayerState.h"
#include "sim/uBattery.h"
#include "sim/uRope.h"
#include "ui/uAtlas.h"
#include "ui/uDialog.h"
#include "ui/uLang.h"
#include "ui/uResources.h"
#include "ui/uSounds.h"

namespace {

constexpr int kMessageTicks = 160;  // 2.4 s, the last kMessageFade of them fading
constexpr int kMessageFade = 40;
constexpr int kMessageY = 70;
constexpr uint32_t kMessageColor = 0xF2F4F7, kErrorColor = 0xFF8A80;

}  // namespace

// --- state and history ---

TLevelState TEditor::State() const { return {EncodeMap(*Map), Hint}; }

bool TEditor::Dirty() const { return !(State() == Saved); }

bool TEditor::HasUnsavedWork() const { return Dirty() && !NotSaving; }

// A drag is one edit: it is committed when the button comes up.
bool TEditor::Dragging() const {
  return !Placing && Current && mouse_Down(M_BLEFT) && !eng_PressClaimed(M_BLEFT) &&
         !(Popup && Popup->Visible);
}

void TEditor::CommitEdits() {
  if (Map->Running || HintEditing || Dragging()) return;
  // A rope's own position (written to the file) follows its ends when it is
  // drawn; bring it up to date first so a moved end makes one step, not two.
  for (auto& rope : Map->Ropes) rope->FollowEnds();
  History.Commit(State());
}

void TEditor::Restore(const TLevelState& state) {
  ForgetMapContent();
  GrabX = GrabY = 0;
  Map->Clear();
  DecodeMap(state.MapBytes, Map.get());
  for (auto& rope : Map->Ropes) rope->FollowEnds();
  Hint = state.Hint;
}

void TEditor::Undo() {
  if (HintEditing) StopHintEditing();
  History.Commit(State());
  if (const TLevelState* state = History.Undo()) {
    Restore(*state);
    PlaySound(TSound::Undo);
  }
}

void TEditor::Redo() {
  if (HintEditing) StopHintEditing();
  History.Commit(State());
  if (const TLevelState* state = History.Redo()) {
    Restore(*state);
    PlaySound(TSound::Undo);
  }
}

void TEditor::MarkSaved(const TLevel& level) {
  FileName = level.FileName;
  FileDir = level.Dir;
  Saved = State();
}

// --- questions before work is lost ---

void TEditor::AskToSave(std::function<void()> then) {
  if (HintEditing) StopHintEditing();
  if (!Dirty() || NotSaving || !Manager) {
    then();
    return;
  }
  Manager->Dialog().Ask(Tr("Сохранить изменения?"),
                        {{Tr("Сохранить"), [this, then] { SaveThen(then); }},
                         {Tr("Не сохранять"),
                          [this, then] {
                            // The answer holds for this one way out only.
                            NotSaving = true;
                            then();
                            NotSaving = false;
                          }},
                         {Tr("Отмена"), nullptr}},
                        0, 2);
}

bool TEditor::HoldQuit() {
  if (!Dirty() || NotSaving) return false;
  AskToSave([this] { Manager->Quit(); });
  return true;
}

// Saves to the level's own file, or through the chooser for a new level or
// one opened from the shipped levels (which are never written); `then` runs
// once the level is saved.
void TEditor::SaveThen(std::function<void()> then) {
  const TLevel own{FileName, TLevelMenu::CaptionOf(FileName), FileDir, true};
  if (!FileName.empty() && own.Writable()) {
    if (SaveLevel(nullptr, own)) then();
    return;
  }
  if (!LevelMenu) return;
  // Quitting from another scene: the chooser is the editor's.
  if (Manager && Manager->Current != this && !Manager->Switching) Activate();
  ShowChooser(true);
  AfterSave = std::move(then);
}

void TEditor::ShowChooser(bool saveMode) {
  if (!LevelMenu) return;
  LevelMenu->Client = this;
  LevelMenu->Show(Map.get(), saveMode, false);
  Popup = LevelMenu;
}

void TEditor::NewLevel() {
  ForgetMapContent();
  Map->Clear();
  Hint.clear();
  MarkSaved(TLevel{});
  // A new level has a history of its own: undo never brings back the last one.
  History.Reset(State());
  FileMenu->Visible = false;
}

// --- the chooser's choice ---

void TEditor::LevelChosen(TLevelMenu& menu, int index) {
  if (index < 0 || index >= static_cast<int>(menu.Levels.size())) return;
  const TLevel level = menu.Levels[index];
  if (!menu.SaveMode) {
    menu.Visible = false;
    OpenLevel(level);
    return;
  }
  if (!level.Writable()) return;  // a shipped level is never written over
  // Only a level file is replaced after asking; a folder in the way just fails.
  std::error_code ec;
  if (!std::filesystem::is_regular_file(level.Path(), ec) || !Manager) {
    SaveLevel(&menu, level);
    return;
  }
  TLevelMenu* chooser = &menu;
  Manager->Dialog().Ask(TrF("Заменить уровень %s?", {TLevelMenu::CaptionOf(level.FileName)}),
                        {{Tr("Да"), [this, chooser, level] { SaveLevel(chooser, level); }},
                         {Tr("Нет"), nullptr}},
                        0, 1);
}

// Writes the level and its hint. A failure is said in the chooser (which
// stays open) or, without one, in the message line.
bool TEditor::SaveLevel(TLevelMenu* menu, const TLevel& level) {
  const std::string path = level.Path();
  auto fail = [&](const std::string& why) {
    if (menu)
      menu->ErrorMessage = why;
    else
      ShowMessage(why, true);
    return false;
  };
  std::error_code ec;
  std::filesystem::create_directories(level.Dir, ec);  // the first level of a new folder
  std::string error;
  if (!Map->SaveToFile(path, &error)) {
    // The reason without the path before it ("cannot save the level "...": why).
    const size_t cut = error.rfind("\": ");
    return fail(TrF("Не удалось сохранить уровень: %s", {cut == std::string::npos ? error : error.substr(cut + 3)}));
  }
  // A changed level has not been won yet.
  if (PlayerState) PlayerState->SetWon(level.FileName, level.Own, false);
  if (!SaveLevelHint(path, Hint, &error)) {
    // The level is written, its hint is not: what is on the disk now counts as saved.
    FileName = level.FileName;
    FileDir = level.Dir;
    Saved = {EncodeMap(*Map), LoadLevelHint(path)};
    return fail(Tr("Уровень сохранён, но подсказку записать не удалось"));
  }
  MarkSaved(level);
  // Without a battery a level is won the moment it starts: say so.
  const bool battery = std::any_of(Map->Objects.begin(), Map->Objects.end(),
                                   [](const auto& o) { return dynamic_cast<TBattery*>(o.get()); });
  const std::string caption = TLevelMenu::CaptionOf(level.FileName);
  if (battery)
    ShowMessage(TrF("Уровень сохранён: %s", {caption}));
  else
    ShowMessage(TrF("Уровень %s сохранён, но в нём нет батареи: он пройден сразу, это не головоломка",
                    {caption}),
                true);
  if (menu) menu->Visible = false;
  if (AfterSave) {
    std::function<void()> then = std::move(AfterSave);
    AfterSave = nullptr;
    then();
  }
  return true;
}

// Replaces the map with the level's, read as the game reads it, unless the
// file cannot be read, asks too much of the physics or holds nothing usable:
// then the map stays as it was and the message line says why. Records left
// out are counted, since saving writes only what was kept.
void TEditor::OpenLevel(const TLevel& level) {
  const std::string path = level.Path();
  const std::string caption = TLevelMenu::CaptionOf(level.FileName);
  const TLevelState before = State();
  ForgetMapContent();
  GrabX = GrabY = 0;
  Map->Clear();
  TMapFileReport report;
  const bool read = ReadMapFile(path, Map.get(), nullptr, &report);
  if (!read || (report.Records > 0 && Map->Objects.empty())) {
    Restore(before);
    const std::string why = report.Unreadable          ? Tr("файл не читается")
                            : !report.OverBudget.empty() ? report.OverBudget
                                                         : Tr("файл повреждён");
    ShowMessage(TrF("Не удалось открыть уровень %s: %s", {caption, why}), true);
    return;
  }
  for (auto& rope : Map->Ropes) rope->FollowEnds();
  Hint = LoadLevelHint(path);
  MarkSaved(level);
  // So has an opened one: what undo brings back is always this level's.
  History.Reset(State());
  if (report.Cut)
    ShowMessage(TrF("Уровень %s открыт не полностью: прочитаны первые %s записей",
                    {caption, std::to_string(kMaxMapRecords)}),
                true);
  else if (report.Skipped > 0)
    ShowMessage(TrF("Уровень %s открыт не полностью: пропущено записей: %s из %s",
                    {caption, std::to_string(report.Skipped), std::to_string(report.Records)}),
                true);
  else
    ShowMessage(TrF("Открыт уровень %s", {caption}));
}

// --- keys ---

// Escape closes the open form; Ctrl+Z undoes, Ctrl+Y and Ctrl+Shift+Z redo;
// Delete removes the selection. True when a key was used up.
bool TEditor::HandleKeys() {
  if (HintEditing) EditHint();
  const bool popupUp = Popup && Popup->Visible;
  if (key_Press(K_ESCAPE) && popupUp) {
    Popup->Visible = false;
    return true;
  }
  if (Map->Running || (popupUp && Popup != FileMenu.get())) return false;
  // The modifiers count as they were when the letter went down.
  const int z = KeyLetter('z'), y = KeyLetter('y');
  if (key_Press(z) && key_HeldAtPress(z, K_CTRL)) {
    key_HeldAtPress(z, K_SHIFT) ? Redo() : Undo();
    return true;
  }
  if (key_Press(y) && key_HeldAtPress(y, K_CTRL)) {
    Redo();
    return true;
  }
  if (!popupUp && key_Press(K_DELETE)) DeleteCurrent();
  return false;
}

// --- the hint ---

void TEditor::StartHintEditing() {
  HintEditing = true;
  eng_StartTextInput();
}

void TEditor::StopHintEditing() {
  HintEditing = false;
  eng_StopTextInput();
  // Typing keeps the hint within its limits; a space typed last stays for
  // the next word (a save writes the hint without it).
}

// What was typed goes to the end of the last line, then Backspace takes off
// the last character and Enter starts the second line; the text stays within
// the field's width.
void TEditor::EditHint() {
  const std::string& typed = eng_TypedText();
  for (size_t i = 0; i < typed.size();) {
    size_t n = 1;
    while (i + n < typed.size() && (static_cast<unsigned char>(typed[i + n]) & 0xC0) == 0x80) ++n;
    const std::string character = typed.substr(i, n);
    i += n;
    // Control characters, and those the font has no picture for (emoji),
    // would show as nothing or as boxes.
    if (static_cast<unsigned char>(character[0]) < 0x20 || !eng_FontDraws(MainFont, character)) continue;
    const std::string lastLine = Hint.substr(Hint.rfind('\n') == std::string::npos ? 0 : Hint.rfind('\n') + 1);
    if (Hint.size() + n > kMaxHintBytes ||
        text_GetWidth(MainFont, lastLine + character) > THintField::kTextWidth)
      break;
    Hint += character;
  }
  if (key_Press(K_BACKSPACE) && !Hint.empty()) {
    size_t cut = Hint.size() - 1;
    while (cut > 0 && (static_cast<unsigned char>(Hint[cut]) & 0xC0) == 0x80) --cut;
    Hint.erase(cut);
  }
  const size_t lines = 1 + static_cast<size_t>(std::count(Hint.begin(), Hint.end(), '\n'));
  if (key_Press(K_RETURN) && lines < kMaxHintLines) Hint += '\n';
}

// --- the message line and the tooltips ---

void TEditor::ShowMessage(std::string text, bool error) {
  Message = std::move(text);
  MessageIsError = error;
  MessageTicks = kMessageTicks;
}

const std::string* TEditor::MessageShown() const { return MessageTicks > 0 ? &Message : nullptr; }

void TEditor::DrawMessage() const {
  if (MessageTicks <= 0 || !MessageBack) return;
  const auto alpha = static_cast<uint8_t>(std::min(255, MessageTicks * 255 / kMessageFade));
  const int w = static_cast<int>(text_GetWidth(MainFont, Message)) + 32, h = 32;
  const int cx = Map->OriginX + (kGridColumns - 1) * CellSize / 2;
  MessageBack->DrawStretched(0, Atlas::kPanelBorder, cx - w / 2, kMessageY - h / 2, w, h, alpha);
  text_DrawEx(MainFont, static_cast<float>(cx), static_cast<float>(kMessageY), 1.0f, 0.0f, Message,
              alpha, MessageIsError ? kErrorColor : kMessageColor,
              TEXT_HALIGN_CENTER | TEXT_VALIGN_CENTER);
}

// The control under the pointer, for its tooltip: only where it can be used.
void TEditor::TrackTooltip() {
  const TMeFormObject* over = nullptr;
  if (!(Popup && Popup->Visible)) {
    const int x = mouse_X(), y = mouse_Y();
    over = PlayPanel->ObjectAt(x, y);
    if (!over && !Map->Running && Current) over = PropPanel->ObjectAt(x, y);
    if (!over && !Map->Running) over = ToolForm->ObjectAt(x, y);
  }
  Tooltip.Track(over, mouse_Click(M_BLEFT));
}
