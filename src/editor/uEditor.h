// The level editor: the scene in which levels are built on a snapping grid.
// It owns the document (the level, its file and history) and the tools (what
// the pointer does on the field), draws them with its tool form, property
// panel and play panel, and routes the input to them.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <nlohmann/json_fwd.hpp>
#include <string>

#include "editor/uEditorDocument.h"
#include "editor/uEditorTools.h"
#include "level/uMap.h"
#include "level/uPalette.h"
#include "scenes/uLevelMenu.h"
#include "ui/uButtonEM.h"
#include "ui/uMeForm.h"
#include "ui/uScene.h"
#include "ui/uTooltip.h"

class TEditor;
class TEditorMenu;
class TLevelMenu;
class TMap;
class TMapObjProt;
class TMapObj;
class TRope;

// A form with a picture drawn behind its controls.
class TMeFormPanel : public TMeForm {
 public:
  TMeFormPanel(int x, int y) : TMeForm(x, y, 255, nullptr) {}
  TMeDrawRect* Background = nullptr;  // shared, not owned
  void Draw() override;
};

// The property panel: also shows the angle, width and height of the selection.
class TMeFormEd : public TMeFormPanel {
 public:
  using TMeFormPanel::TMeFormPanel;
  TEditor* Editor = nullptr;
  void Draw() override;
};

// A tool button: puts its palette prototype in hand (or empties the hand).
class TButton : public TMeFormObject2 {
 public:
  using TMeFormObject2::TMeFormObject2;
  TMapObjProt* Prototype = nullptr;  // a palette entry, or none
  TEditor* Editor = nullptr;
  void Click() override;
  bool UpdatePressed() override;  // lit for the tool in hand
};

// Deletes the selected object or rope of the map.
class TButtonDel : public TMeFormObject2 {
 public:
  using TMeFormObject2::TMeFormObject2;
  TEditor* Editor = nullptr;
  void Click() override;
};

// Turns or resizes the current object by `Step`.
class TButtonE : public TMeFormObject2 {
 public:
  enum { kRotate = 1, kResizeBoth = 2, kResizeWidth = 3, kResizeHeight = 4 };
  TButtonE(int mode, int step, int x, int y, TMeFormShape* shape, TMeDrawRect* sprite,
           TMeDrawRect* icon, int iconFrame, TMeForm* form)
      : TMeFormObject2(x, y, shape, sprite, icon, iconFrame, form), Step(step), Mode(mode) {}
  TEditor* Editor = nullptr;
  int32_t Step;
  int32_t Mode;
  void Click() override;
};

// Undo or redo one edit: the history at hand for those who do not know the keys.
class TButtonHistory : public TMeFormObject2 {
 public:
  using TMeFormObject2::TMeFormObject2;
  TEditor* Editor = nullptr;
  bool Forward = false;  // redo
  void Click() override;
};

// Play, pause or stop the test play of the map.
class TButtonP : public TMeFormObject2 {
 public:
  enum { kPlay = 1, kPause = 2, kStop = 3 };
  TButtonP(int mode, int x, int y, TMeFormShape* shape, TMeDrawRect* sprite, TMeDrawRect* icon,
           int iconFrame, TMeForm* form)
      : TMeFormObject2(x, y, shape, sprite, icon, iconFrame, form), Mode(mode) {}
  TEditor* Editor = nullptr;
  int32_t Mode;
  void Click() override;
  bool UpdatePressed() override;  // lit for the map's running state
};

// A check box button for one option of the current object.
class TButtonOpt : public TMeFormObject {
 public:
  enum { kDynamic = 1, kBlack = 2, kWhite = 3, kMirror = 4, kInteractive = 5 };
  TButtonOpt(std::string caption, int mode, int x, int y, TMeFormShape* shape, TMeDrawRect* sprite,
             TMeDrawRect* checkBox, TMeForm* form)
      : TMeFormObject(x, y, shape, sprite, form), CheckBox(checkBox), Mode(mode),
        Caption(std::move(caption)) {}
  TMeDrawRect* CheckBox;  // frame 0 off, frame 1 on; shared
  TEditor* Editor = nullptr;
  int32_t Mode;
  std::string Caption;
  void Click() override;
  void Draw(int offsetX, int offsetY, uint8_t alpha) override;
  bool UpdatePressed() override;  // whether the option is on
};

class TEditor : public tScene, public TLevelMenuClient {
 public:
  explicit TEditor(tSceneMng* manager);
  ~TEditor() override;

  // "Меню" on the tool form: opens the file menu.
  class TButtonShowMenu : public TButtonEM {
   public:
    using TButtonEM::TButtonEM;
    void Click() override;
  };

  TEditorDocument Doc;  // the level: map, hint, file, history, questions
  TEditorTools Tools;   // the palette, the hand, the selection; on Doc's map

  std::unique_ptr<TMeForm> ToolForm;
  std::unique_ptr<TMeFormPanel> PlayPanel;
  std::unique_ptr<TMeFormEd> PropPanel;
  std::unique_ptr<TEditorMenu> FileMenu;
  TMeForm* Popup = nullptr;  // takes all input while visible: FileMenu or the level chooser
  TLevelMenu* LevelMenu = nullptr;  // the chooser shared with the main menu; set by its maker
  bool HintEditing = false;  // the hint field takes the keyboard
  TButtonHistory* UndoButton = nullptr;  // on ToolForm, above the field
  TButtonHistory* RedoButton = nullptr;

  void Draw() override;
  void Update() override;
  const char* Name() const override { return "editor"; }
  // Asks "Сохранить изменения?" before the program ends with unsaved work.
  bool HoldQuit() override;
  // Unsaved work is saved as a new level of the player's own (the level's
  // file, if it has one, is left as it was).
  void KeepWorkBeforeEnd() override;

  // Ctrl+Z and Ctrl+Y: back and forward one edit (the hint included).
  void Undo();
  void Redo();
  // The document's question before work is lost, with the hint's typing ended first.
  void AskToSave(std::function<void()> then);
  // "Новый": an empty level without a file.
  void NewLevel();
  // Opens the shared level chooser on the map, to save or to open, and gives it the input.
  void ShowChooser(bool saveMode);
  // The chooser's choice in save or open mode: the document's.
  void LevelChosen(TLevelMenu& menu, int index) override { Doc.LevelChosen(menu, index); }
  // What the top of the editor names: the level and, with unsaved work, "*".
  std::string Title() const;
  // A line near the top of the field that fades out.
  void ShowMessage(std::string text, bool error = false);
  const std::string* MessageShown() const;
  void StartHintEditing();
  void StopHintEditing();

  // uEditorShare.cpp. Test play starts with an empty hand (a tool in hand
  // would leave the editor placing nothing after it), its input recorded.
  void StartTestPlay();
  // "Поделиться": the proven level's code (a link in the browser) to the
  // clipboard and in a dialog, or why it cannot be shared yet.
  void Share();

  nlohmann::json DumpState() const;

 private:
  // Looks and hit shapes shared by the controls.
  std::unique_ptr<TMeFormDrawRect> ToolSprite, SmallSprite, WideSprite;
  std::unique_ptr<TMeDrawRect> ToolIcons, SmallIcons, CheckBox, PropBackground, PlayBackground;
  std::unique_ptr<TShapeCircle> ToolShape, SmallShape;
  std::unique_ptr<TShapeRect> WideShape;
  std::unique_ptr<TMeDrawRect> MessageBack;
  std::string Message;
  bool MessageIsError = false;
  int MessageTicks = 0;
  TTooltip Tooltip;

  void ConnectDocument();
  void CreateLooks();
  void CreateToolForm();
  void CreatePropPanel();
  void CreatePlayPanel();
  void CreateOptions();
  void CreateHistoryButtons();

  // Input, routed once per tick: the keys first, then the pop-up, the play
  // panel and the test play, the panels, the field.
  void UpdateEditing();
  // One tick of test play, recorded; a win proves the level.
  void UpdateTestPlay();
  bool ControlsClicked();
  void UpdateField();
  void CommitEdits();
  bool HandleKeys();
  void EditingKeys();
  void ToggleTestPlay();
  void SaveToOwnFile();
  void EditHint();
  void TrackTooltip();

  // Drawing, back to front, each layer on its own.
  void DrawBackground() const;
  void DrawPanels() const;
  void DrawField() const;
  void DrawMessage() const;
  void DrawTitle() const;
  void DrawScene();
  std::unique_ptr<zglPicture> Ground = std::make_unique<zglPicture>(kScreenWidth, kScreenHeight);
  std::unique_ptr<zglPicture> UnderPopup =
      std::make_unique<zglPicture>(kScreenWidth, kScreenHeight);
};
