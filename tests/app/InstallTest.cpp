// The game as a player gets it: installed with cmake --install into a prefix
// of its own and started from another folder, with a home folder of its own.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/TestSupport.h"

namespace fs = std::filesystem;

namespace {

class Installed : public ::testing::Test {
 protected:
  void SetUp() override {
    RunResult r = RunCommand("'" KELVOD_CMAKE "' --install '" KELVOD_BINARY_DIR "' --prefix '" +
                             Prefix.Path().string() + "'");
    ASSERT_EQ(r.Status, 0) << r.Output;
  }
  // Runs the installed game in the folder `Elsewhere`, HOME at `Home`.
  RunResult Run(const std::string& args) {
    return RunCommand("cd '" + Elsewhere.Path().string() + "' && env -u XDG_DATA_HOME -u XDG_STATE_HOME 'HOME=" +
                      Home.Path().string() + "' '" + (Prefix.Path() / "bin" / "kelvod").string() + "' " + args);
  }
  nlohmann::json Dump(const std::string& replay, int ticks, const std::string& more = "") {
    WriteText(Elsewhere.File("in.replay"), replay);
    RunResult r = Run("--headless --seed 7 --replay in.replay --ticks " + std::to_string(ticks) +
                      " --dump d.json " + more);
    EXPECT_EQ(r.Status, 0) << r.Output;
    return ReadJson(Elsewhere.File("d.json"));
  }
  TempDir Prefix, Home, Elsewhere;
};

TEST_F(Installed, WinsAShippedLevelMarksItAndSavesAnEditorLevelIntoThePlayersFolder) {
  for (const char* file : {"share/kelvod/panel_r.png", "share/kelvod/level/1001.map", "share/applications/kelvod.desktop",
                           "share/metainfo/kelvod.metainfo.xml", "share/mime/packages/kelvod.xml",
                           "share/icons/hicolor/scalable/apps/kelvod.svg",
                           "share/icons/hicolor/256x256/apps/kelvod.png", "share/man/man6/kelvod.6.gz"})
    EXPECT_TRUE(fs::is_regular_file(Prefix.Path() / file)) << file;
  RunResult version = Run("--version");
  EXPECT_EQ(version.Output, "kelvod " KELVOD_VERSION "\n");

  const std::string solution = ReadText(KELVOD_SOURCE_DIR "/tests/solutions/1001.replay");
  auto won = Dump(solution, 800, "--level 0");
  EXPECT_EQ(won["game"]["win_visible"], true);
  EXPECT_TRUE(fs::is_regular_file(Home.Path() / ".local/state/kelvod/progress.json"));

  // The main menu's "Загрузить" shows the chooser with the level marked.
  auto chooser = Dump("1 move 512 336\n1 click left\n", 3);
  ASSERT_TRUE(chooser["level_menu"]["visible"]);
  EXPECT_EQ(chooser["level_menu"]["levels"][0]["won"], true);
  EXPECT_EQ(chooser["level_menu"]["levels"][1]["won"], false);

  // The editor: one block, then "Меню", "Сохранить" and the "+" entry after
  // the shipped levels, on the chooser's last page of thirty.
  const size_t shipped = chooser["level_menu"]["levels"].size();
  const int slot = static_cast<int>(shipped % 30);
  const std::string plus = std::to_string(344 + 84 * (slot % 5)) + " " + std::to_string(256 + 84 * (slot / 5));
  Dump("1 move 512 388\n1 click left\n110 move 50 180\n112 click left\n115 move 389 314\n117 click left\n"
       "120 move 90 32\n122 click left\n145 move 512 336\n147 click left\n170 move " + plus + "\n172 click left\n",
       175);
  const fs::path saved = Home.Path() / ".local/share/kelvod/level" / (std::to_string(1001 + shipped) + ".map");
  EXPECT_TRUE(fs::is_regular_file(saved)) << saved;
  EXPECT_FALSE(fs::exists(Prefix.Path() / "share/kelvod/level" / saved.filename()));
  auto listed = Dump("1 move 512 336\n1 click left\n", 3);
  EXPECT_EQ(listed["level_menu"]["levels"].size(), shipped + 1) << "the player's level is listed";
}

}  // namespace
