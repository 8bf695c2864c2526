#include "sim/uLazer.h"

#include <nlohmann/json.hpp>

#include "sim/uWorld.h"

TLazer::TLazer(b2Vec2 start, b2Vec2 dir, uint8_t kind, TWorld* world, float length)
    : Start(start + dir), Dir(dir), World(world), Kind(kind),
      Colour(kind == kHot ? 0xF02222 : 0xFFFAF0), Length(length) {}

void TLazer::Trace() { Points.clear(); }

void TLazer::Draw(int, int) const {}

void TLazer::DumpState(nlohmann::json& j) const {
  j["kind"] = Kind;
  j["start"] = {Start.x, Start.y};
  j["dir"] = {Dir.x, Dir.y};
  j["length"] = Length;
  j["points"] = nlohmann::json::array();
  for (const b2Vec2& p : Points) j["points"].push_back({p.x, p.y});
}

float TRayCastAnyCallback::ReportFixture(b2Fixture* fixture, const b2Vec2& point,
                                         const b2Vec2& normal, float fraction) {
  Hit = true;
  Point = point;
  Normal = normal;
  Body = fixture->GetBody();
  return fraction;
}

void TLazerBox::Update(int ox, int oy) { TMapObj::Update(ox, oy); }

std::unique_ptr<TMapObjProt> TLazerBox::Clone() const {
  return std::make_unique<TLazerBox>(static_cast<const TMapObj&>(*this));
}

void TLazerBox::DumpState(nlohmann::json& j) const {
  TMapObj::DumpState(j);
  j["beam_length"] = BeamLength;
}
