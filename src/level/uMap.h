// The in-memory level: its objects and ropes, the twelve sprites they are
// drawn with, the play field's place on the screen, the level file, and the
// per-tick cycle that runs it.
#pragma once

#include <array>
#include <memory>
#include <nlohmann/json_fwd.hpp>
#include <string>
#include <vector>

#include "level/uPalette.h"
#include "ui/uMeForm.h"

class TWorld;
class TGameForm;
class TMapObjProt;
class TMapObj;
class TRope;

// Sprite kinds are the palette's kinds.
constexpr int kSpriteKinds = kPaletteSize;
constexpr int kRopeSpriteKind = kPaletteRope;
// The play field: a grid of 18 by 20 cells of 35 pixels.
constexpr int kCellSize = 35;
constexpr int kGridColumns = 18;
constexpr int kGridRows = 20;

class TMap {
 public:
  explicit TMap(int cellSize);
  ~TMap();
  TMap(const TMap&) = delete;
  TMap& operator=(const TMap&) = delete;

  std::vector<std::unique_ptr<TRope>> Ropes;      // in creation (and file) order
  std::vector<std::unique_ptr<TMapObj>> Objects;  // every non-rope object, in order
  int DragDX = 0, DragDY = 0;  // picked object's position minus the pick point
  int OriginX, OriginY;        // screen position of map (0, 0)
  int MaxX, MaxY;              // bounds of map coordinates for moving objects
  bool Picked = false;
  TMapObjProt* PickedObject = nullptr;
  std::unique_ptr<TWorld> World;  // while the map runs
  std::unique_ptr<TGameForm> GameForm;
  bool Paused = false;
  bool Running = false;
  std::array<std::unique_ptr<TMeDrawRect>, kSpriteKinds + 1> Sprites;  // 1..12; 0 unused

  TMeDrawRect* Sprite(int kind) const;

  // Disposes of the world, every object and every rope.
  void Clear();
  // Replaces the content with the level file's (see ReadMapFile).
  bool LoadFromFile(const std::string& path, std::string* error = nullptr);
  // Writes the map to a level file safely (see WriteMapFile).
  bool SaveToFile(const std::string& path, std::string* error = nullptr);
  // Finds the object (or, with ropes, the rope) under the screen point,
  // passing over `current` unless nothing else is there.
  bool PickAt(int x, int y, TMapObjProt* current, bool withRopes);

  // Builds a fresh world from the design and starts running. A map over the
  // physics budget (uLevelBudget.h) is not started: false, with a message.
  bool StartGame();
  // One tick while running. `pointerOnControl`: the pointer is on a button
  // of the scene around the field, so a press there heats no beam.
  void Update(bool pointerOnControl = false);
  void Draw();
  // Running, and every battery has reached a hero (at once for a level
  // without one).
  bool AllBatteriesDelivered() const;

  // Removes an object of the map (and every rope joined to it) or a rope,
  // and disposes of it; on a map that runs (or was stopped), its bodies leave
  // the world too. Returns false when it is not in the map.
  bool Remove(TMapObjProt* item);
  // Position in Objects or Ropes, or -1.
  int IndexOf(const TMapObjProt* item) const;

  nlohmann::json DumpState() const;

 private:
  void DisposeWorld();
  // Notes, on the tick a press begins, whether it is a control's (a turn
  // button, a hero, a scene button); forgets it when the button is let go.
  void NotePress(bool pointerOnControl);
  // Destroys the bodies of an object or rope leaving the map and clears
  // every pointer to them.
  void DestroyPhysicsOf(TMapObjProt* gone);
};
