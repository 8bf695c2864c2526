// One frame of the busiest screens (and of a scene switch's fade), drawn at 1024x768 through the game's own
// drawing code: into SDL's software renderer (what a window without a GPU
// and every screenshot use; the goal is 4 ms), and, where a display is
// available, into a hidden window with SDL's GPU renderer.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/uGlobals.h"
#include "app/uProgram.h"
#include "app/uReplay.h"
#include "ui/uScene.h"
#include "editor/uEditor.h"
#include "engine/engine.h"
#include "level/uMap.h"

namespace fs = std::filesystem;

namespace {

enum class Screen { EditorEmpty, EditorBusy, EditorMenu, PlayBlast, PlaySwarm, Fade };
enum class Target { Software, Gpu };

const char* kBusiestLevel = "1008.map";  // the most objects of the campaign
constexpr int32_t kBusiestLevelIndex = 7;
constexpr uint64_t kBlastTick = 167;  // its solution: the first bomb's blast, beam hot
constexpr uint64_t kSwarmTick = 470;  // its solution: the battery's swarm flies to the hero

// A copy of the shipped data in a temp folder: the game scans and may tidy
// its level folder, and a benchmark never touches the repository's.
class DataCopy {
 public:
  DataCopy() {
    Dir = fs::temp_directory_path() / ("kelvod-bench-" + std::to_string(::getpid()));
    fs::create_directories(Dir);
    fs::copy(fs::path(KELVOD_SOURCE_DIR) / "data", Dir / "data", fs::copy_options::recursive);
  }
  ~DataCopy() {
    std::error_code ec;
    fs::remove_all(Dir, ec);
  }
  fs::path Data() const { return Dir / "data"; }

 private:
  fs::path Dir;
};

// The program as it starts, then brought to `screen` by ticks and replays,
// drawing each tick's frame nowhere as a headless run does.
class ScreenRun {
 public:
  explicit ScreenRun(Screen screen) {
    eng_Reset();
    SetDataDir(Data.Data());
    RandomSeed(7);
    zgl_Reg(SYS_DRAW, OnDraw);
    timer_Add(OnTimer, 15);
    LoadResources();
    const bool play = screen == Screen::PlayBlast || screen == Screen::PlaySwarm;
    CreateScenes(play ? std::optional<int32_t>(kBusiestLevelIndex) : std::nullopt);
    if (play) {
      Replay(fs::path(KELVOD_SOURCE_DIR) / "tests" / "solutions" / "1008.replay",
             screen == Screen::PlayBlast ? kBlastTick : kSwarmTick);
    } else if (screen == Screen::Fade) {
      Click(512, 388);  // "Редактор карт": the fade to white begins
      Ticks(30);
    } else {
      EditorScene->Activate();
      if (screen != Screen::EditorEmpty) EditorScene->Map->LoadFromFile(LevelDir() + kBusiestLevel);
      if (screen == Screen::EditorMenu) Click(90, 32);  // "Меню": the file menu over the editor
      eng_SetMouse(600, 400);
      Ticks(2);
    }
  }
  ~ScreenRun() {
    FreeGlobals();
    eng_Reset();
  }
  bool Ok = true;

 private:
  void Ticks(uint64_t n) {
    for (uint64_t i = 0; i < n; ++i) OneTick();
  }
  void Click(int x, int y) {
    eng_SetMouse(x, y);
    eng_SetButton(M_BLEFT, true);
    OneTick();
    eng_SetButton(M_BLEFT, false);
    OneTick();
  }
  void OneTick() {
    OnTimer();
    OnDraw();
  }
  void Replay(const fs::path& path, uint64_t ticks) {
    std::vector<TReplayEvent> events;
    std::string error;
    if (!LoadReplay(path.string(), &events, &error)) {
      Ok = false;
      return;
    }
    TReplayPlayer player(std::move(events));
    for (uint64_t t = 1; t <= ticks; ++t) {
      player.BeforeTick(t);
      OneTick();
    }
  }
  DataCopy Data;
};

void BM_Frame(benchmark::State& state, Screen screen, Target kind) {
  ScreenRun run(screen);
  if (!run.Ok) {
    state.SkipWithError("the solution replay cannot be read");
    return;
  }
  std::string error;
  std::unique_ptr<zglFrameTarget> target =
      kind == Target::Software ? zglFrameTarget::Offscreen(1024, 768, &error)
                               : zglFrameTarget::HiddenWindow(1024, 768, &error);
  if (!target) {
    state.SkipWithError(error.c_str());
    return;
  }
  state.SetLabel(target->Description());
  target->DrawFrame();  // textures and captions are made once, as in a window
  for (auto _ : state) target->DrawFrame();
}

BENCHMARK_CAPTURE(BM_Frame, editor_empty, Screen::EditorEmpty, Target::Software)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Frame, editor_busy, Screen::EditorBusy, Target::Software)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Frame, editor_menu, Screen::EditorMenu, Target::Software)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Frame, play_blast, Screen::PlayBlast, Target::Software)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Frame, play_swarm, Screen::PlaySwarm, Target::Software)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Frame, fade, Screen::Fade, Target::Software)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Frame, gpu_editor_busy, Screen::EditorBusy, Target::Gpu)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Frame, gpu_play_blast, Screen::PlayBlast, Target::Gpu)
    ->Unit(benchmark::kMillisecond);

}  // namespace
