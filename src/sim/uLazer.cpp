#include "sim/uLazer.h"

#include <algorithm>
#include <cmath>
#include <nlohmann/json.hpp>

#include "sim/uBomb.h"
#include "sim/uRope.h"
#include "sim/uWorld.h"
#include "ui/uSounds.h"

namespace {

// Whether the beam goes on from this hit: bodies nobody owns reflect, level
// objects decide for themselves (and react to being hit).
bool Reflects(const TRayCastAnyCallback& hit, uint8_t kind) {
  TMapObjProt* object = TWorld::ObjectOf(hit.Body);
  if (!object) return true;
  return object->LaserHit(hit.Body, kind);
}

// Things a hot beam heats until they burn or blow up.
bool Burns(const b2Body* body) {
  const TMapObjProt* object = TWorld::ObjectOf(body);
  return dynamic_cast<const TBomb*>(object) || dynamic_cast<const TRope*>(object);
}

}  // namespace

TLazer::TLazer(b2Vec2 start, b2Vec2 dir, uint8_t kind, TWorld* world, float length)
    : Start(start + dir), Dir(dir), World(world), Kind(kind),
      Colour(kind == kHot ? 0xF02222 : 0xFFFAF0), Length(length) {}

void TLazer::Trace() {
  Points.clear();
  if (!World || !World->PhysicsWorld) return;
  float left = Length;  // what is left of the beam
  b2Vec2 a = Start + 2.0f * Dir;
  b2Vec2 b = a + left * Dir;
  for (int casts = kMaxCasts; casts > 0;) {
    // Box2D refuses a ray of zero length; nothing is left of the beam then.
    if (!((b - a).LengthSquared() > 0.0f)) break;
    TRayCastAnyCallback hit;
    World->PhysicsWorld->RayCast(&hit, a, b);
    if (!hit.Hit) {
      Points.push_back(b);  // the free end
      break;
    }
    Points.push_back(hit.Point);
    if (!Reflects(hit, Kind)) {
      // The hero's hot beam has its own hum (THero); a box's is heard where it burns.
      if (FromBox && Kind == kHot && Burns(hit.Body))
        HoldSound(TSound::BoxBeam, 1.0f, SoundPan(hit.Point.x));
      break;
    }
    b2Vec2 back = a - hit.Point;  // toward where this ray came from
    float dist = back.Length();
    left -= dist;
    if (!(dist > 0.0f) || !(left > 0.0f)) break;
    b2Vec2 u = (1.0f / dist) * back;
    b2Vec2 r = u - 2.0f * b2Dot(u, hit.Normal) * hit.Normal;
    a = hit.Point;
    b = hit.Point - left * r;
    --casts;
  }
}

namespace {

// Cuts the segment a-b to the rectangle (0, 0)-(w, h) (Liang-Barsky); false
// when nothing of it is inside.
bool ClipSegment(b2Vec2* a, b2Vec2* b, float w, float h) {
  const b2Vec2 d = *b - *a;
  float t0 = 0, t1 = 1;
  const float p[4] = {-d.x, d.x, -d.y, d.y};
  const float q[4] = {a->x, w - a->x, a->y, h - a->y};
  for (int i = 0; i < 4; ++i) {
    if (p[i] == 0) {
      if (q[i] < 0) return false;
      continue;
    }
    const float t = q[i] / p[i];
    if (p[i] < 0) t0 = std::max(t0, t);
    else t1 = std::min(t1, t);
    if (t0 > t1) return false;
  }
  const b2Vec2 start = *a;
  *a = start + t0 * d;
  *b = start + t1 * d;
  return true;
}

}  // namespace

void TLazer::Draw(int ox, int oy, float width, float height) const {
  const b2Vec2 origin(static_cast<float>(ox), static_cast<float>(oy));
  b2Vec2 from = Start;
  for (const b2Vec2& p : Points) {
    b2Vec2 a = from, b = p;
    if (ClipSegment(&a, &b, width, height))
      pr2d_Line(origin.x + a.x, origin.y + a.y, origin.x + b.x, origin.y + b.y, Colour, 215,
                PR2D_SMOOTH);
    from = p;
  }
}

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

void TLazerBox::Update(int ox, int oy) {
  TMapObj::Update(ox, oy);
  if (!Body || !World) return;
  if (BeamLength < 4000) BeamLength += 15;
  const float angle = Body->GetAngle();
  const b2Vec2 dir(std::cos(angle), std::sin(angle));  // the box's local +X axis
  const b2Vec2 start = Body->GetPosition() + (static_cast<float>(Width) * 0.4f) * dir;
  auto beam = std::make_unique<TLazer>(start, dir, TLazer::kHot, World, BeamLength);
  beam->FromBox = true;
  World->Lasers.push_back(std::move(beam));
}

std::unique_ptr<TMapObjProt> TLazerBox::Clone() const {
  return std::make_unique<TLazerBox>(static_cast<const TMapObj&>(*this));
}

void TLazerBox::DumpState(nlohmann::json& j) const {
  TMapObj::DumpState(j);
  j["beam_length"] = BeamLength;
}
