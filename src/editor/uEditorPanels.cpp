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
  TMapObj* object = Editor ? Editor->CurrentObject() : nullptr;
  if (!object) return;
  DrawCaption(std::to_string(object->Angle), X + 18, Y - 93, Alpha);
  DrawCaption(std::to_string(object->Width), X + 18, Y - 3, Alpha);
  DrawCaption(std::to_string(object->Height), X + 18, Y + 43, Alpha);
}

// --- tool buttons ---

void TButton::Click() {
  Editor->Placing = Prototype != nullptr;
  Editor->Current = Prototype;
}

bool TButton::UpdatePressed() {
  return (Editor->Placing && Prototype == Editor->Current) ||
         (!Prototype && !Editor->Current);
}

void TButtonDel::Click() { Editor->DeleteCurrent(); }

// --- property panel ---

void TButtonE::Click() {
  TMapObj* object = Editor->CurrentObject();
  if (!object) return;
  TObjectSize size = TObjectSize::OK;
  switch (Mode) {
    case kRotate: object->Angle = TurnAngle(object->Angle, Step); break;
    case kResizeBoth: size = object->Resize(Step, Step); break;
    case kResizeWidth: size = object->Resize(Step, 0); break;
    case kResizeHeight: size = object->Resize(0, Step); break;
    default: break;
  }
  if (size == TObjectSize::TOO_LARGE)
    Editor->ShowMessage(TrF("Больше нельзя: предмет не крупнее %s точек", {std::to_string(kMaxObjectSize)}), true);
}

void TButtonOpt::Click() {
  TMapObj* object = Editor->CurrentObject();
  if (!object) return;
  const int lastFrame = object->Sprite ? object->Sprite->LastFrame : 0;
  switch (Mode) {
    case kDynamic: object->Dynamic = !object->Dynamic; break;
    case kBlack: object->Frame = 0; break;
    case kWhite:
      if (lastFrame > 0) object->Frame = 1;
      break;
    case kMirror:
      if (lastFrame > 1) object->Frame = 2;
      break;
    case kInteractive: object->Interactive = !object->Interactive; break;
    default: break;
  }
}

bool TButtonOpt::UpdatePressed() {
  TMapObj* object = Editor->CurrentObject();
  if (!object) return false;
  switch (Mode) {
    case kDynamic: return object->Dynamic;
    case kBlack: return object->Frame == 0;
    case kWhite: return object->Frame == 1;
    case kMirror: return object->Frame == 2;
    case kInteractive: return object->Interactive;
    default: return false;
  }
}

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

// --- play panel ---

void TButtonP::Click() {
  TMap& map = *Editor->Map;
  switch (Mode) {
    case kPlay:
      // A tool in hand would leave the editor placing nothing after the play.
      Editor->EmptyHand();
      if (map.Running)
        map.Paused = false;
      else
        map.StartGame();
      break;
    case kPause:
      Editor->EmptyHand();
      if (map.Running) map.Paused = true;
      break;
    case kStop: map.Running = false; break;
    default: break;
  }
}

bool TButtonP::UpdatePressed() {
  const TMap& map = *Editor->Map;
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
