#include "level/uPalette.h"

#include <array>

#include "level/uMap.h"
#include "sim/uBattery.h"
#include "sim/uHero.h"
#include "sim/uLazer.h"
#include "sim/uRope.h"

namespace {

template <class T>
std::unique_ptr<TMapObj> Make(TMeDrawRect* sprite, std::unique_ptr<TMeFormShape> shape) {
  return std::make_unique<T>(sprite, std::move(shape));
}

template <class T>
constexpr TObjectClass kClass{T::kTag, Make<T>};

constexpr const TObjectClass* kBlock = &kClass<TMapObj>;

constexpr std::array<TPaletteEntry, kPaletteSize + 1> kPalette = {{
    {"", 0, false, 0, 0, nullptr},
    {"tall", 1, false, 26, 70, kBlock},
    {"square", 2, false, 26, 26, kBlock},
    {"plank", 3, false, 140, 10, kBlock},
    {"bigball", 4, true, 70, 0, kBlock},
    {"ball", 5, true, 32, 0, kBlock},
    {"pebble", 6, true, 16, 0, kBlock},
    {"rope", kPaletteRope, false, 0, 0, nullptr},
    {"bomb", 8, true, 30, 0, &kClass<TBomb>},
    {"laserbox", 9, false, 40, 20, &kClass<TLazerBox>},
    {"hero", 10, false, 18, 60, &kClass<THero>},
    {"crate", 11, false, 30, 30, kBlock},
    {"battery", 12, true, 38, 0, &kClass<TBattery>},
}};
static_assert(kPalette[kPaletteSize].Kind == kPaletteSize, "one row per palette entry");

}  // namespace

const TPaletteEntry& PaletteEntry(int index) {
  return kPalette.at(index >= 1 && index <= kPaletteSize ? index : 0);
}

const TObjectClass* ObjectClass(const std::string& tag) {
  for (const TPaletteEntry& e : kPalette)
    if (e.Class && tag == e.Class->Tag) return e.Class;
  return nullptr;
}

std::unique_ptr<TMapObjProt> MakePaletteObject(const TMap& map, int index) {
  const TPaletteEntry& e = PaletteEntry(index);
  if (index == kPaletteRope)
    return std::make_unique<TRope>(map.Sprite(e.Kind), nullptr, nullptr, 0, 0, 0, 0);
  if (!e.Class) return nullptr;
  std::unique_ptr<TMeFormShape> shape;
  if (e.Circle)
    shape = std::make_unique<TShapeCircle>(e.W);
  else
    shape = std::make_unique<TShapeRect>(e.W, e.H);
  return e.Class->Make(map.Sprite(e.Kind), std::move(shape));
}
