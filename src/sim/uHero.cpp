#include "sim/uHero.h"

#include <algorithm>
#include <cmath>
#include <nlohmann/json.hpp>

#include "sim/uBattery.h"
#include "sim/uLazer.h"
#include "sim/uWorld.h"
#include "ui/uResources.h"
#include "ui/uSounds.h"

namespace {

constexpr float kHalfPi = 1.570796327f;
constexpr float kChargeEnd = 37.699111848f;  // 12 pi
constexpr uint32_t kGlowColour = 0xFEFE75;

}  // namespace

b2Vec2 THero::FeetDirection() const {
  const float a = Body->GetAngle() + kHalfPi;
  return b2Vec2(std::cos(a), std::sin(a));
}

bool THero::PointerOver(int mx, int my) const {
  const float x = static_cast<float>(mx), y = static_cast<float>(my);
  return DrawX + 2 < x && x < DrawX + static_cast<float>(Width) - 2 && DrawY + 2 < y &&
         y < DrawY + static_cast<float>(Height) - 2;
}

void THero::Update(int ox, int oy) {
  TMapObj::Update(ox, oy);
  if (!Body || !World) return;
  const int mx = mouse_X(), my = mouse_Y();
  const b2Vec2 feet = FeetDirection();
  const b2Vec2 centre = Body->GetPosition();
  if (PointerOver(mx, my)) {
    if (mouse_Click(M_BLEFT)) {
      Armed = !Armed;
      PlaySound(Armed ? TSound::LaserOn : TSound::LaserOff);
    }
    Firing = false;
    Brightness = 10;
  } else if (Armed) {
    Aim(static_cast<float>(mx - ox), static_cast<float>(my - oy), centre - kMuzzleDistance * feet);
  }
  const b2Vec2 head = centre - kHeadDistance * feet;
  HeadCircle = {head.x, head.y, kHeadRadius};
  HeadCircleScreen = {head.x + static_cast<float>(ox), head.y + static_cast<float>(oy), kHeadRadius};
  for (TBattery* battery : World->Batteries)
    if (battery->TryCollect(HeadCircle, Body)) StartCharge(0.1f);
  Animate();
}

void THero::Aim(float mx, float my, b2Vec2 muzzle) {
  // A press that began on a control is the control's: the beam stays cool.
  const bool own = !World->PressTaken;
  if (mouse_Click(M_BLEFT) && own) {
    BeamLength = 5;
    Brightness = 10;
  }
  if (BeamLength < 4000) BeamLength += 15;
  Brightness = static_cast<uint8_t>(std::min(255, Brightness + 5));
  Firing = mouse_Down(M_BLEFT) && own;
  // The hum goes on while any hero's beam stays hot and stops the first tick
  // no hero asks for it: cooled, switched off, or the level no longer runs.
  if (Firing) HoldSound(TSound::BeamHot);
  const b2Vec2 toPointer = b2Vec2(mx, my) - muzzle;
  const float length = toPointer.Length();
  // The pointer exactly on the muzzle gives no direction: no beam this tick.
  if (!(length > 0.0f)) return;
  const b2Vec2 dir = (1.0f / length) * toPointer;
  World->Lasers.push_back(std::make_unique<TLazer>(
      muzzle, dir, Firing ? TLazer::kHot : TLazer::kAiming, World, BeamLength));
}

void THero::Animate() {
  if (Charging) {
    ChargePhase += 0.15f;
    ChargeAngle += std::cos(ChargePhase) * 0.9f;
    OverlayAlpha = static_cast<uint8_t>(150 - static_cast<int>(std::cos(ChargeAngle) * 100));
    if (ChargePhase >= kChargeEnd) Charging = false;
  } else {
    OverlayAlpha = Brightness;
  }
  Flash = Flash > 2 ? static_cast<uint8_t>(Flash - 2) : 0;
}

void THero::StartCharge(float phase) {
  Flash = 50;
  Charging = true;
  ChargeAngle = 0;
  ChargePhase = phase;
}

void THero::DrawGame() {
  const float cx = HeadCircleScreen.cX, cy = HeadCircleScreen.cY;
  const uint8_t glow = static_cast<uint8_t>(std::min(255, Flash + 15));
  pr2d_Circle(cx, cy, kHeadRadius, kGlowColour, glow, 30, PR2D_FILL | PR2D_SMOOTH);
  if (Armed) pr2d_Circle(cx, cy, 0.9f * kHeadRadius, 0xFFFFFF, 7, 30, PR2D_FILL | PR2D_SMOOTH);
  TMapObj::DrawGame();
  if (Charging) {
    DrawOverlay(3, static_cast<uint8_t>(200 - OverlayAlpha / 2));
    DrawOverlay(2, OverlayAlpha);
  } else if (Armed) {
    DrawOverlay(Firing ? 1 : 0, OverlayAlpha);
  }
}

void THero::DrawOverlay(int frame, uint8_t alpha) const {
  if (!HeroSprite) return;
  const zglTRect* cut = HeroSprite->FrameRect(frame);
  if (!cut) return;
  csprite2d_Draw(HeroSprite->Texture, DrawX, DrawY, static_cast<float>(HeroSprite->Width),
                 static_cast<float>(HeroSprite->Height), DrawAngle, *cut, alpha);
}

void THero::CreatePhysics(TWorld* world) {
  TMapObj::CreatePhysics(world);
  Flash = 0;
  Charging = false;
  ChargeAngle = 0;
  ChargePhase = 0.1f;
  Armed = Interactive;
}

std::unique_ptr<TMapObjProt> THero::Clone() const {
  return std::make_unique<THero>(static_cast<const TMapObj&>(*this));
}

void THero::DumpState(nlohmann::json& j) const {
  TMapObj::DumpState(j);
  j["armed"] = Armed;
  j["firing"] = Firing;
  j["beam_length"] = BeamLength;
  j["brightness"] = Brightness;
  j["overlay_alpha"] = OverlayAlpha;
  j["charging"] = Charging;
  j["flash"] = Flash;
}
