#include "sim/uBattery.h"

#include <algorithm>
#include <cmath>
#include <nlohmann/json.hpp>

#include "sim/uLazer.h"
#include "sim/uRandom.h"
#include "sim/uWorld.h"
#include "ui/uResources.h"
#include "ui/uSounds.h"

namespace {

constexpr float kTwoPi = 6.283185308f;

float Index(size_t k) { return static_cast<float>(k + 1); }  // particle number 1..16

uint8_t Byte(int value) { return static_cast<uint8_t>(std::clamp(value, 0, 255)); }

// The unit vector of d, or none (zero) for a particle standing exactly on
// the centre, which then keeps its place for this tick.
b2Vec2 UnitOrZero(const b2Vec2& d) {
  const float length = d.Length();
  return length > 0.0f ? (1.0f / length) * d : b2Vec2(0, 0);
}

}  // namespace

void TBattery::CreatePhysics(TWorld* world) {
  TBomb::CreatePhysics(world);
  BodyAlpha = 245;
  Taken = false;
  Delivered = false;
  World->Batteries.push_back(this);
  Countdown = 250;
  Visible = true;
}

bool TBattery::LaserHit(b2Body*, uint8_t kind) {
  if (kind == TLazer::kHot) Heat += 1.8f;
  return false;
}

bool TBattery::TryCollect(const zglTCircle& headCircle, b2Body* heroBody) {
  if (!Alive || Taken || !Body) return false;
  const b2Vec2 p = Body->GetPosition();
  if (!col2d_PointInCircle(p.x, p.y, headCircle)) return false;
  Taken = true;
  HeroBody = heroBody;
  PlaySound(TSound::BatteryTaken);
  return true;
}

void TBattery::Update(int ox, int oy) {
  TBomb::Update(ox, oy);
  if (!Visible) return;
  bool moved = false;
  if (Alive && Body) {
    CircleBody();
    moved = true;
  } else if (Exploding) {
    ScatterAfterBlast();
    moved = true;
  }
  if (Taken) {
    if (Alive) {
      if (BodyAlpha > 7) {
        BodyAlpha = static_cast<uint8_t>(BodyAlpha - 7);
      } else {
        DestroyOwnBody();
        Alive = false;
      }
    } else {
      FlyToHero();
      moved = true;
    }
  }
  if (!moved) return;
  for (TParticle& p : Particles) {
    p.ScreenX = static_cast<float>(ox) + p.Pos.x - p.Size / 2;
    p.ScreenY = static_cast<float>(oy) + p.Pos.y - p.Size / 2;
  }
}

void TBattery::CircleBody() {
  Spin = (Spin + 1) % 360;
  const b2Vec2 c = Body->GetPosition();
  for (size_t k = 0; k < Particles.size(); ++k) {
    TParticle& p = Particles[k];
    const float i = Index(k);
    p.Phase += std::sqrt(i) / 45 + 0.01f;
    if (p.Phase > kTwoPi) p.Phase -= kTwoPi;
    p.Size = static_cast<float>(20 + Random(15));
    p.Pos = b2Vec2(c.x + 10 * std::cos(i * i / 10 + p.Phase),
                   c.y - 10 * std::sin(std::sqrt(4 * i) + p.Phase));
    p.Alpha = Byte(225 + Random(25));
  }
}

void TBattery::ScatterAfterBlast() {
  const b2Vec2 c = LastPosition;
  if (Countdown > 1)
    --Countdown;
  else
    Visible = false;
  for (TParticle& p : Particles) {
    p.Size += 0.05f;
    p.Phase -= 0.05f;
    p.Pos += p.Phase * UnitOrZero(p.Pos - c);
    if (p.Alpha > 5) p.Alpha = static_cast<uint8_t>(p.Alpha - 3);
  }
}

void TBattery::FlyToHero() {
  if (Countdown > 50)
    --Countdown;
  else
    Visible = false;
  const bool wasDelivered = Delivered;
  Delivered = Countdown < 160;
  if (Delivered && !wasDelivered) PlaySound(TSound::BatteryDelivered);
  const b2Vec2 c = HeroBody && Countdown < 200 ? HeroBody->GetPosition() : LastPosition;
  for (size_t k = 0; k < Particles.size(); ++k) {
    TParticle& p = Particles[k];
    const float i = Index(k);
    p.Size = static_cast<float>(25 + Random(7));
    if (Countdown > 200) {  // the swarm spreads
      p.Phase += std::sqrt(i) / 35 + 0.01f;
      p.Pos.x += 0.5f * std::cos(i * i / 10 + p.Phase);
      p.Pos.y -= 0.9f * std::sin(std::sqrt(2 * i) + p.Phase);
      const b2Vec2 d = p.Pos - c;
      p.Pos += (1.0f / 7) * UnitOrZero(d) + (1.0f / 100) * d;
      p.Alpha = Byte(220 + Random(15));
    } else {  // the swarm converges
      p.Pos += (1.0f / (2 * i)) * (c - p.Pos);
      p.Alpha = Byte(Countdown + Random(27));
    }
  }
}

void TBattery::DrawGame() {
  if (!Visible) return;
  if (Alive) DrawBodyBelow();
  if (ParticleSprite) {
    if (const zglTRect* cut = ParticleSprite->FrameRect(0))
      for (const TParticle& p : Particles)
        csprite2d_Draw(ParticleSprite->Texture, p.ScreenX, p.ScreenY, p.Size, p.Size, 0, *cut,
                       p.Alpha);
  }
  if (Alive) {
    DrawBatteryFrame(1, DrawAngle, BodyAlpha);
    if (Exploding)
      pr2d_Circle(BlastScreenX, BlastScreenY, Blast.Radius, 0xFFFFFF, BlastAlpha, 25, PR2D_FILL);
  }
}

void TBattery::DrawBodyBelow() const {
  DrawHeatGlow(DrawX - static_cast<float>(SpriteDX), DrawY - static_cast<float>(SpriteDY), 20);
  DrawBatteryFrame(0, DrawAngle, static_cast<uint8_t>(BodyAlpha / 2));
  DrawBatteryFrame(2, static_cast<float>(Spin), BodyAlpha);
  if (Exploding) return;
  const float cx = DrawX - static_cast<float>(SpriteDX), cy = DrawY - static_cast<float>(SpriteDY);
  // The inner glow deepens with the heat up to full red (a blast's heat could
  // take the level past 255, which would wrap back to faint).
  pr2d_Circle(cx, cy, 17, 0xFF2222, static_cast<uint8_t>(std::clamp<int32_t>(HeatLevel, 0, 255)),
              18, PR2D_FILL);
  if (FuseLit) pr2d_Circle(cx, cy, static_cast<float>(Fuse) / 200.0f * 17.0f, 0xFFFFFF, 255, 32, 0);
}

void TBattery::DrawBatteryFrame(int frame, float angle, uint8_t alpha) const {
  if (!BatterySprite) return;
  const zglTRect* cut = BatterySprite->FrameRect(frame);
  if (!cut) return;
  csprite2d_Draw(BatterySprite->Texture, DrawX, DrawY, static_cast<float>(BatterySprite->Width),
                 static_cast<float>(BatterySprite->Height), angle, *cut, alpha);
}

void TBattery::ForgetPhysics() {
  TBomb::ForgetPhysics();
  HeroBody = nullptr;
}

void TBattery::ForgetBody(const b2Body* body) {
  if (HeroBody == body) HeroBody = nullptr;
}

std::unique_ptr<TMapObjProt> TBattery::Clone() const {
  return std::make_unique<TBattery>(static_cast<const TMapObj&>(*this));
}

void TBattery::DumpState(nlohmann::json& j) const {
  TBomb::DumpState(j);
  j["taken"] = Taken;
  j["delivered"] = Delivered;
  j["visible"] = Visible;
  j["body_alpha"] = BodyAlpha;
  j["countdown"] = Countdown;
}
