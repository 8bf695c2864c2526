// The level file: records of 80 bytes, little-endian, objects first, then
// ropes; and the reading and writing of whole maps.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class TMap;

constexpr size_t kMapRecordSize = 80;
// The most records a level file may hold, and so the largest level file;
// readers ignore what lies beyond.
constexpr size_t kMaxMapRecords = 10000;
constexpr size_t kMaxLevelFileBytes = kMaxMapRecords * kMapRecordSize;
using TMapRecordBytes = std::array<uint8_t, kMapRecordSize>;

struct TMapRecord {
  int32_t X = 0, Y = 0;
  int32_t ShapeW = 0, ShapeH = 0;  // rectangle: width and height; circle: radius twice
  int32_t SpriteDX = 0, SpriteDY = 0;
  int32_t Width = 0, Height = 0;
  int32_t Angle = 0;
  int32_t SpriteKind = 0;  // 1..12
  int32_t RopeA = 0, RopeB = 0;  // ropes: indices of their objects in the file
  int32_t OffsetAX = 0, OffsetAY = 0, OffsetBX = 0, OffsetBY = 0;
  std::string ShapeTag;  // at most 4 characters: "RECT", "CIRC" or "ROPE"
  std::string KindTag;   // at most 6 characters
  bool Interactive = false;
  bool Dynamic = false;
  uint8_t Frame = 0;
};

// Field offsets within a record.
namespace MapRecordOffset {
constexpr size_t X = 0, Y = 4, ShapeW = 8, ShapeH = 12, SpriteDX = 16, SpriteDY = 20,
                 Width = 24, Height = 28, Angle = 32, SpriteKind = 36, RopeA = 40, RopeB = 44,
                 OffsetAX = 48, OffsetAY = 52, OffsetBX = 56, OffsetBY = 60, ShapeTag = 64,
                 KindTag = 69, Interactive = 76, Dynamic = 77, Frame = 78;
constexpr size_t ShapeTagMax = 4, KindTagMax = 6;
}  // namespace MapRecordOffset

TMapRecordBytes EncodeMapRecord(const TMapRecord& record);
// A short string whose length byte exceeds its field reads as the characters
// that fit plus a marker that matches no tag.
TMapRecord DecodeMapRecord(const TMapRecordBytes& bytes);

// What reading a level file found, for the editor's messages.
struct TMapFileReport {
  size_t Records = 0;  // records read, an incomplete last one counted
  size_t Skipped = 0;  // records of them not used: of no known kind, wrong or incomplete
  std::vector<size_t> SkippedRecords;  // their numbers, counted from 1
  bool Cut = false;    // the file holds more than kMaxMapRecords records: the rest was not read
  bool Unreadable = false;   // not a regular file, or it could not be read
  std::string OverBudget;    // the player's text when the level asks too much of the physics
};

// The one way a level file is read, by the game and by the editor. Adds the
// level file's objects and ropes to the map. A missing file adds nothing;
// records that make no sense are skipped with a message naming them; only
// the first kMaxMapRecords records are read. Returns false with a message
// (also on stderr) when the file exists but cannot be read (a folder, a pipe,
// a device), or holds a level over the physics budget (uLevelBudget.h),
// which leaves the map empty.
bool ReadMapFile(const std::string& path, TMap* map, std::string* error = nullptr,
                 TMapFileReport* report = nullptr);
// The same for the bytes of a level file; `name` names it in messages.
bool ReadMapBytes(std::string_view bytes, const std::string& name, TMap* map,
                  std::string* error = nullptr, TMapFileReport* report = nullptr);
// The bytes of the level file of the map, and back: DecodeMap adds what the
// bytes hold to the map as ReadMapBytes does, without the budget check (the
// editor restores its own earlier states with it), and returns how many
// records it could not use.
std::string EncodeMap(const TMap& map);
size_t DecodeMap(const std::string& bytes, TMap* map, const std::string& name = "the map in memory");
// Writes the map's objects and then its ropes to `path` safely (see
// SafeWriteFile), so a failed save never damages the old level. A map over
// the physics budget is not written: it could not be loaded again. Returns
// false with a message (also on stderr) on failure.
bool WriteMapFile(const TMap& map, const std::string& path, std::string* error);
