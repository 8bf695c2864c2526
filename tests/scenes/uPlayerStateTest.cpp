#include "scenes/uPlayerState.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "support/TestSupport.h"

namespace fs = std::filesystem;

namespace {

TEST(PlayerState, WithoutAFolderNothingIsWrittenButTheGameRemembers) {
  TPlayerState state;
  state.Load();
  state.SetWon("1001.map", false);
  state.SetSoundMuted(true);
  EXPECT_TRUE(state.Won("1001.map", false));
  EXPECT_FALSE(state.Won("1001.map", true)) << "a player's own level of the same name is another level";
  EXPECT_TRUE(state.SoundMuted());
  EXPECT_FALSE(fs::exists("progress.json"));
  EXPECT_FALSE(fs::exists("settings.json"));
}

TEST(PlayerState, ProgressAndSettingsSurviveARestart) {
  TempDir temp;
  const fs::path folder = temp.Path() / "state" / "kelvod";  // made at the first save
  {
    TPlayerState state(folder);
    state.Load();
    state.SetWon("1001.map", false);
    state.SetWon("1003.map", false);
    state.SetWon("1031.map", true);
    state.SetWon("1003.map", false, false);
    state.SetSoundMuted(true);
  }
  TPlayerState again(folder);
  again.Load();
  EXPECT_TRUE(again.Won("1001.map", false));
  EXPECT_FALSE(again.Won("1003.map", false));
  EXPECT_TRUE(again.Won("1031.map", true));
  EXPECT_FALSE(again.Won("1031.map", false));
  EXPECT_TRUE(again.SoundMuted());
  EXPECT_FALSE(fs::exists(folder / "progress.json.saving"));
}

// Two windows of the game on one state folder, both started before either
// saved: each save keeps what the other saved, value by value.
TEST(PlayerState, TwoCopiesKeepEachOthersWinsAndSettings) {
  TempDir temp;
  TPlayerState a(temp.Path()), b(temp.Path());
  a.Load();
  b.Load();
  a.SetWon("1001.map", false);
  a.SetWon("1004.map", false);
  a.SetSoundVolume(30);
  b.SetWon("1002.map", false);
  b.SetSoundMuted(true);
  a.SetWon("1004.map", false, false);  // saved again in the editor: no longer won
  EXPECT_TRUE(b.Refresh());
  b.SetWon("1003.map", true);
  b.SetLanguageSetting("en");
  TPlayerState c(temp.Path());
  c.Load();
  for (const char* name : {"1001.map", "1002.map"}) EXPECT_TRUE(c.Won(name, false)) << name;
  EXPECT_TRUE(c.Won("1003.map", true));
  EXPECT_FALSE(c.Won("1004.map", false)) << "a window that did not forget the win does not bring it back";
  EXPECT_EQ(c.SoundVolume(), 30) << "a window that did not touch the volume does not put it back";
  EXPECT_TRUE(c.SoundMuted());
  EXPECT_EQ(c.LanguageSetting(), "en");
  EXPECT_TRUE(b.Won("1001.map", false)) << "the other window's win is known after a save";
  a.Refresh();
  EXPECT_FALSE(a.Refresh()) << "nothing new the second time";
}

// What can be found where the progress file should be.
struct Damage {
  const char* name;
  void (*make)(const fs::path& file);
};

class DamagedProgress : public ::testing::TestWithParam<Damage> {};

TEST_P(DamagedProgress, MeansNoProgressAndIsKeptAsideAtTheFirstSave) {
  TempDir temp;
  const fs::path file = temp.Path() / "progress.json";
  GetParam().make(file);
  const std::string before = fs::is_regular_file(file) ? ReadText(file.string()) : "";
  TPlayerState state(temp.Path());
  testing::internal::CaptureStderr();
  state.Load();
  const std::string said = testing::internal::GetCapturedStderr();
  EXPECT_NE(said.find("progress.json"), std::string::npos) << said;
  EXPECT_FALSE(state.Won("1001.map", false));

  state.SetWon("1002.map", false);
  TPlayerState again(temp.Path());
  again.Load();
  EXPECT_TRUE(again.Won("1002.map", false)) << "the new progress is saved";
  ASSERT_TRUE(fs::exists(temp.File("progress.json.bad"))) << "the damaged file is kept";
  if (fs::is_regular_file(temp.File("progress.json.bad"))) {
    EXPECT_EQ(ReadText(temp.File("progress.json.bad")), before);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DamagedProgress,
    ::testing::Values(Damage{"Garbage", [](const fs::path& f) { WriteText(f.string(), "{\"won\": [\"10"); }},
                      Damage{"Empty", [](const fs::path& f) { WriteText(f.string(), ""); }},
                      Damage{"NotAnObject", [](const fs::path& f) { WriteText(f.string(), "[1, 2]"); }},
                      Damage{"AFolder", [](const fs::path& f) { fs::create_directories(f); }},
                      Damage{"APipe", [](const fs::path& f) { mkfifo(f.c_str(), 0600); }},
                      Damage{"ALinkToDevZero", [](const fs::path& f) { fs::create_symlink("/dev/zero", f); }},
                      Damage{"TooLarge", [](const fs::path& f) { WriteText(f.string(), std::string(1 << 20, '[')); }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PlayerState, WrongEntriesAreSkippedAndTheRestIsKept) {
  TempDir temp;
  WriteText(temp.File("progress.json"), R"({"won": ["1001.map", 7, null], "won_own": "x"})");
  WriteText(temp.File("settings.json"), R"({"sound_muted": "yes"})");
  WriteText(temp.File("progress.json.saving-Ab12Cd"), "left by a save cut short");
  fs::last_write_time(temp.File("progress.json.saving-Ab12Cd"), fs::file_time_type::clock::now() - std::chrono::minutes(2));
  TPlayerState state(temp.Path());
  state.Load();
  EXPECT_FALSE(fs::exists(temp.File("progress.json.saving-Ab12Cd")));
  EXPECT_TRUE(state.Won("1001.map", false));
  EXPECT_FALSE(state.SoundMuted());
}

TEST(PlayerState, AStateFolderThatCannotBeMadeIsReportedAndPlayGoesOn) {
  TempDir temp;
  WriteText(temp.File("taken"), "a file, not a folder");
  TPlayerState state(temp.Path() / "taken" / "kelvod");
  state.Load();
  testing::internal::CaptureStderr();
  state.SetWon("1001.map", false);
  const std::string said = testing::internal::GetCapturedStderr();
  EXPECT_NE(said.find("cannot save"), std::string::npos) << said;
  EXPECT_TRUE(state.Won("1001.map", false));
  EXPECT_EQ(ReadText(temp.File("taken")), "a file, not a folder");
}

}  // namespace
