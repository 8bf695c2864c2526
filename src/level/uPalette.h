// The kinds of thing a level is built from: one table, in the editor's
// palette order, giving each kind its name, sprite kind, hit shape and class.
// The classes are the ones a level file stores under their tags. Adding a
// kind is one row of the table (and its picture in the atlas).
#pragma once

#include <memory>
#include <string>

class TMap;
class TMapObj;
class TMapObjProt;
class TMeDrawRect;
class TMeFormShape;

constexpr int kPaletteSize = 12;
constexpr int kPaletteRope = 7;  // the rope: a kind without a class of its own

// A class of map object: the tag a level file stores it under and how to
// make one with a sprite and a hit shape.
struct TObjectClass {
  const char* Tag;
  std::unique_ptr<TMapObj> (*Make)(TMeDrawRect* sprite, std::unique_ptr<TMeFormShape> shape);
};

struct TPaletteEntry {
  const char* Name;  // the name level scripts use
  int Kind;          // sprite kind, 1..12
  bool Circle;
  int W, H;                    // rectangle size, or the circle's diameter in W
  const TObjectClass* Class;   // null for the rope
};

// Entry 1..12; entry 7 is the rope.
const TPaletteEntry& PaletteEntry(int index);
// The class a level file stores under `tag`, or null when no kind has it.
const TObjectClass* ObjectClass(const std::string& tag);
// A new object of palette entry `index` at (0, 0), drawn with the map's
// sprite of its kind; the rope has no ends.
std::unique_ptr<TMapObjProt> MakePaletteObject(const TMap& map, int index);
