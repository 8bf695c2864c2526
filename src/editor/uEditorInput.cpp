// The editor scene's own input and the lines it shows (declared in
// uEditor.h): the ways out and the chooser, the keys, the hint's typing, the
// message line and the tooltips.
#include <algorithm>
#include <iostream>
#include <string>

#include "editor/uEditor.h"
#include "editor/uEditorMenu.h"
#include "engine/engine.h"
#include "level/uLevelHint.h"
#include "scenes/uLevelMenu.h"
#include "ui/uAtlas.h"
#include "ui/uLang.h"
#include "ui/uResources.h"
#include "ui/uSounds.h"

namespace {

constexpr int kMessageTicks = 160;  // 2.4 s, the last kMessageFade of them fading
constexpr int kMessageFade = 40;
constexpr int kMessageY = 70;
constexpr uint32_t kMessageColor = 0xF2F4F7, kErrorColor = 0xFF8A80;

}  // namespace

// --- undo, the questions and the chooser ---

void TEditor::Undo() {
  if (HintEditing) StopHintEditing();
  if (Doc.Undo()) PlaySound(TSound::Undo);
}

void TEditor::Redo() {
  if (HintEditing) StopHintEditing();
  if (Doc.Redo()) PlaySound(TSound::Undo);
}

void TEditor::AskToSave(std::function<void()> then) {
  if (HintEditing) StopHintEditing();
  Doc.AskToSave(std::move(then));
}

bool TEditor::HoldQuit() {
  if (!Doc.WouldLoseWork()) return false;
  AskToSave([this] { Manager->Quit(); });
  return true;
}

void TEditor::KeepWorkBeforeEnd() {
  if (!Doc.Dirty() || !LevelMenu) return;
  if (HintEditing) StopHintEditing();
  LevelMenu->Rescan();
  LevelMenu->AddNewLevel();
  const TLevel level = LevelMenu->Levels.back();
  if (Doc.SaveAs(level))
    std::cerr << "kelvod: the level's unsaved changes were kept as " << level.Path() << "\n";
  else
    std::cerr << "kelvod: the level's unsaved changes could not be kept\n";
}

void TEditor::NewLevel() {
  Doc.NewLevel();
  FileMenu->Visible = false;
}

void TEditor::ShowChooser(bool saveMode) {
  if (!LevelMenu) return;
  LevelMenu->Client = this;
  LevelMenu->Show(Doc.Map.get(), saveMode, false);
  Popup = LevelMenu;
}

// --- keys ---

namespace {

// The key went down in this tick with Ctrl held as it did.
bool CtrlKey(char letter) {
  const int key = KeyLetter(letter);
  return key_Press(key) && key_HeldAtPress(key, K_CTRL);
}

}  // namespace

// Escape closes the open form; the rest works on the level while no other
// pop-up is open. True when a key was used up.
bool TEditor::HandleKeys() {
  if (HintEditing) EditHint();
  const bool popupUp = Popup && Popup->Visible;
  if (key_Press(K_ESCAPE) && popupUp) {
    Popup->Visible = false;
    return true;
  }
  if (popupUp && Popup != FileMenu.get()) return false;
  if (CtrlKey('s')) {
    SaveToOwnFile();
    return true;
  }
  if (!popupUp && (key_Press(K_SPACE) || key_Press(KeyF(5)))) {
    ToggleTestPlay();
    return true;
  }
  if (Doc.Map->Running) {
    // Escape stops a test play; nothing else edits meanwhile.
    if (key_Press(K_ESCAPE)) Doc.Map->Running = false;
    return false;
  }
  if (CtrlKey('z')) {
    key_HeldAtPress(KeyLetter('z'), K_SHIFT) ? Redo() : Undo();
    return true;
  }
  if (CtrlKey('y')) {
    Redo();
    return true;
  }
  if (!popupUp) EditingKeys();
  return false;
}

// Keys on the selection and the hand, with the field in front.
void TEditor::EditingKeys() {
  if (key_Press(K_ESCAPE)) {
    // The tool in hand goes first, then the selection.
    if (Tools.Placing)
      Tools.EmptyHand();
    else
      Tools.Select(nullptr);
  }
  if (key_Press(K_DELETE) || key_Press(K_BACKSPACE)) Tools.DeleteCurrent();
  if (CtrlKey('c')) Tools.Copy();
  if (CtrlKey('v')) {
    Tools.UpdateCursor(mouse_X(), mouse_Y());
    Tools.Paste(mouse_X(), mouse_Y(), Tools.InsideField());
  }
  if (CtrlKey('d')) Tools.Duplicate();
  // Arrows: a grid step, or with Shift the finest step a level file holds.
  const int arrows[4][3] = {{K_LEFT, -1, 0}, {K_RIGHT, 1, 0}, {K_UP, 0, -1}, {K_DOWN, 0, 1}};
  for (const auto& a : arrows) {
    if (!key_Press(a[0])) continue;
    const int step = key_HeldAtPress(a[0], K_SHIFT) ? 1 : kCellSize;
    Tools.MoveSelection(a[1] * step, a[2] * step);
  }
}

// Space and F5: a test play starts with an empty hand, or stops.
void TEditor::ToggleTestPlay() {
  TMap& map = *Doc.Map;
  if (map.Running) {
    map.Running = false;
    return;
  }
  StartTestPlay();
}

// Ctrl+S: to the level's own file; a new level, or a shipped one, through the chooser.
void TEditor::SaveToOwnFile() {
  if (HintEditing) StopHintEditing();
  Doc.Save();
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
    const std::string lastLine = Doc.Hint.substr(Doc.Hint.rfind('\n') == std::string::npos ? 0 : Doc.Hint.rfind('\n') + 1);
    if (Doc.Hint.size() + n > kMaxHintBytes ||
        text_GetWidth(MainFont, lastLine + character) > THintField::kTextWidth)
      break;
    Doc.Hint += character;
  }
  if (key_Press(K_BACKSPACE) && !Doc.Hint.empty()) {
    size_t cut = Doc.Hint.size() - 1;
    while (cut > 0 && (static_cast<unsigned char>(Doc.Hint[cut]) & 0xC0) == 0x80) --cut;
    Doc.Hint.erase(cut);
  }
  const size_t lines = 1 + static_cast<size_t>(std::count(Doc.Hint.begin(), Doc.Hint.end(), '\n'));
  if (key_Press(K_RETURN) && lines < kMaxHintLines) Doc.Hint += '\n';
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
  const int cx = Doc.Map->OriginX + (kGridColumns - 1) * kCellSize / 2;
  MessageBack->DrawStretched(0, Atlas::kPanelBorder, cx - w / 2, kMessageY - h / 2, w, h, alpha);
  text_DrawEx(MainFont, static_cast<float>(cx), static_cast<float>(kMessageY), 1.0f, Message, alpha,
              MessageIsError ? kErrorColor : kMessageColor,
              TEXT_HALIGN_CENTER | TEXT_VALIGN_CENTER);
}

std::string TEditor::Title() const {
  const std::string name =
      Doc.FileName.empty() ? Tr("Новый уровень") : TLevelMenu::CaptionOf(Doc.FileName);
  return Doc.Dirty() ? name + " *" : name;
}

// The level's name above the field's left end.
void TEditor::DrawTitle() const {
  text_DrawEx(MainFont, static_cast<float>(Doc.Map->OriginX), 17.0f, 1.0f, Title(), 255,
              kMessageColor, TEXT_VALIGN_CENTER);
}

// The control under the pointer, for its tooltip: only where it can be used.
void TEditor::TrackTooltip() {
  const TMeFormObject* over = nullptr;
  if (!(Popup && Popup->Visible)) {
    const int x = mouse_X(), y = mouse_Y();
    over = PlayPanel->ObjectAt(x, y);
    if (!over && !Doc.Map->Running && Tools.Current) over = PropPanel->ObjectAt(x, y);
    if (!over && !Doc.Map->Running) over = ToolForm->ObjectAt(x, y);
  }
  Tooltip.Track(over, mouse_Click(M_BLEFT));
}
