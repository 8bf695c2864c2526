#include "engine/uUtf8.h"

#include <gtest/gtest.h>

TEST(Utf8, BadBytesAreReplacedAndGoodTextIsKept) {
  const std::pair<std::string, std::string> cases[] = {
      {"1001.map", "1001.map"},
      {"Уровень ✓ 😀", "Уровень ✓ 😀"},
      {"\xCF\xF0\xE8.map", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD.map"},  // cp1251 "При"
      {"a\xC3", "a\xEF\xBF\xBD"},                                       // cut short
      {"\xC0\xAF", "\xEF\xBF\xBD\xEF\xBF\xBD"},                         // overlong
      {"\xED\xA0\x80", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},         // surrogate
      {"\xF4\x90\x80\x80", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},  // beyond U+10FFFF
  };
  for (const auto& [in, out] : cases) EXPECT_EQ(SanitizeUtf8(in), out) << in;
}
