// What the game's own work adds to Box2D's step, measured inside the same
// ticks. BM_TickStepAndRest: each tick of a generated level is run as its
// physics step, timed, then the rest of the map's tick (beams traced, ropes
// burnt, bombs and batteries updated), timed apart. The level is restarted
// every round, so every round sees the same events; the run fails unless
// beams reflect off mirrors, every bomb explodes and every battery is taken
// in every round. BM_SceneTick: the whole tick of the program (the game
// scene, its forms and the map) playing level 1030's solution, against the
// step inside it. Both in CPU time.
#include <benchmark/benchmark.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/uGlobals.h"
#include "app/uProgram.h"
#include "engine/engine.h"
#include "level/uReplayFile.h"
#include "scenes/uGame.h"
#include "scenes/uLevelLost.h"
#include "level/uLevelScript.h"
#include "level/uMap.h"
#include "sim/uBattery.h"
#include "sim/uLazer.h"
#include "sim/uWorld.h"

namespace {

constexpr int kRounds = 5;
constexpr int kTicksPerRound = 600;  // every battery is taken by about tick 540

// A laser box fires up into a mirror that sends its beam across the field,
// where it burns one rope after another (seven batteries drop onto the
// heroes below them, three crates onto the clutter), then into a second
// mirror. A second laser box sets off a bomb whose blast sets off another.
// `copies` of this stand side by side in one world, for a heavier level.
std::string LevelScript(int copies) {
  std::string s;
  for (int copy = 0; copy < copies; ++copy) {
    const int dx = 700 * copy;
    auto at = [dx](int x) { return std::to_string(x + dx); };
    const std::string c = std::to_string(copy) + "_";
    s += "floor" + c + ": plank " + at(315) + " 695 static grow=490,0\n";
    s += "laserbox " + at(20) + " 560 static angle=-90\n";
    s += "tall " + at(20) + " 200 static mirror angle=45\n";
    s += "tall " + at(615) + " 200 static mirror angle=-45\n";
    s += "laserbox " + at(625) + " 675 static angle=180\n";
    s += "bomb " + at(585) + " 675\nbomb " + at(550) + " 675\n";
    for (int k = 0; k < 7; ++k) {
      const std::string x = at(90 + 70 * k), n = c + std::to_string(k);
      s += "a" + n + ": square " + x + " 40 static\nb" + n + ": battery " + x + " 330\n";
      s += "rope a" + n + " b" + n + "\nhero " + x + " 660 static\n";
    }
    for (int k = 0; k < 5; ++k) {
      const std::string x = at(125 + 70 * k), n = c + std::to_string(k);
      if (k % 2 == 0)
        s += "h" + n + ": square " + x + " 40 static\nw" + n + ": crate " + x + " 260\nrope h" +
             n + " w" + n + "\n";
      s += "crate " + x + " 675\nball " + x + " 640\n";
    }
  }
  return s;
}

// The CPU time this thread has used, in seconds: what a tick costs, whatever
// else the machine runs.
double CpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

struct TRound {
  double Step = 0, Rest = 0;  // seconds
  int Reflecting = 0;         // ticks in which a beam bounced off a mirror
  int Bombs = 0, Exploded = 0, Batteries = 0, Taken = 0;
  int Bodies = 0;  // at the start
};

TRound PlayRound(TMap& map) {
  for (auto& o : map.Objects)
    if (auto* box = dynamic_cast<TLazerBox*>(o.get())) box->BeamLength = 0;
  map.StartGame();
  TRound r;
  r.Bodies = map.World->PhysicsWorld->GetBodyCount();
  for (int tick = 0; tick < kTicksPerRound; ++tick) {
    // A paused map's tick is the tick without the step. Disposing of the
    // last tick's beams after the step instead of before changes nothing.
    const double t0 = CpuSeconds();
    map.World->Step();
    const double t1 = CpuSeconds();
    map.Paused = true;
    map.Update();
    map.Paused = false;
    const double t2 = CpuSeconds();
    r.Step += t1 - t0;
    r.Rest += t2 - t1;
    for (const auto& laser : map.World->Lasers)
      if (laser->Points.size() >= 2) {
        ++r.Reflecting;
        break;
      }
  }
  for (const auto& o : map.Objects) {
    if (auto* battery = dynamic_cast<TBattery*>(o.get())) {
      ++r.Batteries;
      r.Taken += battery->Taken;
    } else if (auto* bomb = dynamic_cast<TBomb*>(o.get())) {
      ++r.Bombs;
      r.Exploded += bomb->Exploding;
    }
  }
  return r;
}

void BM_TickStepAndRest(benchmark::State& state) {
  eng_Reset();
  TMap map(35);
  std::string error;
  if (!BuildLevelFromScript(LevelScript(static_cast<int>(state.range(0))), &map, &error)) {
    state.SkipWithError(error.c_str());
    return;
  }
  eng_SetMouse(0, 0);  // away from every hero: nobody fires by hand
  for (auto _ : state) {
    TRound total;
    double worst = 0, best = 1e9;
    for (int round = 0; round < kRounds; ++round) {
      const TRound r = PlayRound(map);
      if (r.Reflecting == 0 || r.Exploded < r.Bombs || r.Taken < r.Batteries) {
        state.SkipWithError("a round went without a reflection, a blast or a battery taken");
        return;
      }
      const double ratio = (r.Step + r.Rest) / r.Step;
      worst = std::max(worst, ratio), best = std::min(best, ratio);
      total.Step += r.Step, total.Rest += r.Rest, total.Reflecting += r.Reflecting;
      total.Exploded += r.Exploded, total.Taken += r.Taken, total.Bodies = r.Bodies;
    }
    state.SetIterationTime(total.Step + total.Rest);
    const double ticks = kRounds * kTicksPerRound;
    state.counters["step_us"] = 1e6 * total.Step / ticks;
    state.counters["rest_us"] = 1e6 * total.Rest / ticks;
    state.counters["ratio"] = (total.Step + total.Rest) / total.Step;
    state.counters["ratio_min"] = best;
    state.counters["ratio_max"] = worst;
    state.counters["bodies"] = total.Bodies;
    state.counters["reflecting"] = total.Reflecting / kRounds;
    state.counters["exploded"] = total.Exploded / kRounds;
    state.counters["taken"] = total.Taken / kRounds;
  }
  map.Clear();
  eng_Reset();
}
// One iteration is the whole run: kRounds rounds of kTicksPerRound ticks, of
// one copy of the level and of eight side by side.
BENCHMARK(BM_TickStepAndRest)
    ->ArgName("copies")
    ->Arg(1)
    ->Arg(8)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

namespace fs = std::filesystem;

constexpr int32_t kSceneLevelIndex = 29;  // level 1030, the most objects of the campaign
constexpr uint64_t kSceneMostTicks = 5000;

// What reading the CPU clock itself costs, taken off each timed part (a
// tick's step is a few microseconds, not much more than a reading).
double ClockCost() {
  constexpr int kReadings = 20000;
  const double from = CpuSeconds();
  for (int i = 0; i < kReadings; ++i) CpuSeconds();
  return (CpuSeconds() - from) / (kReadings + 1);
}

struct TSceneRun {
  double Step = 0, Rest = 0;  // seconds of CPU time
  uint64_t Ticks = 0, WonAt = 0;
};

// Plays level 1030's solution through the program's own tick until the
// level is won. With `split`, each tick in which the map steps has its step
// run and timed first, then the rest of the tick with the map paused (which
// is that tick without the step).
TSceneRun PlayScene(const std::vector<TReplayEvent>& solution, const fs::path& data, bool split,
                    double clock) {
  eng_Reset();
  SetDataDir(data);
  RandomSeed(7);
  LoadResources();
  CreateScenes(kSceneLevelIndex);
  TReplayPlayer player(solution);
  TSceneRun r;
  for (uint64_t t = 1; t <= kSceneMostTicks && !r.WonAt; ++t) {
    player.BeforeTick(t);
    TMap& map = *GameScene->Map;
    const bool steps = split && map.Running && map.World && !map.Paused &&
                       !GameScene->WinForm->Visible && !GameScene->LostForm->Visible;
    const double t0 = CpuSeconds();
    if (steps) map.World->Step();
    const double t1 = CpuSeconds();
    map.Paused = map.Paused || steps;
    OnTimer();
    if (steps) map.Paused = false;
    const double t2 = CpuSeconds();
    r.Step += steps ? t1 - t0 - clock : 0, r.Rest += t2 - t1 - clock, ++r.Ticks;
    if (GameScene->WinForm->Visible) r.WonAt = t;
  }
  FreeGlobals();
  eng_Reset();
  return r;
}

void BM_SceneTick(benchmark::State& state) {
  const fs::path dir = fs::temp_directory_path() / ("kelvod-tick-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  fs::copy(fs::path(KELVOD_SOURCE_DIR) / "data", dir / "data", fs::copy_options::recursive);
  std::vector<TReplayEvent> solution;
  std::string error;
  if (!LoadReplay((dir / "data" / "level" / "1030.solution").string(), &solution, &error)) {
    state.SkipWithError(error.c_str());
    return;
  }
  // The level as it plays, to know the tick it is won at.
  const double clock = ClockCost();
  const TSceneRun whole = PlayScene(solution, dir / "data", false, clock);
  for (auto _ : state) {
    TSceneRun total;
    for (int round = 0; round < kRounds; ++round) {
      const TSceneRun r = PlayScene(solution, dir / "data", true, clock);
      if (!whole.WonAt || r.WonAt != whole.WonAt) {
        state.SkipWithError("the solution does not win the level at the same tick when split");
        break;
      }
      total.Step += r.Step, total.Rest += r.Rest, total.Ticks += r.Ticks;
    }
    state.SetIterationTime(total.Step + total.Rest);
    state.counters["step_us"] = 1e6 * total.Step / static_cast<double>(total.Ticks);
    state.counters["rest_us"] = 1e6 * total.Rest / static_cast<double>(total.Ticks);
    state.counters["ratio"] = (total.Step + total.Rest) / total.Step;
    state.counters["ticks"] = static_cast<double>(whole.WonAt);
    // The same ticks unsplit: what splitting them costs shows here.
    state.counters["whole_us"] = 1e6 * whole.Rest / static_cast<double>(whole.Ticks);
    state.counters["clock_us"] = 1e6 * clock;
  }
  std::error_code ec;
  fs::remove_all(dir, ec);
}
BENCHMARK(BM_SceneTick)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
