#include "level/uLevelScript.h"

#include <gtest/gtest.h>

#include "level/uMap.h"
#include "sim/uHero.h"
#include "sim/uRope.h"

namespace {

TEST(LevelScript, BuildsTheEditorsObjectsWithTheirOptions) {
  TMap map(35);
  std::string error;
  ASSERT_TRUE(BuildLevelFromScript(
      "# a comment\n"
      "h: hero 300 600 interactive\n"
      "m: tall 105 210 static mirror angle=45 grow=8,0  # trailing comment\n"
      "ball 35 70 white\n"
      "rope h m\n"
      "rope m h 0 -30 1 2\n",
      &map, &error))
      << error;
  ASSERT_EQ(map.Objects.size(), 3u);
  EXPECT_STREQ(map.Objects[0]->ClassName(), "THero");
  EXPECT_TRUE(map.Objects[0]->Interactive);
  const TMapObj& m = *map.Objects[1];
  EXPECT_EQ(std::tie(m.X, m.Y, m.Angle, m.Width, m.SpriteDX), std::make_tuple(105, 210, 45, 34, -17));
  EXPECT_FALSE(m.Dynamic);
  EXPECT_EQ(m.Frame, 2);
  EXPECT_EQ(map.Objects[2]->Frame, 1);
  ASSERT_EQ(map.Ropes.size(), 2u);
  EXPECT_EQ(map.Ropes[0]->ObjectA, map.Objects[0].get());
  EXPECT_EQ(map.Ropes[1]->OffsetAY, -30);
  EXPECT_EQ(map.Ropes[1]->OffsetBY, 2);
}

TEST(LevelScript, MistakesNameTheLineAndLeaveTheMapEmpty) {
  const std::pair<const char*, const char*> cases[] = {
      {"hero 1 2\nbrick 3 4\n", "line 2: unknown kind"},
      {"hero 1\n", "line 1: expected"},
      {"bomb 1 2 mirror\n", "line 1: this kind cannot be mirror"},
      {"a: ball 1 2\nrope a b\n", "line 2: a rope joins two labelled objects"},
      {"a: ball 1 2\nrope a a\n", "line 2: a rope joins two different objects"},
      {"a: ball 1 2\na: ball 3 4\n", "line 2: the label"},
      {"square 1 2 grow=-20,0\n", "line 1: the object would become too small"},
      {"square 1 2 shiny\n", "line 1: unknown option"},
  };
  for (const auto& [script, expected] : cases) {
    TMap map(35);
    std::string error;
    EXPECT_FALSE(BuildLevelFromScript(script, &map, &error)) << script;
    EXPECT_EQ(error.rfind(expected, 0), 0u) << script << " gave: " << error;
    EXPECT_TRUE(map.Objects.empty());
  }
}

}  // namespace
