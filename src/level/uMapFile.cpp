#include "level/uMapFile.h"

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
