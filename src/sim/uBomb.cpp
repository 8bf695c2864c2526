#include "sim/uBomb.h"

#include <nlohmann/json.hpp>

#include "sim/uWorld.h"

void TBomb::DrawGame() { TMapObj::DrawGame(); }

void TBomb::Update(int ox, int oy) { TMapObj::Update(ox, oy); }

void TBomb::CreatePhysics(TWorld* world) {
  TMapObj::CreatePhysics(world);
  Alive = true;
}

bool TBomb::LaserHit(b2Body*, uint8_t) { return false; }

void TBomb::BlastStep() {}

void TBomb::Push() {}

void TBomb::DestroyOwnBody() {
  if (!Body) return;
  LastPosition = Body->GetPosition();
  if (World) World->DestroyBody(Body);
  Body = nullptr;
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
