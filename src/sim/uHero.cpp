#include "sim/uHero.h"

#include <nlohmann/json.hpp>

void THero::DrawGame() { TMapObj::DrawGame(); }

void THero::Update(int ox, int oy) { TMapObj::Update(ox, oy); }

void THero::CreatePhysics(TWorld* world) { TMapObj::CreatePhysics(world); }

void THero::StartCharge(float phase) {
  Flash = 50;
  Charging = true;
  ChargeAngle = 0;
  ChargePhase = phase;
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
