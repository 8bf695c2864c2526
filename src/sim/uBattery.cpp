#include "sim/uBattery.h"

#include <nlohmann/json.hpp>

#include "sim/uWorld.h"

void TBattery::DrawGame() { TMapObj::DrawGame(); }

void TBattery::Update(int ox, int oy) { TMapObj::Update(ox, oy); }

void TBattery::CreatePhysics(TWorld* world) {
  TBomb::CreatePhysics(world);
  Visible = true;
  World->Batteries.push_back(this);
}

bool TBattery::LaserHit(b2Body*, uint8_t) { return false; }

void TBattery::ForgetPhysics() {
  TBomb::ForgetPhysics();
  HeroBody = nullptr;
}

bool TBattery::TryCollect(const zglTCircle&, b2Body*) { return false; }

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
