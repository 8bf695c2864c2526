// The physics budget of a level: every shipped level fits it with room to
// spare; small hostile files that would freeze the game or eat gigabytes are
// refused by name, and the editor neither saves nor plays a map over it.
#include "level/uLevelBudget.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "level/uMap.h"
#include "level/uMapFile.h"
#include "sim/uMapObj.h"
#include "support/TestSupport.h"

namespace {

namespace fs = std::filesystem;

std::string Records(int count, const TMapRecord& r) {
  std::string bytes;
  for (int i = 0; i < count; ++i)
    for (uint8_t b : EncodeMapRecord(r)) bytes += static_cast<char>(b);
  return bytes;
}

// A crate at (300, 300), and a rope between the first two objects whose ends
// lie `spread` pixels apart along each axis (20,000: 1,415 segments).
TMapRecord Crate(bool dynamic) {
  TMapRecord r;
  r.X = r.Y = 300;
  r.ShapeW = r.ShapeH = 30, r.SpriteDX = r.SpriteDY = -32, r.Width = r.Height = 64;
  r.SpriteKind = 11, r.ShapeTag = "RECT", r.KindTag = "MAPOBJ", r.Dynamic = dynamic;
  return r;
}
TMapRecord Huge() {  // a static crate drawn at the largest size
  TMapRecord r = Crate(false);
  return r.Width = r.Height = kMaxObjectSize, r;
}
TMapRecord Rope(int spread) {
  TMapRecord r;
  r.KindTag = r.ShapeTag = "ROPE", r.SpriteKind = 7, r.RopeB = 1;
  r.OffsetAX = r.OffsetAY = spread / 2, r.OffsetBX = r.OffsetBY = -spread / 2;
  return r;
}

class LevelBudget : public ::testing::Test {
 protected:
  void SetUp() override { eng_Reset(); }
  void TearDown() override { eng_Reset(); }
  TMap Map{35};
  TempDir Dir;
};

TEST_F(LevelBudget, EveryShippedLevelFitsTenTimesOver) {
  for (const auto& e : fs::directory_iterator(fs::path(KELVOD_SOURCE_DIR) / "data" / "level")) {
    if (e.path().extension() != ".map") continue;
    ASSERT_TRUE(Map.LoadFromFile(e.path().string())) << e.path();
    const TLevelCost c = MeasureLevel(Map);
    const std::string name = e.path().filename().string();
    EXPECT_LE(c.Objects * 10, TLevelBudget::kObjects) << name;
    EXPECT_LE(c.Ropes * 10, TLevelBudget::kRopes) << name;
    EXPECT_LE(c.RopeSegments * 10, TLevelBudget::kRopeSegments) << name;
    EXPECT_LE(c.Overlaps * 10, TLevelBudget::kOverlaps) << name;
    EXPECT_LE(c.DrawnArea * 10, TLevelBudget::kDrawnArea) << name;
  }
}

TEST_F(LevelBudget, HostileFilesAreRefusedByNameAndLeaveAnEmptyMap) {
  struct Case {
    std::string Bytes, Over;
  };
  const Case cases[] = {
      {Records(2, Crate(false)) + Records(40, Rope(20000)), "56600 rope segments (at most 400)"},
      {Records(2000, Crate(true)), "2000 objects (at most 400)"},
      {Records(64, Crate(true)), "2016 pairs of bodies placed on top of each other (at most 2000)"},
      {Records(2, Crate(false)) + Records(41, Rope(0)), "41 ropes (at most 40)"},
      {Records(1, Huge()), "1000000 square pixels of objects to draw (at most 600000)"},
  };
  for (const Case& c : cases) {
    WriteText(Dir.File("1001.map"), c.Bytes);
    std::string error;
    EXPECT_FALSE(Map.LoadFromFile(Dir.File("1001.map"), &error));
    EXPECT_NE(error.find(Dir.File("1001.map")), std::string::npos) << error;
    EXPECT_NE(error.find(c.Over), std::string::npos) << error;
    EXPECT_TRUE(Map.Objects.empty() && Map.Ropes.empty()) << c.Over;
  }
}

// Whatever the editor would save must load again: a map over the budget is
// neither written nor played.
TEST_F(LevelBudget, AMapOverTheBudgetIsNeitherSavedNorStarted) {
  WriteText(Dir.File("fits.map"), Records(63, Crate(true)));
  ASSERT_TRUE(Map.LoadFromFile(Dir.File("fits.map")));
  ASSERT_TRUE(Map.StartGame()) << "63 on one point fit";
  Map.Objects.push_back(std::unique_ptr<TMapObj>(static_cast<TMapObj*>(Map.Objects[0]->Clone().release())));
  std::string error;
  EXPECT_FALSE(Map.SaveToFile(Dir.File("over.map"), &error));
  EXPECT_NE(error.find("pairs of bodies"), std::string::npos) << error;
  EXPECT_FALSE(fs::exists(Dir.File("over.map")));
  EXPECT_FALSE(Map.StartGame());
  EXPECT_FALSE(Map.Running);
  EXPECT_EQ(Map.World, nullptr);
}

}  // namespace
