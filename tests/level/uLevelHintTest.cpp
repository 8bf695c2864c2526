#include "level/uLevelHint.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/TestSupport.h"

TEST(LevelHint, LivesBesideItsLevel) {
  EXPECT_EQ(HintPathFor("/d/level/1001.map"), "/d/level/1001.hint");
  EXPECT_EQ(HintPathFor("/d.x/level/plain"), "/d.x/level/plain.hint");
}

TEST(LevelHint, IsShownAsAtMostTwoTidyLines) {
  const std::pair<std::string, std::string> cases[] = {
      {"Щёлкните по роботу\n", "Щёлкните по роботу"},
      {"one\r\ntwo\r\n\r\n", "one\ntwo"},
      {"one\ntwo\nthree\n", "one\ntwo"},
      {"bad \xFF byte", "bad \xEF\xBF\xBD byte"},
      {std::string(kMaxHintBytes - 1, 'a') + "Ж", std::string(kMaxHintBytes - 1, 'a')},
      {"", ""},
  };
  for (const auto& [in, out] : cases) EXPECT_EQ(NormalizeHint(in), out) << in;
}

TEST(LevelHint, SavesLoadsAndRemoves) {
  TempDir dir;
  const std::string level = dir.File("1003.map");
  std::string error;
  EXPECT_EQ(LoadLevelHint(level), "");
  ASSERT_TRUE(SaveLevelHint(level, "Бомба\nвзорвётся", &error)) << error;
  EXPECT_EQ(ReadText(dir.File("1003.hint")), "Бомба\nвзорвётся\n");
  EXPECT_EQ(LoadLevelHint(level), "Бомба\nвзорвётся");
  ASSERT_TRUE(SaveLevelHint(level, "", &error)) << error;
  EXPECT_FALSE(std::filesystem::exists(dir.File("1003.hint")));
  EXPECT_TRUE(SaveLevelHint(level, "", &error)) << "no hint to remove is fine";
  EXPECT_FALSE(SaveLevelHint(dir.File("missing/1.map"), "x", &error));
  EXPECT_FALSE(error.empty());
}
