#include "ui/uLang.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "support/TestSupport.h"

// Every text the code marks has a translation, neither missing nor fuzzy, in
// every catalogue of po/ (msgcmp compares each with what xgettext finds).
TEST(Catalogues, TranslateEveryTextTheGameShows) {
  TempDir dir;
  const std::string source = KELVOD_SOURCE_DIR;
  ASSERT_EQ(RunCommand("find '" + source + "/src' -name '*.cpp' -o -name '*.h' | xgettext --files-from=- "
                       "--from-code=UTF-8 -LC++ -kTr -kTrF -kN_ -o '" + dir.File("game.pot") + "'").Status, 0);
  for (const auto& po : std::filesystem::directory_iterator(source + "/po")) {
    if (po.path().extension() != ".po") continue;
    RunResult cmp = RunCommand("msgcmp '" + po.path().string() + "' '" + dir.File("game.pot") + "'");
    EXPECT_EQ(cmp.Status, 0) << po.path() << " lacks translations (tools/update_po.sh):\n" << cmp.Output;
  }
}

TEST(Lang, FallsBackToTheGamesOwnTextAndFillsInArguments) {
  SetCatalogueDirs({std::string(KELVOD_BINARY_DIR) + "/locale"});
  SetLanguage("en");
  EXPECT_EQ(Tr("Меню") + Tr("Нет такого текста") + TrF("Открыт уровень %s", {"007"}), "MenuНет такого текстаLevel 007 opened");
  EXPECT_EQ(Languages(), (std::vector<std::string>{"ru", "en"}));
  SetLanguage("xx");  // no catalogue: the Russian texts
  EXPECT_EQ(Tr("Меню") + Language(), "Менюxx");
  SetLanguage(kBaseLanguage);
  EXPECT_EQ(TrF("Открыт уровень %s", {"007"}), "Открыт уровень 007");
}

TEST(Lang, TheLocaleAsksRussianOrAnotherLanguage) {
  // LANGUAGE, LC_ALL, LC_MESSAGES, LANG: the first one set decides.
  const std::vector<std::pair<std::vector<const char*>, const char*>> cases = {
      {{"", "", "", "ru_RU.UTF-8"}, "ru"}, {{"", "", "", "de_DE.UTF-8"}, "en"}, {{"", "", "", ""}, "en"},
      {{"", "C", "", "ru_RU.UTF-8"}, "en"}, {{"", "", "ru_UA", "en_US"}, "ru"}, {{"de:ru:en", "", "", "en_US"}, "ru"},
      {{"de:en", "", "", "ru_RU"}, "en"}, {{"", "en_GB.UTF-8@euro", "", "ru_RU"}, "en"}};
  const char* const names[] = {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"};
  for (const auto& [values, expected] : cases) {
    for (int i = 0; i < 4; ++i) setenv(names[i], values[i], 1);
    EXPECT_EQ(LanguageFromLocale({"ru", "en"}), expected) << values[0] << "|" << values[1] << "|" << values[3];
  }
  for (const char* name : names) unsetenv(name);  // no other test reads the locale
}
