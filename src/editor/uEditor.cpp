#include "editor/uEditor.h"

#include <algorithm>
#include <nlohmann/json.hpp>

#include "editor/uEditorMenu.h"
#include "engine/engine.h"
#include "level/uMap.h"
#include "level/uPalette.h"
#include "scenes/uLevelMenu.h"
#include "sim/uMapObj.h"
#include "sim/uRope.h"
#include "ui/uAtlas.h"
#include "ui/uLang.h"
#include "ui/uSounds.h"

namespace {

constexpr uint8_t kDimmedAlpha = 155;

// A copy of the same class as the source.
template <class T>
std::unique_ptr<T> CloneAs(const T& source) {
  return std::unique_ptr<T>(static_cast<T*>(source.Clone().release()));
}

}  // namespace

// --- construction ---

TEditor::TEditor(tSceneMng* manager) : tScene(manager) {
  Map = std::make_unique<TMap>(CellSize);
  ToolForm = std::make_unique<TMeForm>(0, 0, 255, this);
  CreateLooks();
  CreatePalette();
  CreateToolForm();
  CreatePropPanel();
  CreatePlayPanel();
  auto* menu = AddNew<TButtonShowMenu>(*ToolForm, 90, 32, WideShape.get(), WideSprite.get(),
                                       ToolForm.get());
  menu->Caption = N_("Меню");
  FileMenu = std::make_unique<TEditorMenu>(512, 384, this);
  Popup = FileMenu.get();
  CreateOptions();
}

TEditor::~TEditor() = default;

void TEditor::CreateLooks() {
  ToolSprite = MakeAtlasSprite<TMeFormDrawRect>(Atlas::ToolButton);
  ToolIcons = MakeAtlasSprite(Atlas::ToolIcons);
  SmallSprite = MakeAtlasSprite<TMeFormDrawRect>(Atlas::SmallButton);
  SmallIcons = MakeAtlasSprite(Atlas::SmallIcons);
  WideSprite = MakeWideButtonSprite();
  CheckBox = MakeAtlasSprite(Atlas::CheckBox);
  PropBackground = MakeAtlasSprite(Atlas::PropertyPanel);
  PlayBackground = MakeAtlasSprite(Atlas::PlayPanel);
  ToolShape = std::make_unique<TShapeCircle>(64);
  SmallShape = std::make_unique<TShapeCircle>(32);
  WideShape = MakeWideButtonShape();
  MessageBack = MakeAtlasSprite(Atlas::DialogPanel);
}

void TEditor::CreatePalette() {
  for (int i = 1; i <= kPaletteSize; ++i) Prototypes[i] = MakePaletteObject(*Map, i);
}

namespace {

// The names of the tool buttons, by icon frame.
const char* const kToolNames[] = {
    N_("Выбор"),  N_("Блок"),           N_("Кубик"), N_("Доска"), N_("Большой шар"), N_("Шар"),
    N_("Малый шар"), N_("Верёвка"),     N_("Бомба"), N_("Лазерная пушка"), N_("Робот"),
    N_("Ящик"),   N_("Батарея"),        N_("Выбор"), N_("Выбор"), N_("Удалить")};

}  // namespace

void TEditor::CreateToolForm() {
  TMeForm& f = *ToolForm;
  // Icon frame i is the palette entry i; frames 0, 13 and 14 empty the hand.
  for (int i = 0; i <= 14; ++i) {
    const int x = i <= 7 ? 50 : 132;
    const int y = 100 + 80 * (i <= 7 ? i : i - 8);
    auto* b = AddNew<TButton>(f, x, y, ToolShape.get(), ToolSprite.get(), ToolIcons.get(), i, &f);
    b->Editor = this;
    b->Tooltip = kToolNames[i];
    if (i >= 1 && i <= kPaletteSize) b->Prototype = Prototypes[i].get();
  }
  auto* del = AddNew<TButtonDel>(f, 132, 660, ToolShape.get(), ToolSprite.get(), ToolIcons.get(),
                                 15, &f);
  del->Editor = this;
  del->Tooltip = kToolNames[15];
}

void TEditor::CreatePropPanel() {
  PropPanel = std::make_unique<TMeFormEd>(924, 128);
  PropPanel->Background = PropBackground.get();
  PropPanel->Editor = this;
  struct Row {
    int Mode, Step, X, Y, Icon;
    const char* Name;
  };
  const Row rows[] = {
      {TButtonE::kRotate, 15, -20, -93, 1, N_("Повернуть по часовой")},
      {TButtonE::kRotate, -15, 60, -93, 2, N_("Повернуть против часовой")},
      {TButtonE::kResizeBoth, -8, -20, -47, 4, N_("Уменьшить")},
      {TButtonE::kResizeBoth, 8, 60, -47, 3, N_("Увеличить")},
      {TButtonE::kResizeWidth, -8, -20, -3, 4, N_("Уже")},
      {TButtonE::kResizeWidth, 8, 60, -3, 3, N_("Шире")},
      {TButtonE::kResizeHeight, -8, -20, 43, 4, N_("Ниже")},
      {TButtonE::kResizeHeight, 8, 60, 43, 3, N_("Выше")},
  };
  TMeForm& f = *PropPanel;
  for (const Row& r : rows) {
    auto* b = AddNew<TButtonE>(f, r.Mode, r.Step, r.X, r.Y, SmallShape.get(), SmallSprite.get(),
                               SmallIcons.get(), r.Icon, &f);
    b->Editor = this;
    b->Tooltip = r.Name;
  }
}

void TEditor::CreatePlayPanel() {
  PlayPanel = std::make_unique<TMeFormPanel>(512, 25);
  PlayPanel->Background = PlayBackground.get();
  TMeForm& f = *PlayPanel;
  struct Button {
    int Mode, X, Icon;
    const char* Name;
  };
  const Button buttons[] = {{TButtonP::kPlay, -50, 5, N_("Испытать уровень")},
                            {TButtonP::kPause, 0, 7, N_("Пауза")},
                            {TButtonP::kStop, 50, 6, N_("Стоп")}};
  for (const Button& b : buttons) {
    auto* p = AddNew<TButtonP>(f, b.Mode, b.X, 0, SmallShape.get(), SmallSprite.get(),
                               SmallIcons.get(), b.Icon, &f);
    p->Editor = this;
    p->Tooltip = b.Name;
  }
}

void TEditor::CreateOptions() {
  struct Option {
    const char* Caption;
    int Mode, Y;
  };
  const Option options[] = {{N_("Динамический"), TButtonOpt::kDynamic, 150},
                            {N_("Черный"), TButtonOpt::kBlack, 220},
                            {N_("Белый"), TButtonOpt::kWhite, 270},
                            {N_("Зеркало"), TButtonOpt::kMirror, 320},
                            {N_("Интерактивный"), TButtonOpt::kInteractive, 390}};
  TMeForm& f = *PropPanel;
  for (const Option& o : options) {
    auto* b = AddNew<TButtonOpt>(f, o.Caption, o.Mode, 0, o.Y, WideShape.get(), WideSprite.get(),
                                 CheckBox.get(), &f);
    b->Editor = this;
  }
}

// --- queries and map changes the controls ask for ---

TRope* TEditor::RopePrototype() const { return static_cast<TRope*>(Prototypes[kRopeTool].get()); }

TMapObj* TEditor::CurrentObject() const { return dynamic_cast<TMapObj*>(Current); }

void TEditor::DeleteCurrent() {
  if (Placing || !Current) return;
  TMapObjProt* gone = Current;
  Current = nullptr;
  // A half-made rope must not keep an end on an object that leaves the map.
  TRope* rope = RopePrototype();
  if (rope->ObjectA == gone || rope->ObjectB == gone) rope->ObjectA = rope->ObjectB = nullptr;
  // Removes the ropes joined to an object with it, and detaches it from a
  // world left over from a stopped test play.
  Map->Remove(gone);
  PlaySound(TSound::Delete);
}

void TEditor::EmptyHand() {
  Current = nullptr;
  Placing = false;
  GrabX = GrabY = 0;
  TRope* rope = RopePrototype();
  rope->ObjectA = rope->ObjectB = nullptr;
}

void TEditor::ForgetMapContent() {
  if (!Placing) Current = nullptr;
  TRope* rope = RopePrototype();
  rope->ObjectA = rope->ObjectB = nullptr;
}

// --- the editing model, once per tick ---

void TEditor::Update() {
  if (!HandleKeys()) {
    UpdateEditing();
    TrackTooltip();
  }
  // Whatever the tick ended: a hint field that lost its menu, a save that the
  // chooser's closing called off, the edits of the tick as one step.
  if (HintEditing && !(Popup == FileMenu.get() && FileMenu->Visible)) StopHintEditing();
  if (AfterSave && !(Popup == LevelMenu && LevelMenu->Visible)) AfterSave = nullptr;
  CommitEdits();
  if (MessageTicks > 0) --MessageTicks;
}

void TEditor::UpdateEditing() {
  if (Popup && Popup->Visible) {
    // The press is the pop-up's until it is let go, also after it closed.
    if (mouse_Click(M_BLEFT)) eng_ClaimPress(M_BLEFT);
    Popup->Update(mouse_X(), mouse_Y());
    return;
  }
  if (PlayPanel->Update(mouse_X(), mouse_Y())) return;
  Map->Update();
  if (Map->Running) {
    // A test play runs: editing input is ignored.
    ToolForm->Alpha = kDimmedAlpha;
    PropPanel->Alpha = kDimmedAlpha;
    return;
  }
  ToolForm->Alpha = 255;
  UpdateCursor();
  if (!ControlsClicked() && InsideField()) {
    if (mouse_Click(M_BLEFT) && ToolForm->TakesPresses() && !eng_PressClaimed(M_BLEFT))
      LeftClickInField();
    SnapAndDrag();
  }
  FollowAndTurn();
}

void TEditor::UpdateCursor() {
  CursorX = mouse_X() - Map->OriginX + GrabX;
  CursorY = mouse_Y() - Map->OriginY + GrabY;
}

bool TEditor::ControlsClicked() {
  if (Current && PropPanel->Update(mouse_X(), mouse_Y())) return true;
  return ToolForm->Update(mouse_X(), mouse_Y());
}

// The field's edges themselves are outside.
bool TEditor::InsideField() const {
  return CursorX > 0 && CursorY > 0 && CursorX < Map->MaxX && CursorY < Map->MaxY;
}

void TEditor::LeftClickInField() {
  if (!Placing && Map->PickAt(mouse_X(), mouse_Y(), Current, true)) {
    Current = Map->PickedObject;
    Placing = false;
    if (CurrentObject()) {
      GrabX = Map->DragDX;
      GrabY = Map->DragDY;
      UpdateCursor();
    }
    return;
  }
  if (!Current) return;
  const bool shift = key_Down(K_SHIFT);
  if (Placing || shift) PlaceCopy();
  if (!shift && !dynamic_cast<TRope*>(Current)) {
    Current = nullptr;
    Placing = false;
    GrabX = GrabY = 0;
  }
}

// Adds a copy of Current to the map where Current stands (a rope: its next end).
void TEditor::PlaceCopy() {
  if (auto* rope = dynamic_cast<TRope*>(Current)) {
    PlaceRope(*rope);
  } else if (TMapObj* object = CurrentObject()) {
    Map->Objects.push_back(CloneAs(*object));
    PlaySound(TSound::Place);
  }
}

void TEditor::PlaceRope(TRope& rope) {
  // Only the rope in hand takes new ends: a rope of the map always keeps its
  // two objects, so a Shift-click with one selected does nothing.
  if (!Placing) return;
  if (!Map->PickAt(mouse_X(), mouse_Y(), rope.ObjectA, false)) return;
  auto* target = dynamic_cast<TMapObj*>(Map->PickedObject);
  if (!target) return;
  if (!rope.AttachEnd(target, Map->DragDX, Map->DragDY, key_Down(K_CTRL))) return;
  Map->Ropes.push_back(CloneAs(rope));
  PlaySound(TSound::Place);
  rope.ObjectA = rope.ObjectB = nullptr;
  Current = nullptr;
}

void TEditor::SnapAndDrag() {
  const int half = CellSize / 2;
  CursorX = (CursorX + half) / CellSize * CellSize;
  CursorY = (CursorY + half) / CellSize * CellSize;
  if (!Current || Placing || !mouse_Down(M_BLEFT) || eng_PressClaimed(M_BLEFT)) return;
  CursorX = std::clamp(CursorX, 0, Map->MaxX);
  CursorY = std::clamp(CursorY, 0, Map->MaxY);
  Current->X = CursorX;
  Current->Y = CursorY;
}

void TEditor::FollowAndTurn() {
  if (!Current) {
    PropPanel->Alpha = kDimmedAlpha;
    return;
  }
  if (Placing) {
    Current->X = CursorX;
    Current->Y = CursorY;
  }
  if (mouse_Click(M_BMIDDLE))
    if (TMapObj* object = CurrentObject()) object->Angle = TurnAngle(object->Angle, 15);
  PropPanel->Alpha = 255;
}

// --- drawing ---

void TEditor::DrawGrid() const {
  for (int i = 0; i < kGridColumns; ++i)
    for (int j = 0; j < kGridRows; ++j)
      pr2d_Circle(static_cast<float>(Map->OriginX + CellSize * i),
                  static_cast<float>(Map->OriginY + CellSize * j), 3, 0xFFFFFF, 53, 25, 0, 0);
}

void TEditor::Draw() {
  pr2d_Rect(0, 0, 1024, 768, 0x505050, 255, PR2D_FILL);
  DrawGrid();
  ToolForm->Draw();
  PropPanel->Draw();
  PlayPanel->Draw();
  Map->Draw();
  if (Current) {
    if (Placing) Current->DrawEditor(Map->OriginX, Map->OriginY);
    Current->DrawShape(Map->OriginX, Map->OriginY);
  }
  DrawMessage();
  Tooltip.Draw(mouse_X(), mouse_Y());
  if (Popup && Popup->Visible) {
    pr2d_Rect(0, 0, 1024, 768, 0x101017, 208, PR2D_FILL);
    Popup->Draw();
  }
}

// --- state dump ---

nlohmann::json TEditor::DumpState() const {
  nlohmann::json current;
  if (Current && Placing) {
    for (int i = 1; i <= kPaletteSize; ++i)
      if (Prototypes[i].get() == Current) current = {{"prototype", i}};
  } else if (Current) {
    current = {{dynamic_cast<TRope*>(Current) ? "rope" : "object", Map->IndexOf(Current)}};
  }
  nlohmann::json popup;
  if (Popup == FileMenu.get())
    popup = "file_menu";
  else if (Popup && Popup == LevelMenu)
    popup = "level_menu";
  const std::string* tooltip = Tooltip.Shown();
  const std::string* message = MessageShown();
  return {{"placing", Placing},
          {"current", current},
          {"popup", popup},
          {"popup_visible", Popup != nullptr && Popup->Visible},
          {"cursor", {CursorX, CursorY}},
          {"grab", {GrabX, GrabY}},
          {"map", Map->DumpState()},
          {"dirty", Dirty()},
          {"undo_steps", History.UndoSteps()},
          {"redo_steps", History.RedoSteps()},
          {"tooltip", tooltip ? nlohmann::json(*tooltip) : nlohmann::json()},
          {"message", message ? nlohmann::json(*message) : nlohmann::json()},
          {"hint", Hint},
          {"hint_editing", HintEditing},
          {"file_name", FileName.empty() ? nlohmann::json() : nlohmann::json(FileName)}};
}
