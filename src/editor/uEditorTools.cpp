#include "editor/uEditorTools.h"

#include <algorithm>
#include <cstdlib>

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
  Others.clear();
}

std::vector<TMapObjProt*> TEditorTools::Selection() const {
  std::vector<TMapObjProt*> items;
  if (Placing || !Current) return items;
  items.push_back(Current);
  items.insert(items.end(), Others.begin(), Others.end());
  return items;
}

bool TEditorTools::Selected(const TMapObjProt* item) const {
  const auto items = Selection();
  return item && std::find(items.begin(), items.end(), item) != items.end();
}

void TEditorTools::Select(TMapObjProt* item) {
  Current = item;
  Placing = false;
  Others.clear();
}

// The whole selection goes, ropes first: an object takes its ropes with it.
void TEditorTools::DeleteCurrent() {
  std::vector<TMapObjProt*> items = Selection();
  if (items.empty()) return;
  std::stable_partition(items.begin(), items.end(),
                        [](TMapObjProt* item) { return dynamic_cast<TRope*>(item) != nullptr; });
  Select(nullptr);
  TRope* rope = RopePrototype();
  for (TMapObjProt* gone : items) {
    if (Map.IndexOf(gone) < 0) continue;  // a rope gone with its object
    // A half-made rope must not keep an end on an object that leaves the map.
    if (rope->ObjectA == gone || rope->ObjectB == gone) rope->ObjectA = rope->ObjectB = nullptr;
    // Removes the ropes joined to an object with it, and detaches it from a
    // world left over from a stopped test play.
    Map.Remove(gone);
  }
  PlaySound(TSound::Delete);
}

void TEditorTools::EmptyHand() {
  Others.clear();
  Current = nullptr;
  Placing = false;
  GrabX = GrabY = 0;
  TRope* rope = RopePrototype();
  rope->ObjectA = rope->ObjectB = nullptr;
}

void TEditorTools::ForgetMapContent() {
  if (!Placing) Current = nullptr;
  Others.clear();
  Boxing = false;
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
  // Shift+click on an object adds it to the selection or takes it out.
  if (!Placing && shift && Map.PickAt(mouseX, mouseY, nullptr, true)) {
    TMapObjProt* hit = Map.PickedObject;
    if (!Current) {
      Current = hit;
    } else if (hit == Current) {
      Current = Others.empty() ? nullptr : Others.front();
      if (!Others.empty()) Others.erase(Others.begin());
    } else if (auto it = std::find(Others.begin(), Others.end(), hit); it != Others.end()) {
      Others.erase(it);
    } else {
      Others.push_back(hit);
    }
    return;
  }
  // A press on one of several selected objects drags them all.
  if (!Placing && !shift && PickSelected(mouseX, mouseY)) return;
  if (!Placing && Map.PickAt(mouseX, mouseY, Current, true)) {
    Select(Map.PickedObject);
    if (CurrentObject()) {
      GrabX = Map.DragDX;
      GrabY = Map.DragDY;
      UpdateCursor(mouseX, mouseY);
    }
    return;
  }
  if (!Placing && !shift) {
    // A press on empty field begins a selection box.
    Boxing = true;
    BoxX = BoxEndX = mouseX;
    BoxY = BoxEndY = mouseY;
  }
  if (!Current) return;
  if (Placing || shift) PlaceCopy(mouseX, mouseY, ctrl);
  if (!shift && !dynamic_cast<TRope*>(Current)) {
    Select(nullptr);
    GrabX = GrabY = 0;
  }
}

bool TEditorTools::PickSelected(int mouseX, int mouseY) {
  if (Others.empty()) return false;
  for (TMapObjProt* item : Selection()) {
    auto* object = dynamic_cast<TMapObj*>(item);
    if (!object || !object->HitTest(mouseX - Map.OriginX, mouseY - Map.OriginY)) continue;
    if (object != Current) {
      std::replace(Others.begin(), Others.end(), item, Current);
      Current = object;
    }
    GrabX = object->X - (mouseX - Map.OriginX);
    GrabY = object->Y - (mouseY - Map.OriginY);
    UpdateCursor(mouseX, mouseY);
    return true;
  }
  return false;
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
  const int dx = CursorX - Current->X, dy = CursorY - Current->Y;
  Current->X = CursorX;
  Current->Y = CursorY;
  // The rest of the selection goes along.
  for (TMapObjProt* item : Others)
    if (auto* object = dynamic_cast<TMapObj*>(item)) {
      object->X = std::clamp(object->X + dx, 0, Map.MaxX);
      object->Y = std::clamp(object->Y + dy, 0, Map.MaxY);
    }
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

// The whole selection turns (each object about its own centre), or the prototype in hand.
void TEditorTools::Turn(int degrees) {
  std::vector<TMapObjProt*> items = Placing ? std::vector<TMapObjProt*>{Current} : Selection();
  for (TMapObjProt* item : items)
    if (auto* object = dynamic_cast<TMapObj*>(item)) object->Angle = TurnAngle(object->Angle, degrees);
}

// --- the selection box, moving, the clipboard ---

void TEditorTools::UpdateBox(int mouseX, int mouseY, bool held) {
  if (!Boxing) return;
  if (held) {
    BoxEndX = mouseX;
    BoxEndY = mouseY;
    return;
  }
  // Where the button was let go: the pointer of the last tick it was held.
  mouseX = BoxEndX;
  mouseY = BoxEndY;
  Boxing = false;
  const int left = std::min(BoxX, mouseX) - Map.OriginX, right = std::max(BoxX, mouseX) - Map.OriginX;
  const int top = std::min(BoxY, mouseY) - Map.OriginY, bottom = std::max(BoxY, mouseY) - Map.OriginY;
  if (right - left < 4 && bottom - top < 4) return;  // a click, not a box
  Select(nullptr);
  for (auto& o : Map.Objects) {
    if (o->X < left || o->X > right || o->Y < top || o->Y > bottom) continue;
    if (!Current)
      Current = o.get();
    else
      Others.push_back(o.get());
  }
}

void TEditorTools::DrawBox(int mouseX, int mouseY) const {
  if (!Boxing) return;
  const float x = static_cast<float>(std::min(BoxX, mouseX)), y = static_cast<float>(std::min(BoxY, mouseY));
  const float w = static_cast<float>(std::abs(mouseX - BoxX)), h = static_cast<float>(std::abs(mouseY - BoxY));
  pr2d_Rect(x, y, w, h, 0xFFFFFF, 40, PR2D_FILL);
  pr2d_Rect(x, y, w, h, 0xFFFFFF, 200, 0);
}

void TEditorTools::MoveSelection(int dx, int dy) {
  for (TMapObjProt* item : Selection())
    if (auto* object = dynamic_cast<TMapObj*>(item)) {
      object->X = std::clamp(object->X + dx, 0, Map.MaxX);
      object->Y = std::clamp(object->Y + dy, 0, Map.MaxY);
    }
}

TEditorTools::TClip TEditorTools::CopyOf(const std::vector<TMapObjProt*>& items) const {
  TClip clip;
  std::vector<const TMapObj*> sources;
  for (TMapObjProt* item : items)
    if (auto* object = dynamic_cast<TMapObj*>(item)) {
      sources.push_back(object);
      clip.Objects.push_back(CloneAs(*object));
    }
  // The ropes of the map between two copied objects come along.
  auto copyOf = [&](const TMapObj* end) -> TMapObj* {
    auto it = std::find(sources.begin(), sources.end(), end);
    return it == sources.end() ? nullptr : clip.Objects[it - sources.begin()].get();
  };
  for (const auto& rope : Map.Ropes) {
    TMapObj* a = copyOf(rope->ObjectA);
    TMapObj* b = copyOf(rope->ObjectB);
    if (!a || !b) continue;
    clip.Ropes.push_back(CloneAs(*rope));
    clip.Ropes.back()->ObjectA = a;
    clip.Ropes.back()->ObjectB = b;
  }
  return clip;
}

void TEditorTools::PasteClip(const TClip& clip, int dx, int dy) {
  if (clip.Objects.empty()) return;
  Select(nullptr);
  const size_t first = Map.Objects.size();
  for (const auto& source : clip.Objects) {
    Map.Objects.push_back(CloneAs(*source));
    TMapObj& copy = *Map.Objects.back();
    copy.X = std::clamp(copy.X + dx, 0, Map.MaxX);
    copy.Y = std::clamp(copy.Y + dy, 0, Map.MaxY);
    if (!Current)
      Current = &copy;
    else
      Others.push_back(&copy);
  }
  auto pasted = [&](const TMapObj* end) -> TMapObj* {
    for (size_t i = 0; i < clip.Objects.size(); ++i)
      if (clip.Objects[i].get() == end) return Map.Objects[first + i].get();
    return nullptr;
  };
  for (const auto& source : clip.Ropes) {
    Map.Ropes.push_back(CloneAs(*source));
    Map.Ropes.back()->ObjectA = pasted(source->ObjectA);
    Map.Ropes.back()->ObjectB = pasted(source->ObjectB);
    Map.Ropes.back()->FollowEnds();
  }
  PlaySound(TSound::Place);
}

void TEditorTools::Copy() {
  if (!Selection().empty()) Clipboard = CopyOf(Selection());
}

void TEditorTools::Paste(int mouseX, int mouseY, bool underPointer) {
  if (Clipboard.Objects.empty()) return;
  const TMapObj& anchor = *Clipboard.Objects.front();
  int dx = CellSize, dy = CellSize;
  if (underPointer) {
    // The grid point nearest the pointer.
    const int half = CellSize / 2;
    const int x = std::clamp(mouseX - Map.OriginX, 0, Map.MaxX), y = std::clamp(mouseY - Map.OriginY, 0, Map.MaxY);
    dx = (x + half) / CellSize * CellSize - anchor.X;
    dy = (y + half) / CellSize * CellSize - anchor.Y;
  }
  PasteClip(Clipboard, dx, dy);
}

void TEditorTools::Duplicate() {
  if (!Selection().empty()) PasteClip(CopyOf(Selection()), CellSize, CellSize);
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
  for (TMapObjProt* item : Others) item->DrawShape(Map.OriginX, Map.OriginY);
}
