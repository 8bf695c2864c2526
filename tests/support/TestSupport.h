// Helpers shared by the tests: temporary folders, a game built on the
// recording backend, and runs of the real executable.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "engine/engine.h"

// A fresh folder under the system's temp folder, removed with everything in it.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& Path() const { return Dir; }
  std::string File(const std::string& name) const { return (Dir / name).string(); }

 private:
  std::filesystem::path Dir;
};

// Writes `text` to `path`, creating folders as needed.
void WriteText(const std::string& path, const std::string& text);
std::string ReadText(const std::string& path);

// A copy of the repository's data folder (atlas, title, font, sounds) with an empty
// level folder, in a temp folder the test owns.
class TestData {
 public:
  explicit TestData(bool withArt = true);
  std::string Dir() const { return Temp.Path().string() + "/data"; }
  std::string Level(const std::string& name) const { return Dir() + "/level/" + name; }

 private:
  TempDir Temp;
};

// The whole game, started as the program starts it, drawing into a recording
// backend; ticks are run by hand.
class GameTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  // Starts the program's globals on `dataDir` (default: an empty data folder).
  void StartGame(const std::string& dataDir = "");
  // One timer tick followed by one frame, as the engine runs them.
  void Tick(int n = 1);
  // Moves the pointer and presses and releases the left button in one tick.
  void ClickAt(int x, int y, int button = M_BLEFT);
  void MoveTo(int x, int y) { eng_SetMouse(x, y); }
  // The frame the program would draw now.
  const std::vector<zglDrawCall>& DrawFrame();

  zglRecordingBackend Recorder;
  std::unique_ptr<TestData> Data;
  bool Started = false;
};

// Runs the real executable with `args`; returns its exit status. Its HOME is
// a temp folder of the test process (with the XDG variables unset), so a run
// without --data never reaches a real home folder; `env` ("NAME=value")
// sets more variables or overrides these.
struct RunResult {
  int Status = -1;
  std::string Output;  // stdout and stderr together
};
RunResult RunKelvod(const std::vector<std::string>& args, const std::vector<std::string>& env = {});
// Runs a shell command line, stdout and stderr together.
RunResult RunCommand(const std::string& command);
nlohmann::json ReadJson(const std::string& path);
