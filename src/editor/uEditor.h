// The level editor: the scene in which levels are built on a snapping grid,
// its tool form, property panel and play panel, and the buttons on them.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <nlohmann/json_fwd.hpp>
#include <string>

#include "editor/uEditorHistory.h"
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

  static constexpr int kRopeTool = kPaletteRope;

  std::unique_ptr<TMeForm> ToolForm;
  std::unique_ptr<TMeFormPanel> PlayPanel;
  std::unique_ptr<TMeFormEd> PropPanel;
  std::unique_ptr<TEditorMenu> FileMenu;
  TMeForm* Popup = nullptr;  // takes all input while visible: FileMenu or the level chooser
  std::unique_ptr<TMap> Map;
  TLevelMenu* LevelMenu = nullptr;  // the chooser shared with the main menu; set by its maker
  int32_t CellSize = kCellSize;
  int32_t CursorX = 0, CursorY = 0;  // map coordinates
  int32_t GrabX = 0, GrabY = 0;      // from the pointer to the grabbed object
  bool Placing = false;              // a prototype is in hand
  TMapObjProt* Current = nullptr;    // the prototype in hand, the selection, or none
  std::array<std::unique_ptr<TMapObjProt>, kPaletteSize + 1> Prototypes;  // 1..12; 0 none

  // The level as a whole: its hint, its file, its history.
  std::string Hint;      // shown to the player; saved beside the level file
  std::string FileName;  // the level file last saved or opened; "" for a new level
  std::string FileDir;   // its folder, with a trailing separator
  bool HintEditing = false;  // the hint field takes the keyboard
  TEditorHistory History;

  void Draw() override;
  void Update() override;
  const char* Name() const override { return "editor"; }
  // Asks "Сохранить изменения?" before the program ends with unsaved work.
  bool HoldQuit() override;

  // What a save would write now.
  TLevelState State() const;
  // The level differs from what was last saved or opened.
  bool Dirty() const;
  // Dirty, unless the action "Не сохранять" was answered for runs now.
  bool HasUnsavedWork() const;
  // Ctrl+Z and Ctrl+Y: back and forward one edit (the hint included).
  void Undo();
  void Redo();
  // Runs `then` at once when no work would be lost; otherwise asks
  // "Сохранить изменения?" first: "Сохранить" saves and then runs it, "Не
  // сохранять" runs it, "Отмена" does nothing.
  void AskToSave(std::function<void()> then);
  // "Новый": an empty level without a file.
  void NewLevel();
  // Opens the shared level chooser on the map, to save or to open, and gives it the input.
  void ShowChooser(bool saveMode);
  // The chooser's choice in save or open mode.
  void LevelChosen(TLevelMenu& menu, int index) override;
  // A line near the top of the field that fades out.
  void ShowMessage(std::string text, bool error = false);
  const std::string* MessageShown() const;
  void StartHintEditing();
  void StopHintEditing();

  TRope* RopePrototype() const;
  // Current as a map object (a block or a derived kind), or null.
  TMapObj* CurrentObject() const;
  // Removes the selected object (with the ropes that join it) or rope from
  // the map. Does nothing with a prototype in hand or nothing selected.
  void DeleteCurrent();
  // Nothing in hand and nothing selected (a test play starts so): a half-made
  // rope is dropped too.
  void EmptyHand();
  // The map is about to be emptied or replaced: forget every object of it.
  void ForgetMapContent();

  nlohmann::json DumpState() const;

 private:
  // Looks and hit shapes shared by the controls.
  std::unique_ptr<TMeFormDrawRect> ToolSprite, SmallSprite, WideSprite;
  std::unique_ptr<TMeDrawRect> ToolIcons, SmallIcons, CheckBox, PropBackground, PlayBackground;
  std::unique_ptr<TShapeCircle> ToolShape, SmallShape;
  std::unique_ptr<TShapeRect> WideShape;
  std::unique_ptr<TMeDrawRect> MessageBack;

  void CreateLooks();
  void CreatePalette();
  void CreateToolForm();
  void CreatePropPanel();
  void CreatePlayPanel();
  void CreateOptions();

  void UpdateCursor();
  bool ControlsClicked();
  bool InsideField() const;
  void LeftClickInField();
  void PlaceCopy();
  void PlaceRope(TRope& rope);
  void SnapAndDrag();
  void FollowAndTurn();
  void DrawGrid() const;

  // uEditorFile.cpp: the level as a whole.
  TLevelState Saved;     // what was last saved or opened
  bool NotSaving = false;  // "Не сохранять" was answered: its one action runs now
  std::function<void()> AfterSave;  // waits for a save through the chooser
  std::string Message;
  bool MessageIsError = false;
  int MessageTicks = 0;
  TTooltip Tooltip;

  void UpdateEditing();
  bool HandleKeys();
  bool Dragging() const;
  void CommitEdits();
  void Restore(const TLevelState& state);
  void MarkSaved(const TLevel& level);
  void SaveThen(std::function<void()> then);
  bool SaveLevel(TLevelMenu* menu, const TLevel& level);
  void OpenLevel(const TLevel& level);
  void EditHint();
  void TrackTooltip();
  void DrawMessage() const;
};
