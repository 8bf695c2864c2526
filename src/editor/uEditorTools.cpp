#include "editor/uEditorTools.h"

#include <algorithm>

#include "engine/engine.h"
#include "sim/uMapObj.h"
#include "sim/uRope.h"
#include "ui/uLang.h"
#include "ui/uSounds.h"

namespace {

// A copy of the same class as the source.
template <class T>
std::unique_ptr<T> CloneAs(const T& source) {
  return std::unique_ptr<T>(static_cast<T*>(source.Clone().release()));
}

}  // namespace

TEditorTools::TEditorTools(TMap& map) : Map(map) {
  for (int i = 1; i <= kPaletteSize; ++i) Prototypes[i] = MakePaletteObject(Map, i);
}

TEditorTools::~TEditorTools() = default;

TRope* TEditorTools::RopePrototype() const {
  return static_cast<TRope*>(Prototypes[kRopeTool].get());
}

TMapObj* TEditorTools::CurrentObject() const { return dynamic_cast<TMapObj*>(Current); }

void TEditorTools::Choose(TMapObjProt* prototype) {
  Placing = prototype != nullptr;
  Current = prototype;
}

void TEditorTools::DeleteCurrent() {
  if (Placing || !Current) return;
  TMapObjProt* gone = Current;
  Current = nullptr;
  // A half-made rope must not keep an end on an object that leaves the map.
  TRope* rope = RopePrototype();
  if (rope->ObjectA == gone || rope->ObjectB == gone) rope->ObjectA = rope->ObjectB = nullptr;
  // Removes the ropes joined to an object with it, and detaches it from a
  // world left over from a stopped test play.
  Map.Remove(gone);
  PlaySound(TSound::Delete);
}

void TEditorTools::EmptyHand() {
  Current = nullptr;
  Placing = false;
  GrabX = GrabY = 0;
  TRope* rope = RopePrototype();
  rope->ObjectA = rope->ObjectB = nullptr;
}

void TEditorTools::ForgetMapContent() {
  if (!Placing) Current = nullptr;
  GrabX = GrabY = 0;
  TRope* rope = RopePrototype();
  rope->ObjectA = rope->ObjectB = nullptr;
}

bool TEditorTools::Dragging() const {
  return !Placing && Current && mouse_Down(M_BLEFT) && !eng_PressClaimed(M_BLEFT);
}

// --- the pointer over the field ---

void TEditorTools::UpdateCursor(int mouseX, int mouseY) {
  CursorX = mouseX - Map.OriginX + GrabX;
  CursorY = mouseY - Map.OriginY + GrabY;
}

// The field's edges themselves are outside.
bool TEditorTools::InsideField() const {
  return CursorX > 0 && CursorY > 0 && CursorX < Map.MaxX && CursorY < Map.MaxY;
}

void TEditorTools::LeftClickInField(int mouseX, int mouseY, bool shift, bool ctrl) {
  if (!Placing && Map.PickAt(mouseX, mouseY, Current, true)) {
    Current = Map.PickedObject;
    Placing = false;
    if (CurrentObject()) {
      GrabX = Map.DragDX;
      GrabY = Map.DragDY;
      UpdateCursor(mouseX, mouseY);
    }
    return;
  }
  if (!Current) return;
  if (Placing || shift) PlaceCopy(mouseX, mouseY, ctrl);
  if (!shift && !dynamic_cast<TRope*>(Current)) {
    Current = nullptr;
    Placing = false;
    GrabX = GrabY = 0;
  }
}

// Adds a copy of Current to the map where Current stands (a rope: its next end).
void TEditorTools::PlaceCopy(int mouseX, int mouseY, bool ctrl) {
  if (auto* rope = dynamic_cast<TRope*>(Current)) {
    PlaceRope(*rope, mouseX, mouseY, ctrl);
  } else if (TMapObj* object = CurrentObject()) {
    Map.Objects.push_back(CloneAs(*object));
    PlaySound(TSound::Place);
  }
}

void TEditorTools::PlaceRope(TRope& rope, int mouseX, int mouseY, bool ctrl) {
  // Only the rope in hand takes new ends: a rope of the map always keeps its
  // two objects, so a Shift-click with one selected does nothing.
  if (!Placing) return;
  if (!Map.PickAt(mouseX, mouseY, rope.ObjectA, false)) return;
  auto* target = dynamic_cast<TMapObj*>(Map.PickedObject);
  if (!target) return;
  if (!rope.AttachEnd(target, Map.DragDX, Map.DragDY, ctrl)) return;
  Map.Ropes.push_back(CloneAs(rope));
  PlaySound(TSound::Place);
  rope.ObjectA = rope.ObjectB = nullptr;
  Current = nullptr;
}

void TEditorTools::SnapAndDrag(bool dragging) {
  const int half = CellSize / 2;
  CursorX = (CursorX + half) / CellSize * CellSize;
  CursorY = (CursorY + half) / CellSize * CellSize;
  if (!Current || Placing || !dragging) return;
  CursorX = std::clamp(CursorX, 0, Map.MaxX);
  CursorY = std::clamp(CursorY, 0, Map.MaxY);
  Current->X = CursorX;
  Current->Y = CursorY;
}

void TEditorTools::FollowAndTurn(bool turn) {
  if (!Current) return;
  if (Placing) {
    Current->X = CursorX;
    Current->Y = CursorY;
  }
  if (turn) Turn(15);
}

// --- the property panel ---

void TEditorTools::Turn(int degrees) {
  if (TMapObj* object = CurrentObject()) object->Angle = TurnAngle(object->Angle, degrees);
}

void TEditorTools::Resize(int dw, int dh) {
  TMapObj* object = CurrentObject();
  if (object && object->Resize(dw, dh) == TObjectSize::TOO_LARGE && Refuse)
    Refuse(TrF("Больше нельзя: предмет не крупнее %s точек", {std::to_string(kMaxObjectSize)}));
}

void TEditorTools::ToggleOption(int option) {
  TMapObj* object = CurrentObject();
  if (!object) return;
  const int lastFrame = object->Sprite ? object->Sprite->LastFrame : 0;
  switch (option) {
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

bool TEditorTools::OptionOn(int option) const {
  const TMapObj* object = CurrentObject();
  if (!object) return false;
  switch (option) {
    case kDynamic: return object->Dynamic;
    case kBlack: return object->Frame == 0;
    case kWhite: return object->Frame == 1;
    case kMirror: return object->Frame == 2;
    case kInteractive: return object->Interactive;
    default: return false;
  }
}

void TEditorTools::DrawHand() const {
  if (!Current) return;
  if (Placing) Current->DrawEditor(Map.OriginX, Map.OriginY);
  Current->DrawShape(Map.OriginX, Map.OriginY);
}
