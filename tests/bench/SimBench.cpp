// What the game's own work adds to Box2D's step, measured inside the same
// ticks: each tick of a generated level is run as its physics step, timed,
// then the rest of the tick (beams traced, ropes burnt, bombs and batteries
// updated), timed apart. The level is restarted every round, so every round
// sees the same events; the run fails unless beams reflect off mirrors,
// every bomb explodes and every battery is taken in every round.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <string>

#include "engine/engine.h"
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

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point from, Clock::time_point to) {
  return std::chrono::duration<double>(to - from).count();
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
    const Clock::time_point t0 = Clock::now();
    map.World->Step();
    const Clock::time_point t1 = Clock::now();
    map.Paused = true;
    map.Update();
    map.Paused = false;
    const Clock::time_point t2 = Clock::now();
    r.Step += Seconds(t0, t1);
    r.Rest += Seconds(t1, t2);
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

}  // namespace
