// The editor's tools: the palette, the tool in hand, the selection, and what
// the pointer does with them on the field: place, select, drag, join with a
// rope, turn, resize, set options and delete.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "level/uMap.h"
#include "level/uPalette.h"

class TMapObjProt;
class TMapObj;
class TRope;

class TEditorTools {
 public:
  // The tools work on `map` (the document's), which outlives them.
  explicit TEditorTools(TMap& map);
  ~TEditorTools();
  TEditorTools(const TEditorTools&) = delete;
  TEditorTools& operator=(const TEditorTools&) = delete;

  static constexpr int kRopeTool = kPaletteRope;

  TMap& Map;
  int32_t CellSize = kCellSize;
  int32_t CursorX = 0, CursorY = 0;  // map coordinates
  int32_t GrabX = 0, GrabY = 0;      // from the pointer to the grabbed object
  bool Placing = false;              // a prototype is in hand
  TMapObjProt* Current = nullptr;    // the prototype in hand, the selection, or none
  std::array<std::unique_ptr<TMapObjProt>, kPaletteSize + 1> Prototypes;  // 1..12; 0 none
  // Selected together with Current (Shift+click, a box, a paste); empty
  // while a prototype is in hand. Never holds an object that left the map.
  std::vector<TMapObjProt*> Others;
  // Copies of the objects copied last, and the ropes between them (their
  // ends point at these copies).
  struct TClip {
    std::vector<std::unique_ptr<TMapObj>> Objects;
    std::vector<std::unique_ptr<TRope>> Ropes;
  };
  TClip Clipboard;
  // Says a refusal on the editor's message line.
  std::function<void(const std::string&)> Refuse;

  TRope* RopePrototype() const;
  // Current as a map object (a block or a derived kind), or null.
  TMapObj* CurrentObject() const;
  // The selection: Current first, then Others; empty with a prototype in hand.
  std::vector<TMapObjProt*> Selection() const;
  bool Selected(const TMapObjProt* item) const;
  // Only `item` is selected (none: nothing).
  void Select(TMapObjProt* item);
  // Ctrl+C, Ctrl+V and Ctrl+D. A paste lands with its first object on the
  // grid point under the pointer, or (outside the field, and a duplicate)
  // one grid step right and down of the original; what is pasted becomes
  // the selection.
  void Copy();
  void Paste(int mouseX, int mouseY, bool underPointer);
  void Duplicate();
  // Moves the selected objects (their ropes follow), keeping them on the field.
  void MoveSelection(int dx, int dy);
  // A selection box drawn from a press on empty field: while held, and the
  // objects whose centre it holds selected when it is let go.
  void UpdateBox(int mouseX, int mouseY, bool held);
  void DrawBox(int mouseX, int mouseY) const;
  // A tool button: its prototype in hand, or (none) an empty hand.
  void Choose(TMapObjProt* prototype);
  // Removes the selected object (with the ropes that join it) or rope from
  // the map. Does nothing with a prototype in hand or nothing selected.
  void DeleteCurrent();
  // Nothing in hand and nothing selected (a test play starts so): a half-made
  // rope is dropped too.
  void EmptyHand();
  // The map is about to be emptied or replaced: forget every object of it.
  void ForgetMapContent();
  // The selection follows a press held on the field (one edit until let go).
  bool Dragging() const;

  // The pointer over the field, once per tick while editing: the cursor, a
  // left click, the drag, the prototype in hand following, a middle-click turn.
  void UpdateCursor(int mouseX, int mouseY);
  bool InsideField() const;
  void LeftClickInField(int mouseX, int mouseY, bool shift, bool ctrl);
  void SnapAndDrag(bool dragging);
  void FollowAndTurn(bool turn);

  // The property panel's buttons, on the current map object.
  enum TOption { kDynamic = 1, kBlack = 2, kWhite = 3, kMirror = 4, kInteractive = 5 };
  void Turn(int degrees);
  void Resize(int dw, int dh);
  void ToggleOption(int option);
  bool OptionOn(int option) const;

  // The prototype in hand and the outline of the selection.
  void DrawHand() const;

 private:
  bool Boxing = false;
  int BoxX = 0, BoxY = 0;        // where the box's press began, on the screen
  int BoxEndX = 0, BoxEndY = 0;  // the pointer the last tick it was held

  TClip CopyOf(const std::vector<TMapObjProt*>& items) const;
  void PasteClip(const TClip& clip, int dx, int dy);
  bool PickSelected(int mouseX, int mouseY);
  void PlaceCopy(int mouseX, int mouseY, bool ctrl);
  void PlaceRope(TRope& rope, int mouseX, int mouseY, bool ctrl);
};
