// A map run tick by tick on the recording backend, with the program's
// sprites loaded (from an empty data folder) and the random generator seeded.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "app/uGlobals.h"
#include "engine/engine.h"
#include "level/uMap.h"
#include "sim/uBattery.h"
#include "sim/uHero.h"
#include "sim/uLazer.h"
#include "sim/uRope.h"
#include "sim/uWorld.h"
#include "support/TestSupport.h"

class SimTest : public ::testing::Test {
 protected:
  void SetUp() override {
    eng_Reset();
    eng_SetBackend(&Recorder);
    SetDataDir(Data.Dir());
    RandomSeed(1);
    LoadResources();
    Map = std::make_unique<TMap>(35);
  }
  void TearDown() override {
    Map.reset();
    FreeGlobals();
  }

  // Places an object of class T with the map's sprite of `kind`.
  template <class T>
  T* Add(int kind, std::unique_ptr<TMeFormShape> shape, int x, int y, bool dynamic, int angle = 0) {
    auto object = std::make_unique<T>(Map->Sprite(kind), std::move(shape));
    object->X = x;
    object->Y = y;
    object->Dynamic = dynamic;
    object->Angle = angle;
    T* raw = object.get();
    Map->Objects.push_back(std::move(object));
    return raw;
  }
  static std::unique_ptr<TMeFormShape> Rect(int w, int h) { return std::make_unique<TShapeRect>(w, h); }
  static std::unique_ptr<TMeFormShape> Circle(int d) { return std::make_unique<TShapeCircle>(d); }

  TMapObj* Block(int x, int y, bool dynamic, int w = 26, int h = 26) {
    return Add<TMapObj>(2, Rect(w, h), x, y, dynamic);
  }
  TMapObj* Mirror(int x, int y, int w, int h, int angle = 0) {
    TMapObj* m = Add<TMapObj>(1, Rect(w, h), x, y, false, angle);
    m->Frame = 2;
    return m;
  }
  THero* Hero(int x, int y, bool dynamic = false, int angle = 0) {
    return Add<THero>(10, Rect(18, 60), x, y, dynamic, angle);
  }
  TBomb* Bomb(int x, int y, bool dynamic = false) { return Add<TBomb>(8, Circle(30), x, y, dynamic); }
  TBattery* Battery(int x, int y, bool dynamic = false) {
    return Add<TBattery>(12, Circle(38), x, y, dynamic);
  }
  // A laser box whose beam is already grown to full length.
  TLazerBox* LaserBox(int x, int y, int angle = 0) {
    TLazerBox* box = Add<TLazerBox>(9, Rect(40, 20), x, y, false, angle);
    box->BeamLength = 4000;
    return box;
  }
  // A rope between two attachment points given in map pixels.
  TRope* Rope(TMapObj* a, int ax, int ay, TMapObj* b, int bx, int by) {
    Map->Ropes.push_back(std::make_unique<TRope>(Map->Sprite(kRopeSpriteKind), a, b, a->X - ax,
                                                 a->Y - ay, b->X - bx, b->Y - by));
    return Map->Ropes.back().get();
  }

  void Start() {
    Map->StartGame();
    mouse_ClearState();
  }
  // Map ticks as the program runs them: update, then the click state is cleared.
  void Tick(int n = 1) {
    for (int i = 0; i < n; ++i) {
      Map->Update();
      mouse_ClearState();
    }
  }
  // The pointer at a map point.
  void PointAt(float x, float y) {
    eng_SetMouse(Map->OriginX + static_cast<int>(x), Map->OriginY + static_cast<int>(y));
  }
  void Click() {
    eng_SetButton(M_BLEFT, true);
    eng_SetButton(M_BLEFT, false);
  }
  const std::vector<zglDrawCall>& Frame() {
    Recorder.Calls.clear();
    Map->Draw();
    return Recorder.Calls;
  }
  TWorld& World() { return *Map->World; }
  std::vector<std::unique_ptr<TLazer>>& Lasers() { return Map->World->Lasers; }

  TestData Data{true};
  zglRecordingBackend Recorder;
  std::unique_ptr<TMap> Map;
};
