// Light beams: a beam lives for one tick, is traced through the physics world
// (reflecting on mirrors, stopping on everything else) and drawn until the
// next tick. The laser box fires a hot beam along its own +X axis every tick.
#pragma once

#include <box2d/box2d.h>

#include <cstdint>
#include <nlohmann/json_fwd.hpp>
#include <vector>

#include "sim/uMapObj.h"

class TWorld;

class TLazer {
 public:
  // `dir` is a unit vector; the beam starts one pixel ahead of `start`.
  TLazer(b2Vec2 start, b2Vec2 dir, uint8_t kind, TWorld* world, float length);

  b2Vec2 Start;                // first point of the drawn beam, map pixels
  b2Vec2 Dir;                  // unit direction at the start
  std::vector<b2Vec2> Points;  // every hit point in order, or the free end
  TWorld* World;
  uint8_t Kind;     // 1 aiming, 2 hot
  uint32_t Colour;  // 0xFFFAF0 aiming, 0xF02222 hot
  float Length;     // total length, reflections included
  bool FromBox = false;  // fired by a laser box: heard (quietly) while it burns something

  static constexpr uint8_t kAiming = 1;
  static constexpr uint8_t kHot = 2;
  static constexpr int kMaxCasts = 10;

  // Sends the beam through the world, telling every object it meets.
  void Trace();
  // Draws the beam, cut to the field from map (0, 0) to (width, height);
  // (ox, oy) is the map origin on screen.
  void Draw(int ox, int oy, float width, float height) const;
  void DumpState(nlohmann::json& out) const;
};

// Keeps the hit nearest the ray's start.
class TRayCastAnyCallback : public b2RayCastCallback {
 public:
  bool Hit = false;
  b2Vec2 Point{0, 0};
  b2Vec2 Normal{0, 0};
  b2Body* Body = nullptr;
  float ReportFixture(b2Fixture* fixture, const b2Vec2& point, const b2Vec2& normal,
                      float fraction) override;
};

class TLazerBox : public TMapObj {
 public:
  using TMapObj::TMapObj;
  explicit TLazerBox(const TMapObj& design) : TMapObj(design) {}

  float BeamLength = 0;  // grows every tick; kept across restarts

  void Update(int ox, int oy) override;
  std::unique_ptr<TMapObjProt> Clone() const override;
  const char* ClassName() const override { return "TLazerBox"; }
  static constexpr const char* kTag = "LAZBOX";
  const char* KindTag() const override { return kTag; }
  void DumpState(nlohmann::json& out) const override;
};
