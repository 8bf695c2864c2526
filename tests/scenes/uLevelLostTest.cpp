#include "scenes/uLevelLost.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "app/uGlobals.h"
#include "level/uLevelScript.h"
#include "level/uMap.h"
#include "scenes/SceneTestSupport.h"
#include "sim/uBattery.h"
#include "sim/uLazer.h"
#include "sim/uRope.h"
#include "sim/uWorld.h"

namespace {

using T = TTestObject;

struct TLostCase {
  const char* Name;
  TTestLevel Level;
  bool Overheat;  // the battery's fuse lights at once
  const char* Reason;
};
void PrintTo(const TLostCase& c, std::ostream* out) { *out << c.Name; }

class LevelLost : public SceneTest, public ::testing::WithParamInterface<TLostCase> {
 protected:
  std::string Shown() const {
    return GameScene->LostForm->Visible ? GameScene->LostForm->Reason : "";
  }
};

// Long enough for a body starting at y 600 to drop 150 pixels, or a lit fuse to blow.
constexpr int kTicks = 130;

const TLostCase kCases[] = {
    {"BatteryOnAFloor", {{T::HERO, 100, 300}, {T::PLANK, 300, 650}, {T::BATTERY, 300, 620, true}},
     false, ""},
    {"BatteryOffTheField", {{T::HERO, 100, 300}, {T::BATTERY, 300, 600, true}}, false,
     kLostBatteryFell},
    {"BatteryOverheated", {{T::HERO, 100, 300}, {T::BATTERY, 300, 300}}, true, kLostBatteryOverheated},
    {"OnlyHeroOffTheField", {{T::HERO, 300, 600, true}, {T::BATTERY, 500, 100}}, false,
     kLostHeroFell},
    {"OneOfTwoHeroesOffTheField",
     {{T::HERO, 300, 600, true}, {T::HERO, 100, 300}, {T::BATTERY, 500, 100}}, false, ""},
};

TEST_P(LevelLost, TheFailureFormNamesWhyTheLevelCanNoLongerBeWon) {
  StartWithLevels({GetParam().Level});
  PlayLevel(0);
  if (GetParam().Overheat) GameScene->Map->World->Batteries.at(0)->Heat = 300;
  Tick(kTicks);
  EXPECT_EQ(Shown(), GetParam().Reason);
}

INSTANTIATE_TEST_SUITE_P(Cases, LevelLost, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.Name); });

// A battery swinging far below the field on a rope from a static anchor can
// still come back; once the rope is burnt through it cannot.
TEST_F(LevelLost, ARopeFromAStaticAnchorHoldsABatteryUntilItIsBurnt) {
  TMap map(kCellSize);
  std::string error;
  ASSERT_TRUE(BuildLevelFromScript("hero 100 300 static\nanchor: square 20 683 static\n"
                                   "cell: battery 600 683\nrope anchor cell\n",
                                   &map, &error));
  Data = std::make_unique<TestData>(false);
  ASSERT_TRUE(map.SaveToFile(LevelDir() + "/1001.map", &error)) << error;
  StartGame(Data->Dir());
  PlayLevel(0);
  Tick(300);
  ASSERT_GT(GameScene->Map->World->Batteries.at(0)->Body->GetPosition().y, 800);
  EXPECT_EQ(Shown(), "");
  TRope& rope = *GameScene->Map->Ropes.at(0);
  b2Body* segment = rope.Segments.at(rope.Segments.size() / 2);
  while (segment->IsEnabled()) rope.LaserHit(segment, TLazer::kHot);
  Tick(kTicks);
  EXPECT_EQ(Shown(), kLostBatteryFell);
}

}  // namespace
