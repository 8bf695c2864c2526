// One frame of each screen the player looks at for long (and of a scene
// switch's fade), drawn at 1024x768 through the game's own drawing code: into
// SDL's software renderer (what a window without a GPU and every screenshot
// use; the goal is 1 ms of CPU time for a steady screen, 2 ms for a fade),
// and, where a display is available, into a hidden window with SDL's GPU
// renderer. Read the CPU column: on a busy machine the wall time says more
// about the other programs.
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
#include "editor/uEditor.h"
#include "engine/engine.h"
#include "level/uMap.h"
#include "scenes/uGame.h"
#include "sim/uBattery.h"
#include "ui/uDialog.h"
#include "ui/uScene.h"

namespace fs = std::filesystem;

namespace {

enum class Screen {
  MainMenu, Chooser, EditorEmpty, EditorBusy, EditorMenu, Question, PlayBlast, PlaySwarm, Fade
};
enum class Target { Software, Gpu };

const char* kBusiestLevel = "1030";  // the most objects of the campaign
constexpr int32_t kBusiestLevelIndex = 29;
constexpr uint64_t kMostTicks = 3000;  // its solution shows a blast and a swarm well before

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
      // Played until the level's solution first shows the blast (the beam hot) or
      // a battery's swarm flying to the hero.
      Replay(screen);
    } else if (screen == Screen::MainMenu) {
      Ticks(60);
    } else if (screen == Screen::Chooser) {
      Click(512, 336);  // "Загрузить": the level chooser
      Ticks(30);
    } else if (screen == Screen::Fade) {
      Click(512, 388);  // "Редактор карт": the fade to white begins
      Ticks(30);
    } else {
      EditorScene->Activate();
      if (screen != Screen::EditorEmpty)
        EditorScene->Doc.Map->LoadFromFile(DataLevelDir() + kBusiestLevel + ".map");
      if (screen == Screen::EditorMenu || screen == Screen::Question)
        Click(90, 32);  // "Меню": the file menu over the editor
      if (screen == Screen::Question)
        SceneManager->Dialog().Ask("Сохранить изменения?",
                                   {{"Сохранить", {}}, {"Не сохранять", {}}, {"Отмена", {}}}, 0, 2);
      eng_SetMouse(600, 400);
      Ticks(2);
    }
  }
  ~ScreenRun() {
    FreeGlobals();
    eng_Reset();
  }
  std::string Problem;  // why the screen could not be brought up

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
  // Plays the level's solution until the level shows `screen`.
  void Replay(Screen screen) {
    const fs::path path =
        fs::path(KELVOD_SOURCE_DIR) / "data" / "level" / (std::string(kBusiestLevel) + ".solution");
    std::vector<TReplayEvent> events;
    if (!LoadReplay(path.string(), &events, &Problem)) return;
    TReplayPlayer player(std::move(events));
    for (uint64_t t = 1; t <= kMostTicks; ++t) {
      player.BeforeTick(t);
      OneTick();
      if (Shows(screen)) return;
    }
    Problem = "the level's solution no longer shows that";
  }
  // Whether the level in play shows what the screen is about.
  bool Shows(Screen screen) const {
    if (GameScene->LevelIndex != kBusiestLevelIndex) return false;
    for (const auto& o : GameScene->Map->Objects) {
      if (const auto* battery = dynamic_cast<const TBattery*>(o.get())) {
        if (screen == Screen::PlaySwarm && battery->Taken) return true;
      } else if (const auto* bomb = dynamic_cast<const TBomb*>(o.get())) {
        if (screen == Screen::PlayBlast && bomb->Exploding && bomb->Alive) return true;
      }
    }
    return false;
  }
  DataCopy Data;
};

void BM_Frame(benchmark::State& state, Screen screen, Target kind) {
  ScreenRun run(screen);
  if (!run.Problem.empty()) {
    state.SkipWithError(run.Problem.c_str());
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

BENCHMARK_CAPTURE(BM_Frame, main_menu, Screen::MainMenu, Target::Software)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Frame, chooser, Screen::Chooser, Target::Software)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Frame, editor_empty, Screen::EditorEmpty, Target::Software)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Frame, editor_busy, Screen::EditorBusy, Target::Software)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Frame, editor_menu, Screen::EditorMenu, Target::Software)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Frame, question, Screen::Question, Target::Software)
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
