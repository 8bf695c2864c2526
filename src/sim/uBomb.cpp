#include "sim/uBomb.h"

#include <algorithm>
#include <cmath>
#include <nlohmann/json.hpp>

#include "sim/uHero.h"
#include "sim/uLazer.h"
#include "sim/uWorld.h"

namespace {

constexpr float kPushImpulse = 900000.0f;
constexpr float kBlastFlashPhase = 15.707963f;  // 5 pi
constexpr uint32_t kGlowWarm = 0xFF8A1E;
constexpr uint32_t kGlowHot = 0xFF2A10;

}  // namespace

uint32_t HeatColour(int32_t heatLevel) {
  // White at 0, red at 255; beyond that the subtraction borrows from the red
  // part. Worked out in 64 bits and cut to 24, so any heat gives a colour.
  const int64_t colour = 0xFFFFFF - 257 * static_cast<int64_t>(heatLevel);
  return static_cast<uint32_t>(static_cast<uint64_t>(colour) & 0xFFFFFF);
}

void TBomb::CreatePhysics(TWorld* world) {
  TMapObj::CreatePhysics(world);
  FuseLit = false;
  Exploding = false;
  Alive = true;
  Heat = 0;
  HeatLevel = 0;
  BlastHeated = false;
  LitByBlast = false;
  Fuse = 200;
  BlastAlpha = 255;
}

bool TBomb::LaserHit(b2Body*, uint8_t kind) {
  if (kind == TLazer::kHot) Heat += 4;
  return false;
}

void TBomb::Update(int ox, int oy) {
  if (!Alive || !Body) return;
  TMapObj::Update(ox, oy);
  if (Exploding) {
    BlastStep();
  } else if (FuseLit) {
    if (Fuse > 0)
      Fuse = Fuse > 5 ? static_cast<uint8_t>(Fuse - 5) : 0;
    else
      Ignite();
  } else if (Heat > 0) {
    Heat -= 1;
    if (Heat > kIgnitionHeat) {
      FuseLit = true;
      LitByBlast = BlastHeated;
      PlaySound(FuseSound());
    }
    // Blasts can heat a bomb without bound; keep the conversion defined.
    HeatLevel = static_cast<int32_t>(std::clamp(Heat, -1e9f, 1e9f));
  }
  BlastHeated = false;
  BlastScreenX = static_cast<float>(ox) + Blast.cX;
  BlastScreenY = static_cast<float>(oy) + Blast.cY;
}

void TBomb::Ignite() {
  Exploding = true;
  PlaySound(TSound::Blast);
  BlastOrigin = Body->GetPosition();
  Blast = {BlastOrigin.x, BlastOrigin.y, 16};
  PulseTimer = 5;
  BlastAlpha = 255;
}

void TBomb::BlastStep() {
  if (BlastAlpha > 15) {
    Blast.Radius += 7;
    BlastAlpha = static_cast<uint8_t>(BlastAlpha - 15);
    if (PulseTimer > 0) {
      --PulseTimer;
    } else {
      PulseTimer = 4;
      Push();
    }
  } else {
    DestroyOwnBody();
    Alive = false;
  }
}

void TBomb::Push() {
  if (!World) return;
  for (b2Body* b = World->PhysicsWorld->GetBodyList(); b; b = b->GetNext()) {
    if (b == Body || b->GetType() != b2_dynamicBody) continue;
    const b2Vec2 p = b->GetPosition();
    if (!col2d_PointInCircle(p.x, p.y, Blast)) continue;
    b2Vec2 away = p - BlastOrigin;
    const float distance = away.Length();
    // A body standing exactly on the blast's origin has no direction to be
    // thrown in: it gets no impulse, but is still reached by the blast.
    if (distance > 0.0f) {
      away *= kPushImpulse / distance;
      b->ApplyLinearImpulse(away, b->GetWorldCenter(), true);
    }
    TMapObjProt* object = TWorld::ObjectOf(b);
    if (auto* hero = dynamic_cast<THero*>(object))
      hero->StartCharge(kBlastFlashPhase);
    else if (auto* bomb = dynamic_cast<TBomb*>(object))
      bomb->Heat += 100, bomb->BlastHeated = true;
  }
}

void TBomb::DestroyOwnBody() {
  if (!Body) return;
  LastPosition = Body->GetPosition();
  if (World) World->DestroyBody(Body);
  Body = nullptr;
}

void TBomb::DrawHeatGlow(float cx, float cy, float radius) const {
  const float share = std::clamp(Heat / kIgnitionHeat, 0.0f, 1.0f);
  if (share < 0.02f || Exploding) return;
  // Past the heat one blast would take over the threshold, the glow turns red.
  const uint32_t colour = Heat + 100 > kIgnitionHeat ? kGlowHot : kGlowWarm;
  const auto alpha = static_cast<uint8_t>(90 + 150 * share);
  pr2d_Circle(cx, cy, radius + 6 + 18 * share, colour, static_cast<uint8_t>(alpha / 2), 32,
              PR2D_FILL | PR2D_SMOOTH);
  pr2d_Circle(cx, cy, radius + 2 + 6 * share, colour, alpha, 32, PR2D_FILL | PR2D_SMOOTH);
}

void TBomb::DrawGame() {
  if (!Alive) return;
  DrawHeatGlow(DrawX - static_cast<float>(SpriteDX), DrawY - static_cast<float>(SpriteDY), 15);
  TMapObj::DrawGame();
  if (Exploding)
    pr2d_Circle(BlastScreenX, BlastScreenY, Blast.Radius, 0xFFFFFF, BlastAlpha, 18, PR2D_FILL);
  const float cx = DrawX - static_cast<float>(SpriteDX), cy = DrawY - static_cast<float>(SpriteDY);
  pr2d_Circle(cx, cy, 14, HeatColour(HeatLevel), 255, 32, 0);
  if (FuseLit) pr2d_Circle(cx, cy, static_cast<float>(Fuse) / 200.0f * 14.0f, 0xFFFFFF, 255, 32, 0);
}

std::unique_ptr<TMapObjProt> TBomb::Clone() const {
  return std::make_unique<TBomb>(static_cast<const TMapObj&>(*this));
}

void TBomb::DumpState(nlohmann::json& j) const {
  TMapObj::DumpState(j);
  j["alive"] = Alive;
  j["heat"] = Heat;
  j["heat_level"] = HeatLevel;
  j["fuse"] = Fuse;
  j["fuse_lit"] = FuseLit;
  j["exploding"] = Exploding;
  j["blast_radius"] = Blast.Radius;
  j["blast_alpha"] = BlastAlpha;
}
