// Saving through a temporary file: every save has its own, the target keeps
// its permission bits, and temporaries a crashed save left are cleared once
// they are stale, never while another copy of the game may be writing them.
#include "engine/uSafeFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "support/TestSupport.h"

namespace {

namespace fs = std::filesystem;

mode_t ModeOf(const std::string& path) {
  struct stat st {};
  stat(path.c_str(), &st);
  return st.st_mode & 0777;
}

TEST(SafeFile, EverySaveHasItsOwnTemporaryAndKeepsThePermissionBits) {
  TempDir dir;
  const std::string target = dir.File("1001.map");
  WriteText(target, "old");
  chmod(target.c_str(), 0640);
  // Another copy of the game is in the middle of its own save.
  WriteText(target + ".saving", "the other copy's bytes");
  std::string error;
  ASSERT_TRUE(SafeWriteFile(target, "new", &error)) << error;
  EXPECT_EQ(ReadText(target), "new");
  EXPECT_EQ(ModeOf(target), 0640u);
  EXPECT_EQ(ReadText(target + ".saving"), "the other copy's bytes");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 2);
}

// A new file takes the umask's bits, but stays readable by the game that
// saved it even under a umask that masks everything (a browser's).
TEST(SafeFile, ANewFileFollowsTheUmaskButItsOwnerCanReadIt) {
  TempDir dir;
  std::string error;
  for (auto [mask, expected] : {std::pair<mode_t, mode_t>{022, 0644}, {077, 0600}, {0777, 0600}}) {
    const std::string target = dir.File("new" + std::to_string(mask) + ".map");
    const mode_t before = umask(mask);
    const bool saved = SafeWriteFile(target, "new", &error);
    umask(before);
    ASSERT_TRUE(saved) << error;
    EXPECT_EQ(ModeOf(target), expected) << "umask " << std::oct << mask;
  }
}

TEST(SafeFile, OnlyStaleTemporariesAreRemoved) {
  TempDir dir;
  const auto old = fs::file_time_type::clock::now() - std::chrono::minutes(2);
  struct Case {
    const char* Name;
    bool Old, Stays;
  };
  const Case cases[] = {
      {"1001.map.saving-a1B2c3", true, false}, {"1002.map.saving-zzzzzz", false, true},
      {"1003.map.saving", true, false},        {"1004.map", true, true},
      {"notes.saving-abc", true, true},
  };
  for (const Case& c : cases) {
    WriteText(dir.File(c.Name), "x");
    if (c.Old) fs::last_write_time(dir.File(c.Name), old);
  }
  RemoveStaleTemporaries(dir.Path().string());
  for (const Case& c : cases) EXPECT_EQ(fs::exists(dir.File(c.Name)), c.Stays) << c.Name;
}

// Only regular files are read, never past the limit; nothing blocks.
TEST(SafeFile, ReadsOnlyRegularFilesAndNeverPastTheLimit) {
  TempDir dir;
  WriteText(dir.File("small"), "12345");
  WriteText(dir.File("large"), std::string(100, 'x'));
  mkfifo(dir.File("pipe").c_str(), 0600);  // no writer: opening it for reading would wait
  fs::create_symlink("/dev/zero", dir.File("zero"));
  fs::create_symlink(dir.File("small"), dir.File("link"));
  fs::create_directory(dir.File("folder"));
  const std::pair<const char*, TFileRead> cases[] = {
      {"small", TFileRead::OK},         {"link", TFileRead::OK},          {"large", TFileRead::TOO_LARGE},
      {"pipe", TFileRead::NOT_A_FILE},  {"zero", TFileRead::NOT_A_FILE},  {"folder", TFileRead::NOT_A_FILE},
      {"missing", TFileRead::MISSING}};
  for (const auto& [name, expected] : cases) {
    std::string bytes;
    EXPECT_EQ(ReadFileSafely(dir.File(name), 10, &bytes), expected) << name;
    EXPECT_LE(bytes.size(), 10u) << name;
  }
}

// A damaged file kept aside never replaces one kept earlier; a save through
// a link writes the file it leads to and keeps the link.
TEST(SafeFile, KeepsEveryDamagedFileAndWritesThroughLinks) {
  TempDir dir;
  const std::string state = dir.File("progress.json");
  for (const char* text : {"first", "second", "third"}) {
    WriteText(state, text);
    EXPECT_NE(KeepAside(state), "");
  }
  EXPECT_EQ(ReadText(state + ".bad"), "first");
  EXPECT_EQ(ReadText(state + ".bad-3"), "third");
  fs::create_directory(dir.File("real"));
  fs::create_symlink("real/progress.json", state);
  std::string error;
  ASSERT_TRUE(SafeWriteFile(state, "{}", &error)) << error;
  EXPECT_TRUE(fs::is_symlink(state));
  EXPECT_EQ(ReadText(dir.File("real/progress.json")), "{}");
}

}  // namespace
