#include "level/uMapFile.h"

#include <iostream>

#include "engine/uSafeFile.h"
#include "level/uLevelBudget.h"
#include "level/uMap.h"
#include "sim/uMapObj.h"
#include "sim/uRope.h"

namespace {

void PutInt(TMapRecordBytes& b, size_t at, int32_t v) {
  uint32_t u = static_cast<uint32_t>(v);
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(u >> (8 * i));
}

int32_t GetInt(const TMapRecordBytes& b, size_t at) {
  uint32_t u = 0;
  for (int i = 0; i < 4; ++i) u |= static_cast<uint32_t>(b[at + i]) << (8 * i);
  return static_cast<int32_t>(u);
}

void PutString(TMapRecordBytes& b, size_t at, size_t max, const std::string& s) {
  size_t n = std::min(s.size(), max);
  b[at] = static_cast<uint8_t>(n);
  for (size_t i = 0; i < n; ++i) b[at + 1 + i] = static_cast<uint8_t>(s[i]);
}

std::string GetString(const TMapRecordBytes& b, size_t at, size_t max) {
  size_t n = b[at];
  std::string s;
  for (size_t i = 0; i < std::min(n, max); ++i) s += static_cast<char>(b[at + 1 + i]);
  if (n > max) s += '\x01';  // too long for its field: can never equal a tag
  return s;
}

}  // namespace

TMapRecordBytes EncodeMapRecord(const TMapRecord& r) {
  using namespace MapRecordOffset;
  TMapRecordBytes b{};
  PutInt(b, X, r.X);
  PutInt(b, Y, r.Y);
  PutInt(b, ShapeW, r.ShapeW);
  PutInt(b, ShapeH, r.ShapeH);
  PutInt(b, SpriteDX, r.SpriteDX);
  PutInt(b, SpriteDY, r.SpriteDY);
  PutInt(b, Width, r.Width);
  PutInt(b, Height, r.Height);
  PutInt(b, Angle, r.Angle);
  PutInt(b, SpriteKind, r.SpriteKind);
  PutInt(b, RopeA, r.RopeA);
  PutInt(b, RopeB, r.RopeB);
  PutInt(b, OffsetAX, r.OffsetAX);
  PutInt(b, OffsetAY, r.OffsetAY);
  PutInt(b, OffsetBX, r.OffsetBX);
  PutInt(b, OffsetBY, r.OffsetBY);
  PutString(b, ShapeTag, ShapeTagMax, r.ShapeTag);
  PutString(b, KindTag, KindTagMax, r.KindTag);
  b[Interactive] = r.Interactive ? 1 : 0;
  b[Dynamic] = r.Dynamic ? 1 : 0;
  b[Frame] = r.Frame;
  return b;
}

TMapRecord DecodeMapRecord(const TMapRecordBytes& b) {
  using namespace MapRecordOffset;
  TMapRecord r;
  r.X = GetInt(b, X);
  r.Y = GetInt(b, Y);
  r.ShapeW = GetInt(b, ShapeW);
  r.ShapeH = GetInt(b, ShapeH);
  r.SpriteDX = GetInt(b, SpriteDX);
  r.SpriteDY = GetInt(b, SpriteDY);
  r.Width = GetInt(b, Width);
  r.Height = GetInt(b, Height);
  r.Angle = GetInt(b, Angle);
  r.SpriteKind = GetInt(b, SpriteKind);
  r.RopeA = GetInt(b, RopeA);
  r.RopeB = GetInt(b, RopeB);
  r.OffsetAX = GetInt(b, OffsetAX);
  r.OffsetAY = GetInt(b, OffsetAY);
  r.OffsetBX = GetInt(b, OffsetBX);
  r.OffsetBY = GetInt(b, OffsetBY);
  r.ShapeTag = GetString(b, ShapeTag, ShapeTagMax);
  r.KindTag = GetString(b, KindTag, KindTagMax);
  r.Interactive = b[Interactive] != 0;
  r.Dynamic = b[Dynamic] != 0;
  r.Frame = b[Frame];
  return r;
}

// --- whole maps ---

namespace {

// Coordinates a level file may hold; anything beyond is not a level. Sizes
// keep to the rule the editor keeps to (CheckObjectSize).
constexpr int32_t kMaxCoordinate = 10000;
constexpr size_t kMaxRecords = kMaxMapRecords;

bool InRange(int32_t v, int32_t limit) { return v >= -limit && v <= limit; }

// What is wrong with an object record, or "" when it can be built.
std::string CheckObjectRecord(const TMapRecord& r) {
  if (r.SpriteKind < 1 || r.SpriteKind > kSpriteKinds)
    return "sprite kind " + std::to_string(r.SpriteKind) + " is not 1.." + std::to_string(kSpriteKinds);
  if (r.ShapeTag != "RECT" && r.ShapeTag != "CIRC") return "its shape is neither RECT nor CIRC";
  switch (CheckObjectSize(r.ShapeTag == "CIRC", r.ShapeW, r.ShapeH, r.Width, r.Height)) {
    case TObjectSize::TOO_SMALL:
      return "its size is not positive or its hit shape is smaller than " + std::to_string(kMinShapeSize) +
             " pixels";
    case TObjectSize::TOO_LARGE:
      return "it is larger than the largest object (" + std::to_string(kMaxObjectSize) + " pixels across)";
    case TObjectSize::OK: break;
  }
  if (!InRange(r.X, kMaxCoordinate) || !InRange(r.Y, kMaxCoordinate) ||
      !InRange(r.SpriteDX, kMaxCoordinate) || !InRange(r.SpriteDY, kMaxCoordinate))
    return "its position is out of range";
  return "";
}

std::string CheckRopeRecord(const TMapRecord& r, size_t objectsRead) {
  if (r.SpriteKind < 1 || r.SpriteKind > kSpriteKinds)
    return "sprite kind " + std::to_string(r.SpriteKind) + " is not 1.." + std::to_string(kSpriteKinds);
  auto valid = [&](int32_t i) { return i >= 0 && static_cast<size_t>(i) < objectsRead; };
  if (!valid(r.RopeA) || !valid(r.RopeB)) return "it joins objects that are not in the file before it";
  if (!InRange(r.OffsetAX, kMaxCoordinate) || !InRange(r.OffsetAY, kMaxCoordinate) ||
      !InRange(r.OffsetBX, kMaxCoordinate) || !InRange(r.OffsetBY, kMaxCoordinate))
    return "its offsets are out of range";
  return "";
}

// The object a checked record describes, of the class its tag names.
std::unique_ptr<TMapObj> ObjectFromRecord(const TObjectClass& c, const TMapRecord& r,
                                          TMeDrawRect* sprite) {
  std::unique_ptr<TMeFormShape> shape;
  if (r.ShapeTag == "CIRC")
    shape = std::make_unique<TShapeCircle>(2 * r.ShapeW);
  else
    shape = std::make_unique<TShapeRect>(r.ShapeW, r.ShapeH);
  std::unique_ptr<TMapObj> o = c.Make(sprite, std::move(shape));
  o->X = r.X;
  o->Y = r.Y;
  o->SpriteDX = r.SpriteDX;
  o->SpriteDY = r.SpriteDY;
  o->Width = r.Width;
  o->Height = r.Height;
  o->Angle = SaneAngle(r.Angle);
  o->Interactive = r.Interactive;
  o->Dynamic = r.Dynamic;
  o->Frame = r.Frame;
  return o;
}

TMapRecord ObjectRecord(const TMapObj& o) {
  TMapRecord r;
  r.X = o.X;
  r.Y = o.Y;
  if (auto* c = dynamic_cast<const TShapeCircle*>(o.Shape.get())) {
    r.ShapeTag = "CIRC";
    r.ShapeW = r.ShapeH = static_cast<int32_t>(c->Circle.Radius);
  } else if (auto* rect = dynamic_cast<const TShapeRect*>(o.Shape.get())) {
    r.ShapeTag = "RECT";
    r.ShapeW = static_cast<int32_t>(rect->Rect.W);
    r.ShapeH = static_cast<int32_t>(rect->Rect.H);
  }
  r.KindTag = o.KindTag();
  r.Dynamic = o.Dynamic;
  r.Interactive = o.Interactive;
  r.Frame = o.Frame;
  r.SpriteDX = o.SpriteDX;
  r.SpriteDY = o.SpriteDY;
  r.Width = o.Width;
  r.Height = o.Height;
  r.Angle = o.Angle;
  r.SpriteKind = o.Sprite ? o.Sprite->Tag : 0;
  return r;
}

TMapRecord RopeRecord(const TRope& rope, int a, int b) {
  TMapRecord r;
  r.KindTag = r.ShapeTag = "ROPE";
  r.RopeA = a;
  r.RopeB = b;
  r.X = rope.X;
  r.Y = rope.Y;
  r.OffsetAX = rope.OffsetAX;
  r.OffsetAY = rope.OffsetAY;
  r.OffsetBX = rope.OffsetBX;
  r.OffsetBY = rope.OffsetBY;
  r.SpriteKind = rope.Sprite ? rope.Sprite->Tag : kRopeSpriteKind;
  r.Dynamic = true;
  return r;
}

// Adds the object or rope of one record to the map; what is wrong with it,
// "" when it was added, or kUnknownKind.
constexpr const char* kUnknownKind = "\x01";
std::string AddRecord(const TMapRecord& r, TMap& map) {
  if (r.KindTag == "ROPE") {
    std::string problem = CheckRopeRecord(r, map.Objects.size());
    if (problem.empty())
      map.Ropes.push_back(std::make_unique<TRope>(map.Sprite(r.SpriteKind), map.Objects[r.RopeA].get(),
                                                  map.Objects[r.RopeB].get(), r.OffsetAX, r.OffsetAY,
                                                  r.OffsetBX, r.OffsetBY));
    return problem;
  }
  const TObjectClass* c = ObjectClass(r.KindTag);
  if (!c) return kUnknownKind;  // not a kind this game knows: skipped silently
  std::string problem = CheckObjectRecord(r);
  if (problem.empty()) map.Objects.push_back(ObjectFromRecord(*c, r, map.Sprite(r.SpriteKind)));
  return problem;
}

}  // namespace

namespace {

// Adds the records in a level file's bytes to the map; `name` names the
// source in messages. Returns how many records could not be used (those of
// no known kind not counted) and fills `report`.
size_t AddRecords(std::string_view bytes, const std::string& name, TMap* map, TMapFileReport* report) {
  const size_t records = std::min(bytes.size() / kMapRecordSize, kMaxRecords);
  size_t unusable = 0, unknown = 0;
  std::vector<size_t> skipped;
  for (size_t number = 1; number <= records; ++number) {
    TMapRecordBytes record;
    std::copy_n(bytes.begin() + static_cast<ptrdiff_t>((number - 1) * kMapRecordSize), kMapRecordSize,
                record.begin());
    std::string problem = AddRecord(DecodeMapRecord(record), *map);
    if (problem.empty()) continue;
    skipped.push_back(number);
    if (problem == kUnknownKind) {
      ++unknown;
      continue;
    }
    std::cerr << "kelvod: " << name << ": record " << number << " skipped: " << problem << "\n";
    ++unusable;
  }
  const bool cut = records == kMaxRecords && bytes.size() > kMaxRecords * kMapRecordSize;
  const size_t incomplete = cut ? 0 : bytes.size() % kMapRecordSize;
  if (cut) {
    std::cerr << "kelvod: " << name << ": more than " << kMaxRecords << " records; the rest is ignored\n";
  } else if (incomplete) {
    std::cerr << "kelvod: " << name << ": record " << records + 1 << " is incomplete (" << incomplete
              << " of 80 bytes); ignored\n";
    ++unusable;
    skipped.push_back(records + 1);
  }
  if (report) {
    report->Records = records + (incomplete ? 1 : 0);
    report->Skipped = unusable + unknown;
    report->Cut = cut;
    report->SkippedRecords = std::move(skipped);
  }
  return unusable;
}

}  // namespace

bool ReadMapBytes(std::string_view bytes, const std::string& name, TMap* map, std::string* error,
                  TMapFileReport* report) {
  AddRecords(bytes, name, map, report);
  const TLevelCost cost = MeasureLevel(*map);
  const std::string over = OverBudget(cost);
  if (over.empty()) return true;
  map->Clear();
  const std::string message = name + ": the level asks too much of the physics and is not loaded: " + over;
  std::cerr << "kelvod: " << message << "\n";
  if (error) *error = message;
  if (report) report->OverBudget = OverBudgetText(cost);
  return false;
}

bool ReadMapFile(const std::string& path, TMap* map, std::string* error, TMapFileReport* report) {
  // One record more than is ever read, to tell that there are more.
  std::string bytes, why;
  const TFileRead read = ReadFileSafely(path, (kMaxRecords + 1) * kMapRecordSize, &bytes, &why);
  if (read == TFileRead::MISSING) return true;
  if (read == TFileRead::OK || read == TFileRead::TOO_LARGE) return ReadMapBytes(bytes, path, map, error, report);
  const std::string message = "cannot read the level \"" + path + "\": " + why;
  std::cerr << "kelvod: " << message << "\n";
  if (error) *error = message;
  if (report) report->Unreadable = true;
  return false;
}

size_t DecodeMap(const std::string& bytes, TMap* map, const std::string& name) {
  return AddRecords(bytes, name, map, nullptr);
}

std::string EncodeMap(const TMap& map) {
  std::string bytes;
  auto append = [&](const TMapRecord& r) {
    TMapRecordBytes b = EncodeMapRecord(r);
    bytes.append(b.begin(), b.end());
  };
  for (const auto& o : map.Objects) append(ObjectRecord(*o));
  for (const auto& rope : map.Ropes) {
    int a = map.IndexOf(rope->ObjectA), b = map.IndexOf(rope->ObjectB);
    if (a < 0 || b < 0) continue;  // a rope must join two objects of this map
    append(RopeRecord(*rope, a, b));
  }
  return bytes;
}

bool WriteMapFile(const TMap& map, const std::string& path, std::string* error) {
  auto fail = [&](const std::string& why) {
    std::string message = "cannot save the level \"" + path + "\": " + why;
    std::cerr << "kelvod: " << message << "\n";
    if (error) *error = message;
    return false;
  };
  std::string why;
  if (std::string over = OverBudget(MeasureLevel(map)); !over.empty())
    return fail("it asks too much of the physics to be played: " + over);
  return SafeWriteFile(path, EncodeMap(map), &why) || fail(why);
}
