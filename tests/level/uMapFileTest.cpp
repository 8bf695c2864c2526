// The level file: exact bytes, round trips, corrupt files and safe saving.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "level/uMap.h"
#include "level/uMapFile.h"
#include "sim/uBattery.h"
#include "sim/uHero.h"
#include "sim/uLazer.h"
#include "sim/uRope.h"
#include "support/TestSupport.h"

namespace {

// One record written byte by byte from the format table, independently of
// the game's encoder.
struct RecordBuilder {
  std::string bytes = std::string(80, '\0');
  RecordBuilder& Int(size_t at, int32_t v) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>((static_cast<uint32_t>(v) >> (8 * i)) & 0xFF);
    return *this;
  }
  RecordBuilder& Str(size_t at, const std::string& s) {
    bytes[at] = static_cast<char>(s.size());
    for (size_t i = 0; i < s.size(); ++i) bytes[at + 1 + i] = s[i];
    return *this;
  }
  RecordBuilder& Byte(size_t at, uint8_t v) {
    bytes[at] = static_cast<char>(v);
    return *this;
  }
  // x, y, shapeW, shapeH, spriteDX, spriteDY, width, height, angle, kind
  RecordBuilder& Object(std::array<int32_t, 10> v, const std::string& shape, const std::string& tag,
                        bool interactive, bool dynamic, uint8_t frame) {
    for (size_t i = 0; i < v.size(); ++i) Int(4 * i, v[i]);
    return Str(64, shape).Str(69, tag).Byte(76, interactive).Byte(77, dynamic).Byte(78, frame);
  }
};

std::string ObjectBytes(std::array<int32_t, 10> v, const std::string& shape, const std::string& tag,
                        bool interactive, bool dynamic, uint8_t frame) {
  return RecordBuilder().Object(v, shape, tag, interactive, dynamic, frame).bytes;
}

std::string RopeBytes(int32_t x, int32_t y, int32_t a, int32_t b, std::array<int32_t, 4> offsets) {
  RecordBuilder r;
  r.Int(0, x).Int(4, y).Int(36, 7).Int(40, a).Int(44, b);
  for (size_t i = 0; i < 4; ++i) r.Int(48 + 4 * i, offsets[i]);
  return r.Str(64, "ROPE").Str(69, "ROPE").Byte(77, 1).bytes;
}

template <class T>
T* Add(TMap& map, int kind, std::unique_ptr<TMeFormShape> shape) {
  auto object = std::make_unique<T>(map.Sprite(kind), std::move(shape));
  T* raw = object.get();
  map.Objects.push_back(std::move(object));
  return raw;
}

class MapFile : public ::testing::Test {
 protected:
  void SetUp() override { eng_Reset(); }
  void TearDown() override { eng_Reset(); }
  // One object of each kind and a rope from the third object to the first.
  void BuildSample() {
    auto* block = Add<TMapObj>(Map, 1, std::make_unique<TShapeRect>(26, 70));
    block->X = 105, block->Y = 210, block->Angle = -45, block->Frame = 2;
    block->Resize(8, 0);
    auto* ball = Add<TMapObj>(Map, 5, std::make_unique<TShapeCircle>(32));
    ball->X = 35, ball->Y = 70, ball->Dynamic = false, ball->Interactive = true;
    auto* hero = Add<THero>(Map, 10, std::make_unique<TShapeRect>(18, 60));
    hero->X = 300, hero->Y = 600;
    auto* battery = Add<TBattery>(Map, 12, std::make_unique<TShapeCircle>(38));
    battery->X = 280, battery->Y = 140;
    auto* bomb = Add<TBomb>(Map, 8, std::make_unique<TShapeCircle>(30));
    bomb->X = 420, bomb->Y = 350, bomb->Angle = 375;
    auto* box = Add<TLazerBox>(Map, 9, std::make_unique<TShapeRect>(40, 20));
    box->X = 0, box->Y = 665, box->Dynamic = false;
    Map.Ropes.push_back(std::make_unique<TRope>(Map.Sprite(7), hero, block, 3, -4, 0, 30));
    Map.Ropes.back()->X = 17, Map.Ropes.back()->Y = -9;
  }
  std::string Expected() const {
    return ObjectBytes({105, 210, 34, 70, -17, -35, 34, 70, -45, 1}, "RECT", "MAPOBJ", false, true, 2) +
           ObjectBytes({35, 70, 16, 16, -17, -17, 34, 34, 0, 5}, "CIRC", "MAPOBJ", true, false, 0) +
           ObjectBytes({300, 600, 18, 60, -19, -32, 38, 64, 0, 10}, "RECT", "HERO", false, true, 0) +
           ObjectBytes({280, 140, 19, 19, -22, -22, 44, 44, 0, 12}, "CIRC", "BATT", false, true, 0) +
           ObjectBytes({420, 350, 15, 15, -16, -26, 32, 52, 375, 8}, "CIRC", "BOOMBA", false, true, 0) +
           ObjectBytes({0, 665, 40, 20, -20, -11, 40, 23, 0, 9}, "RECT", "LAZBOX", false, false, 0) +
           RopeBytes(17, -9, 2, 0, {3, -4, 0, 30});
  }
  TMap Map{35};
  TempDir Dir;
};

TEST_F(MapFile, SavesTheExactBytesOfTheFormat) {
  BuildSample();
  ASSERT_TRUE(Map.SaveToFile(Dir.File("a.map")));
  std::string written = ReadText(Dir.File("a.map"));
  std::string expected = Expected();
  ASSERT_EQ(written.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i)
    ASSERT_EQ(static_cast<int>(static_cast<uint8_t>(written[i])), static_cast<int>(static_cast<uint8_t>(expected[i])))
        << "record " << i / 80 << ", byte " << i % 80;
}

TEST_F(MapFile, RoundTripKeepsOrderClassesFieldsAndSprites) {
  BuildSample();
  ASSERT_TRUE(Map.SaveToFile(Dir.File("a.map")));
  TMap loaded(35);
  ASSERT_TRUE(loaded.LoadFromFile(Dir.File("a.map")));
  ASSERT_EQ(loaded.Objects.size(), 6u);
  ASSERT_EQ(loaded.Ropes.size(), 1u);
  const char* classes[] = {"TMapObj", "TMapObj", "THero", "TBattery", "TBomb", "TLazerBox"};
  for (size_t i = 0; i < 6; ++i) {
    const TMapObj& a = *Map.Objects[i];
    const TMapObj& b = *loaded.Objects[i];
    EXPECT_STREQ(b.ClassName(), classes[i]);
    EXPECT_EQ(b.Sprite, loaded.Sprite(a.Sprite->Tag)) << i;
    EXPECT_EQ(std::tie(a.X, a.Y, a.Angle, a.SpriteDX, a.SpriteDY, a.Width, a.Height, a.Frame),
              std::tie(b.X, b.Y, b.Angle, b.SpriteDX, b.SpriteDY, b.Width, b.Height, b.Frame)) << i;
    EXPECT_EQ(a.Dynamic, b.Dynamic);
    EXPECT_EQ(a.Interactive, b.Interactive);
  }
  auto* circle = dynamic_cast<TShapeCircle*>(loaded.Objects[1]->Shape.get());
  ASSERT_NE(circle, nullptr);
  EXPECT_EQ(circle->Circle.Radius, 16);
  auto* rect = dynamic_cast<TShapeRect*>(loaded.Objects[0]->Shape.get());
  ASSERT_NE(rect, nullptr);
  EXPECT_EQ(rect->Rect.W, 34);
  const TRope& rope = *loaded.Ropes[0];
  EXPECT_EQ(rope.ObjectA, loaded.Objects[2].get());
  EXPECT_EQ(rope.ObjectB, loaded.Objects[0].get());
  EXPECT_EQ(std::tie(rope.OffsetAX, rope.OffsetAY, rope.OffsetBX, rope.OffsetBY),
            std::make_tuple(3, -4, 0, 30));
  EXPECT_EQ(rope.X, 0) << "a rope's position is not read back";
  ASSERT_TRUE(loaded.SaveToFile(Dir.File("b.map")));
  std::string second = ReadText(Dir.File("b.map"));
  std::string first = ReadText(Dir.File("a.map"));
  EXPECT_EQ(second.substr(0, 480), first.substr(0, 480)) << "objects save back identically";
}

TEST_F(MapFile, EmptyMapIsAnEmptyFileAndBack) {
  ASSERT_TRUE(Map.SaveToFile(Dir.File("e.map")));
  EXPECT_EQ(std::filesystem::file_size(Dir.File("e.map")), 0u);
  BuildSample();
  EXPECT_TRUE(Map.LoadFromFile(Dir.File("e.map")));
  EXPECT_TRUE(Map.Objects.empty());
  EXPECT_TRUE(Map.Ropes.empty());
  EXPECT_TRUE(Map.LoadFromFile(Dir.File("missing.map"))) << "a missing level is an empty one";
  EXPECT_TRUE(Map.Objects.empty());
}

TEST_F(MapFile, TagsCountOnlyTheCharactersTheLengthByteGives) {
  std::string hero = ObjectBytes({10, 10, 18, 60, -19, -32, 38, 64, 0, 10}, "RECT", "HERO", false, true, 0);
  hero[69 + 5] = 'X';  // bytes after the length are ignored
  hero[69 + 6] = 'Y';
  std::string longer = ObjectBytes({10, 10, 18, 60, -19, -32, 38, 64, 0, 10}, "RECT", "HEROES", false, true, 0);
  std::string lower = ObjectBytes({10, 10, 18, 60, -19, -32, 38, 64, 0, 10}, "RECT", "hero", false, true, 0);
  WriteText(Dir.File("t.map"), hero + longer + lower);
  ASSERT_TRUE(Map.LoadFromFile(Dir.File("t.map")));
  ASSERT_EQ(Map.Objects.size(), 1u);
  EXPECT_STREQ(Map.Objects[0]->ClassName(), "THero");
}

TEST_F(MapFile, CorruptRecordsAreSkippedAndTheRestLoads) {
  auto good = [](int x) { return ObjectBytes({x, 10, 26, 26, -13, -13, 26, 26, 0, 2}, "RECT", "MAPOBJ", false, true, 0); };
  std::string badKind = ObjectBytes({1, 1, 26, 26, -13, -13, 26, 26, 0, 13}, "RECT", "MAPOBJ", false, true, 0);
  std::string zeroKind = ObjectBytes({1, 1, 26, 26, -13, -13, 26, 26, 0, 0}, "RECT", "MAPOBJ", false, true, 0);
  std::string badShape = ObjectBytes({1, 1, 26, 26, -13, -13, 26, 26, 0, 2}, "TRIA", "MAPOBJ", false, true, 0);
  std::string zeroSize = ObjectBytes({1, 1, 0, 26, -13, -13, 26, 26, 0, 2}, "RECT", "MAPOBJ", false, true, 0);
  std::string negRadius = ObjectBytes({1, 1, -5, -5, -13, -13, 26, 26, 0, 5}, "CIRC", "MAPOBJ", false, true, 0);
  std::string huge = ObjectBytes({1, 1, 2000000000, 5, -13, -13, 26, 26, 0, 2}, "RECT", "MAPOBJ", false, true, 0);
  std::string unknown = ObjectBytes({1, 1, 26, 26, -13, -13, 26, 26, 0, 2}, "RECT", "WIDGET", false, true, 0);
  std::string ropeAhead = RopeBytes(0, 0, 0, 5, {0, 0, 0, 0});
  std::string ropeNegative = RopeBytes(0, 0, -1, 0, {0, 0, 0, 0});
  std::string ropeOk = RopeBytes(0, 0, 1, 0, {0, 0, 0, 0});
  WriteText(Dir.File("c.map"), good(1) + badKind + zeroKind + badShape + zeroSize + negRadius + huge +
                                   unknown + good(2) + ropeAhead + ropeNegative + ropeOk +
                                   std::string(37, '\x07'));
  ASSERT_TRUE(Map.LoadFromFile(Dir.File("c.map")));
  ASSERT_EQ(Map.Objects.size(), 2u);
  EXPECT_EQ(Map.Objects[0]->X, 1);
  EXPECT_EQ(Map.Objects[1]->X, 2);
  ASSERT_EQ(Map.Ropes.size(), 1u);
  EXPECT_EQ(Map.Ropes[0]->ObjectA, Map.Objects[1].get());
  Map.StartGame();  // what survived can be played
  for (int i = 0; i < 5; ++i) Map.Update();
  EXPECT_TRUE(Map.Running);
}

// The reader takes what the editor's size buttons can make (a hit shape down
// to 2 pixels) and nothing smaller, and brings an angle far beyond a turn,
// which would overflow when turned, back into 0..359.
TEST_F(MapFile, EdgeSizesAndFarAnglesLoadAsTheEditorKeepsThem) {
  auto hero = [](int shapeW, int angle) {
    return ObjectBytes({10, 10, shapeW, 60, -11, -32, 22, 64, angle, 10}, "RECT", "HERO", false, true, 0);
  };
  std::string tinyBall = ObjectBytes({10, 10, 1, 1, -8, -8, 16, 16, 0, 6}, "CIRC", "MAPOBJ", false, true, 0);
  WriteText(Dir.File("e.map"), hero(2, 0) + hero(1, 0) + tinyBall + hero(18, 2147483647) + hero(18, -45));
  ASSERT_TRUE(Map.LoadFromFile(Dir.File("e.map")));
  ASSERT_EQ(Map.Objects.size(), 3u);
  EXPECT_EQ(static_cast<TShapeRect*>(Map.Objects[0]->Shape.get())->Rect.W, 2);
  EXPECT_EQ(Map.Objects[1]->Angle, 127);
  EXPECT_EQ(Map.Objects[2]->Angle, -45) << "an angle within a few turns is kept as it is";
  Map.StartGame();
  Map.Update();
}

TEST_F(MapFile, AFrameBeyondTheSpritesFramesDrawsFrameZero) {
  zglRecordingBackend rec;
  eng_SetBackend(&rec);
  WriteText(Dir.File("f.map"), ObjectBytes({50, 50, 140, 10, -70, -5, 140, 10, 0, 3}, "RECT", "MAPOBJ", false, false, 2));
  ASSERT_TRUE(Map.LoadFromFile(Dir.File("f.map")));
  Map.Draw();
  ASSERT_EQ(rec.Calls.size(), 1u);
  EXPECT_EQ(rec.Calls[0].cut.X, 448);
  EXPECT_EQ(rec.Calls[0].cut.Y, 192);
}

TEST_F(MapFile, UnreadableFileLeavesAnEmptyMap) {
  BuildSample();
  std::filesystem::create_directories(Dir.File("folder.map"));
  EXPECT_FALSE(Map.LoadFromFile(Dir.File("folder.map")));
  EXPECT_TRUE(Map.Objects.empty());
  EXPECT_TRUE(Map.Ropes.empty());
}

TEST_F(MapFile, AFailedSaveLeavesTheOldLevelAsItWas) {
  BuildSample();
  std::filesystem::create_directories(Dir.File("levels"));
  const std::string target = Dir.File("levels/1001.map");
  WriteText(target, "old level bytes");
  // The target is a folder: nothing is written, the error is reported.
  std::filesystem::create_directories(Dir.File("levels/1002.map"));
  std::string error;
  EXPECT_FALSE(Map.SaveToFile(Dir.File("levels/1002.map"), &error));
  EXPECT_FALSE(error.empty());
  EXPECT_TRUE(std::filesystem::is_directory(Dir.File("levels/1002.map")));
  // A folder that cannot be written to.
  if (geteuid() != 0) {
    chmod(Dir.File("levels").c_str(), 0555);
    EXPECT_FALSE(Map.SaveToFile(target, &error));
    chmod(Dir.File("levels").c_str(), 0755);
  }
  // A folder that does not exist.
  EXPECT_FALSE(Map.SaveToFile(Dir.File("nowhere/1001.map"), &error));
  EXPECT_EQ(ReadText(target), "old level bytes");
  for (const auto& entry : std::filesystem::directory_iterator(Dir.File("levels")))
    EXPECT_TRUE(entry.path().filename() == "1001.map" || entry.path().filename() == "1002.map")
        << "no temporary file left behind: " << entry.path();
  EXPECT_TRUE(Map.SaveToFile(target));
  EXPECT_EQ(ReadText(target), Expected());
}

}  // namespace
