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

}  // namespace

// --- construction ---

TEditor::TEditor(tSceneMng* manager) : tScene(manager), Tools(*Doc.Map) {
  ConnectDocument();
  ToolForm = std::make_unique<TMeForm>(0, 0, 255, this);
  CreateLooks();
  CreateToolForm();
  CreatePropPanel();
  CreatePlayPanel();
  auto* menu = AddNew<TButtonShowMenu>(*ToolForm, 90, 32, WideShape.get(), WideSprite.get(),
                                       ToolForm.get());
  menu->Caption = N_("Меню");
  FileMenu = std::make_unique<TEditorMenu>(kScreenCentreX, kScreenCentreY, this);
  Popup = FileMenu.get();
  CreateOptions();
  CreateHistoryButtons();
}

TEditor::~TEditor() = default;

// What the document and the tools ask of the scene.
void TEditor::ConnectDocument() {
  Doc.Manager = Manager;
  Doc.Forget = [this] { Tools.ForgetMapContent(); };
  Doc.Say = [this](const std::string& text, bool error) { ShowMessage(text, error); };
  Doc.ChooseFileToSave = [this] {
    if (!LevelMenu) return false;
    // Quitting from another scene: the chooser is the editor's.
    if (Manager && Manager->Current != this && !Manager->Switching) Activate();
    ShowChooser(true);
    return true;
  };
  Tools.Refuse = [this](const std::string& text) { ShowMessage(text, true); };
}

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

namespace {

// The names of the tool buttons, by icon frame.
const char* const kToolNames[] = {
    N_("Выбор"),  N_("Блок"),           N_("Кубик"), N_("Доска"), N_("Большой шар"), N_("Шар"),
    N_("Малый шар"), N_("Верёвка"),     N_("Бомба"), N_("Лазерная пушка"), N_("Робот"),
    N_("Ящик"),   N_("Батарея"),        N_("Выбор"), N_("Выбор"), N_("Удалить (Delete)")};

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
    if (i >= 1 && i <= kPaletteSize) b->Prototype = Tools.Prototypes[i].get();
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
  PlayPanel = std::make_unique<TMeFormPanel>(kScreenCentreX, 25);
  PlayPanel->Background = PlayBackground.get();
  TMeForm& f = *PlayPanel;
  struct Button {
    int Mode, X, Icon;
    const char* Name;
  };
  const Button buttons[] = {{TButtonP::kPlay, -50, 5, N_("Испытать уровень (Пробел, F5)")},
                            {TButtonP::kPause, 0, 7, N_("Пауза")},
                            {TButtonP::kStop, 50, 6, N_("Стоп (Esc)")}};
  for (const Button& b : buttons) {
    auto* p = AddNew<TButtonP>(f, b.Mode, b.X, 0, SmallShape.get(), SmallSprite.get(),
                               SmallIcons.get(), b.Icon, &f);
    p->Editor = this;
    p->Tooltip = b.Name;
  }
}

// Undo and redo above the field's right end, their tooltips naming the keys.
void TEditor::CreateHistoryButtons() {
  TMeForm& f = *ToolForm;
  auto make = [&](int x, int icon, bool forward, const char* name) {
    auto* b = AddNew<TButtonHistory>(f, x, 20, SmallShape.get(), SmallSprite.get(), SmallIcons.get(),
                                     icon, &f);
    b->Editor = this;
    b->Forward = forward;
    b->Tooltip = name;
    return b;
  };
  UndoButton = make(745, 2, false, N_("Отменить (Ctrl+Z)"));
  RedoButton = make(790, 1, true, N_("Вернуть (Ctrl+Y)"));
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

// --- the input, once per tick ---

void TEditor::Update() {
  if (!HandleKeys()) {
    UpdateEditing();
    TrackTooltip();
  }
  // Whatever the tick ended: a hint field that lost its menu, a save that the
  // chooser's closing called off, the edits of the tick as one step.
  if (HintEditing && !(Popup == FileMenu.get() && FileMenu->Visible)) StopHintEditing();
  if (Doc.SavePending() && !(Popup == LevelMenu && LevelMenu->Visible)) Doc.CancelPendingSave();
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
  UpdateTestPlay();
  if (Doc.Map->Running) {
    // A test play runs: editing input is ignored.
    ToolForm->Alpha = kDimmedAlpha;
    PropPanel->Alpha = kDimmedAlpha;
    return;
  }
  ToolForm->Alpha = 255;
  UndoButton->Enabled = Doc.History.UndoSteps() > 0;
  RedoButton->Enabled = Doc.History.RedoSteps() > 0;
  Tools.UpdateCursor(mouse_X(), mouse_Y());
  if (!ControlsClicked() && Tools.InsideField()) UpdateField();
  Tools.UpdateBox(mouse_X(), mouse_Y(), mouse_Down(M_BLEFT));
  Tools.FollowAndTurn(mouse_Click(M_BMIDDLE));
  PropPanel->Alpha = Tools.Current ? 255 : kDimmedAlpha;
}

bool TEditor::ControlsClicked() {
  if (Tools.Current && PropPanel->Update(mouse_X(), mouse_Y())) return true;
  return ToolForm->Update(mouse_X(), mouse_Y());
}

// A press that a form took never reaches the field.
void TEditor::UpdateField() {
  const bool own = !eng_PressClaimed(M_BLEFT);
  if (mouse_Click(M_BLEFT) && ToolForm->TakesPresses() && own)
    Tools.LeftClickInField(mouse_X(), mouse_Y(), key_Down(K_SHIFT), key_Down(K_CTRL));
  Tools.SnapAndDrag(mouse_Down(M_BLEFT) && own);
}

void TEditor::CommitEdits() {
  // A drag is one edit: it is committed when the button comes up.
  if (Doc.Map->Running || HintEditing || (Tools.Dragging() && !(Popup && Popup->Visible))) return;
  Doc.Commit();
}

// --- drawing ---

void TEditor::Draw() {
  if (!Popup || !Popup->Visible) {
    DrawScene();
    return;
  }
  // Only the pop-up's own form changes while it is open: the screen under
  // it, dim included, is one picture.
  pic_Layer(*UnderPopup, [this] {
    DrawScene();
    pr2d_Rect(0, 0, kScreenWidth, kScreenHeight, 0x101017, 208, PR2D_FILL);
  });
  Popup->Draw();
}

void TEditor::DrawScene() {
  // The ground, the grid and the panels change with the button under the
  // pointer, the selection, the tool or the level: one picture, drawn again
  // when they do.
  pic_Layer(*Ground, [this] {
    DrawBackground();
    DrawTitle();
    DrawPanels();
  });
  DrawField();
  DrawMessage();
  Tooltip.Draw(mouse_X(), mouse_Y());
}

// The grey ground and the grid's dots.
void TEditor::DrawBackground() const {
  pr2d_Rect(0, 0, kScreenWidth, kScreenHeight, 0x505050, 255, PR2D_FILL);
  const TMap& map = *Doc.Map;
  for (int i = 0; i < kGridColumns; ++i)
    for (int j = 0; j < kGridRows; ++j)
      pr2d_Circle(static_cast<float>(map.OriginX + kCellSize * i),
                  static_cast<float>(map.OriginY + kCellSize * j), 3, 0xFFFFFF, 53, 25, 0);
}

void TEditor::DrawPanels() const {
  ToolForm->Draw();
  PropPanel->Draw();
  PlayPanel->Draw();
}

// The level, then the prototype in hand and the selection's outline.
void TEditor::DrawField() const {
  Doc.Map->Draw();
  Tools.DrawHand();
  Tools.DrawBox(mouse_X(), mouse_Y());
}

// --- state dump ---

nlohmann::json TEditor::DumpState() const {
  nlohmann::json current;
  const TMapObjProt* held = Tools.Current;
  if (held && Tools.Placing) {
    for (int i = 1; i <= kPaletteSize; ++i)
      if (Tools.Prototypes[i].get() == held) current = {{"prototype", i}};
  } else if (held) {
    current = {{dynamic_cast<const TRope*>(held) ? "rope" : "object", Doc.Map->IndexOf(held)}};
  }
  nlohmann::json selection = nlohmann::json::array();
  for (const TMapObjProt* item : Tools.Selection())
    if (!dynamic_cast<const TRope*>(item)) selection.push_back(Doc.Map->IndexOf(item));
  nlohmann::json popup;
  if (Popup == FileMenu.get())
    popup = "file_menu";
  else if (Popup && Popup == LevelMenu)
    popup = "level_menu";
  const std::string* tooltip = Tooltip.Shown();
  const std::string* message = MessageShown();
  return {{"placing", Tools.Placing},
          {"current", current},
          {"popup", popup},
          {"popup_visible", Popup != nullptr && Popup->Visible},
          {"cursor", {Tools.CursorX, Tools.CursorY}},
          {"grab", {Tools.GrabX, Tools.GrabY}},
          {"map", Doc.Map->DumpState()},
          {"dirty", Doc.Dirty()},
          {"undo_steps", Doc.History.UndoSteps()},
          {"proven", Doc.Proven()},
          {"redo_steps", Doc.History.RedoSteps()},
          {"tooltip", tooltip ? nlohmann::json(*tooltip) : nlohmann::json()},
          {"message", message ? nlohmann::json(*message) : nlohmann::json()},
          {"hint", Doc.Hint},
          {"hint_editing", HintEditing},
          {"file_name", Doc.FileName.empty() ? nlohmann::json() : nlohmann::json(Doc.FileName)},
          {"title", Title()},
          {"selection", selection},
          {"clipboard", Tools.Clipboard.Objects.size()}};
}
