#include "sim/uRope.h"

#include <algorithm>
#include <cmath>

#include "sim/uBomb.h"
#include "sim/uLazer.h"
#include "sim/uWorld.h"
#include "ui/uSounds.h"

namespace {

constexpr float kSegmentDensity = 1.0f;
constexpr float kSegmentFriction = 0.0f;
constexpr int32_t kBurnHeat = 240;
constexpr int32_t kHeatPerHit = 7;

// Builds the chain of one rope: edge segments of at most the maximum length,
// each a thin rod (mass = density x length, inertia = mass x length^2 / 12
// about its middle), joined in a row by revolute joints.
class TChainBuilder {
 public:
  TChainBuilder(b2World& world, std::vector<b2Body*>& segments) : World(world), Segments(segments) {
    Fixture.shape = &Edge;
    Fixture.density = kSegmentDensity;
    Fixture.friction = kSegmentFriction;
    Joint.collideConnected = false;
    BodyDef.type = b2_dynamicBody;
  }

  void Build(b2Vec2 pa, b2Vec2 pb, b2Body* first, b2Body* last) {
    Previous = first;
    Cur = pa;
    const int n = TRope::SegmentCount(pa, pb);
    if (n == 0) {
      // Ends that coincide make no segment (an edge needs a length): the
      // two end bodies are pinned together at that point instead.
      if (first && last && first != last) Join(first, last, pa);
      return;
    }
    if (n == 1) {
      AddSegment(pb);
    } else {
      const b2Vec2 step = (1.0f / static_cast<float>(n)) * (pb - Cur);
      for (int k = 0; k < n; ++k) AddSegment(Cur + step);
    }
    if (last) Join(Previous, last, Cur);
  }

 private:
  void AddSegment(b2Vec2 next) {
    BodyDef.position = 0.5f * (Cur + next);
    BodyDef.angle = 0;
    Edge.SetTwoSided(0.5f * (Cur - next), 0.5f * (next - Cur));
    b2Body* body = World.CreateBody(&BodyDef);
    body->CreateFixture(&Fixture);
    const float length = (next - Cur).Length();
    b2MassData mass;
    mass.mass = kSegmentDensity * length;
    mass.center.SetZero();
    mass.I = mass.mass * length * length / 12.0f;
    body->SetMassData(&mass);
    Segments.push_back(body);
    if (Previous) Join(Previous, body, Cur);
    Previous = body;
    Cur = next;
  }

  void Join(b2Body* a, b2Body* b, b2Vec2 anchor) {
    if (!a || !b || a == b) return;
    Joint.Initialize(a, b, anchor);
    World.CreateJoint(&Joint);
  }

  b2World& World;
  std::vector<b2Body*>& Segments;
  b2EdgeShape Edge;
  b2FixtureDef Fixture;
  b2RevoluteJointDef Joint;
  b2BodyDef BodyDef;
  b2Body* Previous = nullptr;
  b2Vec2 Cur{0, 0};
};

}  // namespace

TRope::TRope(TMeDrawRect* sprite, TMapObj* objectA, TMapObj* objectB, int offsetAX, int offsetAY,
             int offsetBX, int offsetBY)
    : ObjectA(objectA), ObjectB(objectB), OffsetAX(offsetAX), OffsetAY(offsetAY),
      OffsetBX(offsetBX), OffsetBY(offsetBY) {
  Sprite = sprite;
}

TRope::TRope(const TRope& s)
    : TMapObjProt(s), ObjectA(s.ObjectA), ObjectB(s.ObjectB), OffsetAX(s.OffsetAX),
      OffsetAY(s.OffsetAY), OffsetBX(s.OffsetBX), OffsetBY(s.OffsetBY) {}

TRope::~TRope() = default;

bool TRope::AttachEnd(TMapObj* object, int offsetX, int offsetY, bool atCentre) {
  if (!object) return false;
  if (atCentre) offsetX = offsetY = 0;
  if (!ObjectA) {
    ObjectA = object;
    OffsetAX = offsetX;
    OffsetAY = offsetY;
    return false;
  }
  if (object != ObjectA) {
    ObjectB = object;
    OffsetBX = offsetX;
    OffsetBY = offsetY;
    return true;
  }
  return false;
}

int TRope::SegmentCount(b2Vec2 a, b2Vec2 b) {
  const float d = (b - a).Length();
  if (d < 1.0f) return 0;
  if (d <= kMaxSegmentLength) return 1;
  return static_cast<int>(std::floor(d / kMaxSegmentLength)) + 1;
}

b2Vec2 TRope::PointA() const {
  if (!ObjectA) return b2Vec2(0, 0);
  return b2Vec2(static_cast<float>(ObjectA->X - OffsetAX), static_cast<float>(ObjectA->Y - OffsetAY));
}

b2Vec2 TRope::PointB() const {
  if (!ObjectB) return b2Vec2(0, 0);
  return b2Vec2(static_cast<float>(ObjectB->X - OffsetBX), static_cast<float>(ObjectB->Y - OffsetBY));
}

void TRope::CreatePhysics(TWorld* world) {
  Segments.clear();
  SegmentHeat.clear();
  DropA = DropB = false;
  if (!world || !ObjectA || !ObjectB) return;  // only a complete rope runs
  TChainBuilder(*world->PhysicsWorld, Segments).Build(PointA(), PointB(), ObjectA->Body, ObjectB->Body);
  DropA = ObjectA->Dynamic;
  DropB = ObjectB->Dynamic;
  SegmentHeat.assign(Segments.size(), 0);
  for (b2Body* s : Segments) TWorld::SetObject(s, this);
}

void TRope::Update(int ox, int oy) {
  for (int32_t& heat : SegmentHeat)
    if (heat > 0) --heat;
  SpriteDX = ox;
  SpriteDY = oy;
}

bool TRope::LaserHit(b2Body* body, uint8_t kind) {
  if (kind != TLazer::kHot) return false;
  auto it = std::find(Segments.begin(), Segments.end(), body);
  if (it == Segments.end()) return false;
  const size_t i = static_cast<size_t>(it - Segments.begin());
  SegmentHeat[i] += kHeatPerHit;
  if (SegmentHeat[i] > kBurnHeat) {
    body->SetEnabled(false);
    PlaySound(TSound::RopeBurn);
    BurnThrough(i);
  }
  return false;
}

void TRope::BurnThrough(size_t index) {
  for (b2Body* s : Segments)
    if (s->IsEnabled()) s->SetAwake(true);
  // An end object whose body is gone (an exploded bomb) is not woken.
  if (DropA) {
    for (size_t k = 0; k <= index && k < Segments.size(); ++k) Segments[k]->SetEnabled(false);
    DropA = false;
    if (ObjectA && ObjectA->Body) ObjectA->Body->SetAwake(true);
  }
  if (DropB) {
    for (size_t k = index; k < Segments.size(); ++k) Segments[k]->SetEnabled(false);
    DropB = false;
    if (ObjectB && ObjectB->Body) ObjectB->Body->SetAwake(true);
  }
}

void TRope::DrawGame() {
  for (size_t i = 0; i + 1 < Segments.size(); ++i) {
    const b2Body* a = Segments[i];
    const b2Body* b = Segments[i + 1];
    if (!a->IsEnabled() || !b->IsEnabled()) continue;
    const float ox = static_cast<float>(SpriteDX), oy = static_cast<float>(SpriteDY);
    pr2d_Line(ox + a->GetPosition().x, oy + a->GetPosition().y, ox + b->GetPosition().x,
              oy + b->GetPosition().y, HeatColour(SegmentHeat[i]), 240, PR2D_SMOOTH);
  }
}

void TRope::DrawEditor(int ox, int oy) {
  const int ax = ObjectA ? ObjectA->X - OffsetAX : 0, ay = ObjectA ? ObjectA->Y - OffsetAY : 0;
  const int bx = ObjectB ? ObjectB->X - OffsetBX : 0, by = ObjectB ? ObjectB->Y - OffsetBY : 0;
  auto fx = [](int v) { return static_cast<float>(v); };
  if (ObjectA) pr2d_Circle(fx(ox + ax), fx(oy + ay), 7, 0xEF7575, 255, 32, 0);
  if (ObjectB) pr2d_Circle(fx(ox + bx), fx(oy + by), 7, 0x7575EF, 255, 32, 0);
  if (ObjectA && ObjectB) pr2d_Line(fx(ox + ax), fx(oy + ay), fx(ox + bx), fx(oy + by), 0xFFFFFF, 255, 0);
  FollowEnds();
  if (Sprite) Sprite->DrawFrame(ox + X, oy + Y, 0, 0, 255);
}

bool TRope::MiddleOfEnds(int* x, int* y) const {
  if (!ObjectA || !ObjectB) return false;
  const int ax = ObjectA->X - OffsetAX, ay = ObjectA->Y - OffsetAY;
  const int bx = ObjectB->X - OffsetBX, by = ObjectB->Y - OffsetBY;
  *x = ax + (bx - ax) / 2;
  *y = ay + (by - ay) / 2;
  return true;
}

void TRope::FollowEnds() { MiddleOfEnds(&X, &Y); }

void TRope::DrawShape(int ox, int oy) {
  pr2d_Circle(static_cast<float>(ox + X), static_cast<float>(oy + Y), 18, 0xFFFFFF, 255, 32, 0);
}

bool TRope::HitTest(int x, int y) {
  const zglTCircle around{static_cast<float>(X), static_cast<float>(Y), 11};
  return col2d_PointInCircle(static_cast<float>(x), static_cast<float>(y), around);
}

void TRope::ForgetPhysics() {
  Segments.clear();
  SegmentHeat.clear();
}

std::unique_ptr<TMapObjProt> TRope::Clone() const { return std::make_unique<TRope>(*this); }
