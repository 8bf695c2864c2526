#include "level/uPalette.h"

#include <array>

#include "level/uMap.h"
#include "sim/uBattery.h"
#include "sim/uHero.h"
#include "sim/uLazer.h"
#include "sim/uRope.h"

namespace {

const std::array<TPaletteEntry, kPaletteSize + 1> kPalette = {{
    {"", 0, false, 0, 0},
    {"tall", 1, false, 26, 70},
    {"square", 2, false, 26, 26},
    {"plank", 3, false, 140, 10},
    {"bigball", 4, true, 70, 0},
    {"ball", 5, true, 32, 0},
    {"pebble", 6, true, 16, 0},
    {"rope", 7, false, 0, 0},
    {"bomb", 8, true, 30, 0},
    {"laserbox", 9, false, 40, 20},
    {"hero", 10, false, 18, 60},
    {"crate", 11, false, 30, 30},
    {"battery", 12, true, 38, 0},
}};

template <class T>
std::unique_ptr<TMapObjProt> Make(const TMap& map, const TPaletteEntry& e) {
  std::unique_ptr<TMeFormShape> shape;
  if (e.Circle)
    shape = std::make_unique<TShapeCircle>(e.W);
  else
    shape = std::make_unique<TShapeRect>(e.W, e.H);
  return std::make_unique<T>(map.Sprite(e.Kind), std::move(shape));
}

}  // namespace

const TPaletteEntry& PaletteEntry(int index) {
  return kPalette.at(index >= 1 && index <= kPaletteSize ? index : 0);
}

std::unique_ptr<TMapObjProt> MakePaletteObject(const TMap& map, int index) {
  const TPaletteEntry& e = PaletteEntry(index);
  switch (index) {
    case kPaletteRope:
      return std::make_unique<TRope>(map.Sprite(kRopeSpriteKind), nullptr, nullptr, 0, 0, 0, 0);
    case 8: return Make<TBomb>(map, e);
    case 9: return Make<TLazerBox>(map, e);
    case 10: return Make<THero>(map, e);
    case 12: return Make<TBattery>(map, e);
    default: return index >= 1 && index <= kPaletteSize ? Make<TMapObj>(map, e) : nullptr;
  }
}
