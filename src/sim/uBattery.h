// The goal object: collected when it comes inside the hero's head circle, it
// fades, and its particles fly to the hero; then it counts as delivered. It is
// also a bomb: hot beams and blasts heat it, and it can explode.
#pragma once

#include <array>

#include "sim/uBomb.h"

struct TParticle {
  float Phase = 0;
  float Size = 0;
  float ScreenX = 0, ScreenY = 0;  // top-left corner on screen
  b2Vec2 Pos{0, 0};                // centre, map pixels
  uint8_t Alpha = 0;
};

class TBattery : public TBomb {
 public:
  using TBomb::TBomb;
  explicit TBattery(const TMapObj& design) : TBomb(design) {}

  bool Visible = false;
  bool Delivered = false;
  bool Taken = false;
  uint8_t BodyAlpha = 0;
  int32_t Countdown = 0;
  int32_t Spin = 0;
  std::array<TParticle, 16> Particles{};  // particle i is Particles[i - 1]
  b2Body* HeroBody = nullptr;             // the body of the hero that took it

  void DrawGame() override;
  void Update(int ox, int oy) override;
  void CreatePhysics(TWorld* world) override;
  bool LaserHit(b2Body* body, uint8_t kind) override;
  void ForgetPhysics() override;
  void ForgetBody(const b2Body* body) override;
  // True only on the call that takes the battery.
  bool TryCollect(const zglTCircle& headCircle, b2Body* heroBody);
  std::unique_ptr<TMapObjProt> Clone() const override;
  const char* ClassName() const override { return "TBattery"; }
  static constexpr const char* kTag = "BATT";
  const char* KindTag() const override { return kTag; }
  void DumpState(nlohmann::json& out) const override;
  // A battery about to blow up sounds a warning, not a bomb's fuse.
  TSound FuseSound() const override { return TSound::BatteryLit; }

 private:
  // The particle motions: circling the body, scattering after the battery's
  // own blast, and spreading then flying to the hero after it was taken.
  void CircleBody();
  void ScatterAfterBlast();
  void FlyToHero();
  void DrawBodyBelow() const;
  void DrawBatteryFrame(int frame, float angle, uint8_t alpha) const;
};
