// One map tick of a generated heavy level (150 objects, 50 long ropes across
// the field, laser boxes firing into mirrors) against Box2D stepping the same
// bodies alone: what the game's own work adds to the physics.
#include <benchmark/benchmark.h>

#include <memory>
#include <random>

#include "engine/engine.h"
#include "level/uMap.h"
#include "sim/uBattery.h"
#include "sim/uHero.h"
#include "sim/uLazer.h"
#include "sim/uRope.h"
#include "sim/uWorld.h"

namespace {

constexpr int kRestartEvery = 600;  // ticks; the level is rebuilt before it burns out

template <class T>
T* Place(TMap& map, int kind, std::unique_ptr<TMeFormShape> shape, int x, int y, bool dynamic,
         int angle = 0) {
  auto object = std::make_unique<T>(map.Sprite(kind), std::move(shape));
  object->X = x;
  object->Y = y;
  object->Dynamic = dynamic;
  object->Angle = angle;
  T* raw = object.get();
  map.Objects.push_back(std::move(object));
  return raw;
}

std::unique_ptr<TMeFormShape> Box(int w, int h) { return std::make_unique<TShapeRect>(w, h); }
std::unique_ptr<TMeFormShape> Disc(int d) { return std::make_unique<TShapeCircle>(d); }

// 1 floor + 1 hero + 50 anchors + 50 hanging weights + 6 laser boxes +
// 12 mirrors + 30 loose bodies = 150 objects; 50 ropes.
std::unique_ptr<TMap> HeavyLevel() {
  auto map = std::make_unique<TMap>(35);
  std::mt19937 random(42);
  auto between = [&](int lo, int hi) { return lo + static_cast<int>(random() % (hi - lo + 1)); };
  Place<TMapObj>(*map, 2, Box(630, 10), 315, 695, false);
  Place<THero>(*map, 10, Box(18, 60), 40, 655, false)->Interactive = true;
  for (int k = 0; k < 50; ++k) {
    const int ax = 20 + 12 * k, ay = k % 2 == 0 ? 30 : 70;
    TMapObj* anchor = Place<TMapObj>(*map, 2, Box(26, 26), ax, ay, false);
    TMapObj* weight;
    const int wx = between(40, 590), wy = between(250, 600);
    if (k % 5 == 3)
      weight = Place<TBomb>(*map, 8, Disc(30), wx, wy, true);
    else if (k % 5 == 4)
      weight = Place<TBattery>(*map, 12, Disc(38), wx, wy, true);
    else
      weight = Place<TMapObj>(*map, 2, Box(26, 26), wx, wy, true);
    map->Ropes.push_back(std::make_unique<TRope>(map->Sprite(kRopeSpriteKind), anchor, weight, 0,
                                                 -13, 0, 13));
  }
  for (int k = 0; k < 6; ++k) {
    const int y = 150 + 80 * k;
    TLazerBox* box = Place<TLazerBox>(*map, 9, Box(40, 20), 25, y, false);
    box->BeamLength = 4000;
    TMapObj* far = Place<TMapObj>(*map, 1, Box(26, 70), 610, y, false, 200 + 5 * k);
    far->Frame = 2;
    TMapObj* near = Place<TMapObj>(*map, 1, Box(26, 70), 80, y + 40, false, 20 - 5 * k);
    near->Frame = 2;
  }
  for (int k = 0; k < 30; ++k)
    Place<TMapObj>(*map, 5, Disc(32), between(30, 600), between(600, 670), true);
  return map;
}

struct TLevelRun {
  TLevelRun() {
    eng_Reset();
    Map = HeavyLevel();
    Map->StartGame();
    eng_SetMouse(Map->OriginX + 300, Map->OriginY + 200);
    eng_SetButton(M_BLEFT, true);  // the hero fires a hot beam all the time
  }
  ~TLevelRun() { eng_Reset(); }
  void RestartNowAndThen(benchmark::State& state, int& ticks) {
    if (++ticks % kRestartEvery != 0) return;
    state.PauseTiming();
    Map->StartGame();
    state.ResumeTiming();
  }
  std::unique_ptr<TMap> Map;
};

void BM_MapTick(benchmark::State& state) {
  TLevelRun run;
  int ticks = 0;
  for (auto _ : state) {
    run.RestartNowAndThen(state, ticks);
    run.Map->Update();
    mouse_ClearState();
  }
  state.counters["bodies"] = run.Map->World->PhysicsWorld->GetBodyCount();
  state.counters["joints"] = run.Map->World->PhysicsWorld->GetJointCount();
}
BENCHMARK(BM_MapTick)->Unit(benchmark::kMicrosecond);

// The same run, but only the physics step is timed: the objects' part of
// each tick (beams, burning, blasts) still happens, untimed and without a
// step, so both benchmarks see the same sequence of worlds.
void BM_PhysicsStepOnly(benchmark::State& state) {
  TLevelRun run;
  int ticks = 0;
  for (auto _ : state) {
    run.RestartNowAndThen(state, ticks);
    state.PauseTiming();
    run.Map->Paused = true;
    run.Map->Update();
    run.Map->Paused = false;
    mouse_ClearState();
    state.ResumeTiming();
    run.Map->World->Step();
  }
  state.counters["bodies"] = run.Map->World->PhysicsWorld->GetBodyCount();
}
BENCHMARK(BM_PhysicsStepOnly)->Unit(benchmark::kMicrosecond);

}  // namespace
