#include "ui/uLang.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>

#include "support/TestSupport.h"

namespace fs = std::filesystem;

namespace {

// Every text the code marks has a translation, neither missing nor fuzzy, in
// every catalogue of po/ (msgcmp compares them with what xgettext finds).
TEST(Catalogues, TranslateEveryTextTheGameShows) {
  TempDir dir;
  const std::string src = std::string(KELVOD_SOURCE_DIR) + "/src";
  RunResult pot = RunCommand("find '" + src + "' -name '*.cpp' -o -name '*.h' | xgettext --files-from=- "
                             "--from-code=UTF-8 --language=C++ --keyword=Tr --keyword=TrF --keyword=N_ -o '" +
                             dir.File("game.pot") + "'");
  ASSERT_EQ(pot.Status, 0) << pot.Output;
  int catalogues = 0;
  for (const auto& po : fs::directory_iterator(fs::path(KELVOD_SOURCE_DIR) / "po")) {
    if (po.path().extension() != ".po") continue;
    ++catalogues;
    RunResult cmp = RunCommand("msgcmp '" + po.path().string() + "' '" + dir.File("game.pot") + "'");
    EXPECT_EQ(cmp.Status, 0) << po.path().filename() << " lacks translations (tools/update_po.sh):\n"
                             << cmp.Output;
  }
  EXPECT_GE(catalogues, 1);
}

TEST(Lang, FallsBackToTheGamesOwnTextAndFillsInArguments) {
  SetCatalogueDirs({std::string(KELVOD_BINARY_DIR) + "/locale"});
  SetLanguage("en");
  EXPECT_EQ(Tr("Меню"), "Menu");
  EXPECT_EQ(Tr("Нет такого текста"), "Нет такого текста");
  EXPECT_EQ(TrF("Открыт уровень %s", {"007"}), "Level 007 opened");
  EXPECT_EQ(Languages(), (std::vector<std::string>{"ru", "en"}));
  SetLanguage("xx");  // no catalogue: the Russian texts
  EXPECT_EQ(Tr("Меню"), "Меню");
  EXPECT_EQ(Language(), "xx");
  SetLanguage(kBaseLanguage);
  EXPECT_EQ(TrF("Открыт уровень %s", {"007"}), "Открыт уровень 007");
}

struct LocaleCase {
  const char *language, *all, *messages, *lang, *expected;
};

TEST(Lang, TheLocaleAsksRussianOrAnotherLanguage) {
  const LocaleCase cases[] = {
      {"", "", "", "ru_RU.UTF-8", "ru"},    {"", "", "", "de_DE.UTF-8", "en"},
      {"", "", "", "", "en"},               {"", "C", "", "ru_RU.UTF-8", "en"},
      {"", "", "ru_UA", "en_US", "ru"},     {"de:ru:en", "", "", "en_US", "ru"},
      {"de:en", "", "", "ru_RU", "en"},     {"", "en_GB.UTF-8@euro", "", "ru_RU", "en"},
  };
  const char* const names[] = {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"};
  std::vector<std::optional<std::string>> old;
  for (const char* name : names) old.push_back(std::getenv(name) ? std::optional<std::string>(std::getenv(name)) : std::nullopt);
  for (const LocaleCase& c : cases) {
    setenv("LANGUAGE", c.language, 1);
    setenv("LC_ALL", c.all, 1);
    setenv("LC_MESSAGES", c.messages, 1);
    setenv("LANG", c.lang, 1);
    EXPECT_EQ(LanguageFromLocale({"ru", "en"}), c.expected)
        << c.language << "|" << c.all << "|" << c.messages << "|" << c.lang;
  }
  for (size_t i = 0; i < old.size(); ++i) old[i] ? setenv(names[i], old[i]->c_str(), 1) : unsetenv(names[i]);
}

}  // namespace
