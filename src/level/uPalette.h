// The twelve kinds of thing a level is built from, in the editor's palette
// order: each one's sprite kind, class and hit shape.
#pragma once

#include <memory>

class TMap;
class TMapObjProt;

constexpr int kPaletteSize = 12;
constexpr int kPaletteRope = 7;

struct TPaletteEntry {
  const char* Name;  // the name level scripts use
  int Kind;          // sprite kind, 1..12
  bool Circle;
  int W, H;          // rectangle size, or the circle's diameter in W
};

// Entry 1..12; entry 7 is the rope.
const TPaletteEntry& PaletteEntry(int index);
// A new object of palette entry `index` at (0, 0), drawn with the map's
// sprite of its kind; the rope has no ends.
std::unique_ptr<TMapObjProt> MakePaletteObject(const TMap& map, int index);
