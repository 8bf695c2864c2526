#include "support/TestSupport.h"

#include <sys/wait.h>

#include <atomic>
#include <cstdio>
#include <fstream>
#include <random>
#include <sstream>

#include "app/uGlobals.h"
#include "app/uProgram.h"

namespace fs = std::filesystem;

TempDir::TempDir() {
  static std::atomic<int> counter{0};
  std::random_device rd;
  fs::path base = fs::temp_directory_path();
  do {
    Dir = base / ("kelvod-test-" + std::to_string(rd()) + "-" + std::to_string(counter++));
  } while (fs::exists(Dir));
  fs::create_directories(Dir);
}

TempDir::~TempDir() {
  std::error_code ec;
  fs::permissions(Dir, fs::perms::owner_all, fs::perm_options::add, ec);
  fs::remove_all(Dir, ec);
}

void WriteText(const std::string& path, const std::string& text) {
  fs::create_directories(fs::path(path).parent_path());
  std::ofstream(path, std::ios::binary) << text;
}

std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

TestData::TestData(bool withArt) {
  fs::path data = Temp.Path() / "data";
  fs::create_directories(data / "level");
  if (!withArt) return;
  fs::path source = fs::path(KELVOD_SOURCE_DIR) / "data";
  for (const char* name : {"panel_r.png", "m.png", "font_1.zfi"}) {
    std::error_code ec;
    fs::copy_file(source / name, data / name, ec);
  }
  std::error_code ec;
  fs::copy(source / "sound", data / "sound", ec);
}

void GameTest::SetUp() {
  eng_Reset();
  eng_SetBackend(&Recorder);
}

void GameTest::TearDown() {
  if (Started) FreeGlobals();
  eng_Reset();
}

void GameTest::StartGame(const std::string& dataDir) {
  if (dataDir.empty()) {
    Data = std::make_unique<TestData>(false);
    SetDataDir(Data->Dir());
  } else {
    SetDataDir(dataDir);
  }
  RandomSeed(1);
  zgl_Reg(SYS_LOAD, OnLoad);
  zgl_Reg(SYS_DRAW, OnDraw);
  timer_Add(OnTimer, 15);
  eng_SetBackend(&Recorder);
  OnLoad();
  Started = true;
}

void GameTest::Tick(int n) {
  for (int i = 0; i < n; ++i) {
    OnTimer();
    Recorder.Calls.clear();
    OnDraw();
  }
}

void GameTest::ClickAt(int x, int y, int button) {
  eng_SetMouse(x, y);
  eng_SetButton(button, true);
  eng_SetButton(button, false);
  Tick();
}

const std::vector<zglDrawCall>& GameTest::DrawFrame() {
  Recorder.Calls.clear();
  OnDraw();
  return Recorder.Calls;
}

RunResult RunKelvod(const std::vector<std::string>& args, const std::vector<std::string>& env) {
  static TempDir home;
  std::string cmd = "env -u XDG_DATA_HOME -u XDG_STATE_HOME 'HOME=" + home.Path().string() + "'";
  for (const auto& e : env) cmd += " '" + e + "'";
  cmd += std::string(" '") + KELVOD_EXE + "'";
  for (const auto& a : args) cmd += " '" + a + "'";
  return RunCommand(cmd);
}

RunResult RunCommand(const std::string& command) {
  const std::string cmd = command + " 2>&1";
  RunResult r;
  FILE* pipe = popen(cmd.c_str(), "r");
  if (!pipe) return r;
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) r.Output.append(buffer, n);
  int status = pclose(pipe);
  r.Status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return r;
}

nlohmann::json ReadJson(const std::string& path) {
  std::ifstream in(path);
  if (!in) return nullptr;
  return nlohmann::json::parse(in, nullptr, false);
}
