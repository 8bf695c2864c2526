// The in-memory level: its objects and ropes, the twelve sprites they are
// drawn with, the play field's place on the screen, the level file, and the
// per-tick cycle that runs it.
#pragma once

#include <array>
#include <memory>
#include <nlohmann/json_fwd.hpp>
#include <string>
#include <vector>

#include "ui/uMeForm.h"

class TWorld;
class TGameForm;
class TMapObjProt;
class TMapObj;
class TRope;

constexpr int kSpriteKinds = 12;
constexpr int kRopeSpriteKind = 7;

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
  // Replaces the content with the file's. A missing file leaves the map
  // empty; records that make no sense are skipped with a message; returns
  // false when the file exists but could not be read.
  bool LoadFromFile(const std::string& path);
  // Writes the map beside `path` and renames it over `path` only when the
  // whole file was written, so a failed save never damages the old level.
  // Returns false with a message (also on stderr) on failure.
  bool SaveToFile(const std::string& path, std::string* error = nullptr);
  // Finds the object (or, with ropes, the rope) under the screen point,
  // passing over `current` unless nothing else is there.
  bool PickAt(int x, int y, TMapObjProt* current, bool withRopes);

  // Builds a fresh world from the design and starts running.
  void StartGame();
  // One tick while running.
  void Update();
  void Draw();

  // Removes an object of the map (and every rope joined to it) or a rope,
  // and disposes of it. Returns false when it is not in the map.
  bool Remove(TMapObjProt* item);
  // Position in Objects or Ropes, or -1.
  int IndexOf(const TMapObjProt* item) const;

  nlohmann::json DumpState() const;

 private:
  void DisposeWorld();
};
