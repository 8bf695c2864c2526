// The editor's panels and the buttons on them (declared in uEditor.h).
#include <string>

#include "editor/uEditor.h"
#include "editor/uEditorMenu.h"
#include "level/uMap.h"
#include "sim/uMapObj.h"
#include "ui/uLang.h"

// --- panels ---

void TMeFormPanel::Draw() {
  if (Background) Background->DrawFrame(X, Y, 0, 0, Alpha);
  TMeForm::Draw();
}

void TMeFormEd::Draw() {
  // The background goes down twice, which makes the panel more opaque.
  if (Background) Background->DrawFrame(X, Y, 0, 0, Alpha);
  TMeFormPanel::Draw();
  TMapObj* object = Editor ? Editor->Tools.CurrentObject() : nullptr;
  if (!object) return;
  DrawCaption(std::to_string(object->Angle), X + 18, Y - 93, Alpha);
  DrawCaption(std::to_string(object->Width), X + 18, Y - 3, Alpha);
  DrawCaption(std::to_string(object->Height), X + 18, Y + 43, Alpha);
}

// --- tool buttons ---

void TButton::Click() { Editor->Tools.Choose(Prototype); }

bool TButton::UpdatePressed() {
  const TEditorTools& tools = Editor->Tools;
  return (tools.Placing && Prototype == tools.Current) || (!Prototype && !tools.Current);
}

void TButtonDel::Click() { Editor->Tools.DeleteCurrent(); }

// --- property panel ---

void TButtonE::Click() {
  TEditorTools& tools = Editor->Tools;
  switch (Mode) {
    case kRotate: tools.Turn(Step); break;
    case kResizeBoth: tools.Resize(Step, Step); break;
    case kResizeWidth: tools.Resize(Step, 0); break;
    case kResizeHeight: tools.Resize(0, Step); break;
    default: break;
  }
}

void TButtonOpt::Click() { Editor->Tools.ToggleOption(Mode); }

bool TButtonOpt::UpdatePressed() { return Editor->Tools.OptionOn(Mode); }

void TButtonOpt::Draw(int offsetX, int offsetY, uint8_t alpha) {
  const int cx = X + offsetX, cy = Y + offsetY;
  if (Sprite) Sprite->DrawButton(Enabled, Pressed, cx, cy, Angle, alpha, Hover);
  // The check box stands at the button's left end, the caption right of centre.
  const int halfWidth = Sprite ? Sprite->Width / 2 : 0;
  if (CheckBox) {
    CheckBox->DrawFrame(cx - halfWidth + CheckBox->Width + 4, cy, 0, Pressed ? 1 : 0, alpha);
    DrawCaption(Tr(Caption), cx + CheckBox->Width / 2, cy, alpha);
  } else {
    DrawCaption(Tr(Caption), cx, cy, alpha);
  }
}

void TButtonHistory::Click() { Forward ? Editor->Redo() : Editor->Undo(); }

// --- play panel ---

void TButtonP::Click() {
  TMap& map = *Editor->Doc.Map;
  switch (Mode) {
    case kPlay:
      if (map.Running) {
        Editor->Tools.EmptyHand();
        map.Paused = false;
      } else {
        Editor->StartTestPlay();
      }
      break;
    case kPause:
      Editor->Tools.EmptyHand();
      if (map.Running) map.Paused = true;
      break;
    case kStop: map.Running = false; break;
    default: break;
  }
}

bool TButtonP::UpdatePressed() {
  const TMap& map = *Editor->Doc.Map;
  switch (Mode) {
    case kPlay: return map.Running && !map.Paused;
    case kPause: return map.Running && map.Paused;
    case kStop: return !map.Running;
    default: return false;
  }
}

// --- the menu button ---

void TEditor::TButtonShowMenu::Click() {
  auto* editor = dynamic_cast<TEditor*>(Form ? Form->Owner : nullptr);
  if (!editor) return;
  editor->FileMenu->Visible = true;
  editor->Popup = editor->FileMenu.get();
}
