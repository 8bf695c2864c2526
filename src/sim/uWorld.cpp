#include "sim/uWorld.h"

#include <algorithm>
#include <cmath>
#include <iostream>

#include "sim/uBattery.h"
#include "sim/uLazer.h"
#include "ui/uMeForm.h"
#include "ui/uSounds.h"

void TImpactListener::BeginContact(b2Contact* contact) {
  const b2Fixture *a = contact->GetFixtureA(), *b = contact->GetFixtureB();
  if (a->IsSensor() || b->IsSensor() || contact->GetManifold()->pointCount == 0) return;
  b2WorldManifold m;
  contact->GetWorldManifold(&m);
  const b2Vec2 p = m.points[0];
  const b2Vec2 closing = b->GetBody()->GetLinearVelocityFromWorldPoint(p) -
                         a->GetBody()->GetLinearVelocityFromWorldPoint(p);
  const float speed = std::abs(b2Dot(closing, m.normal));
  if (speed >= TWorld::kImpactQuiet) Heard.push_back({speed, p.x});
}

TWorld::TWorld(int gravityX, int gravityY)
    : PhysicsWorld(std::make_unique<b2World>(
          b2Vec2(static_cast<float>(gravityX), static_cast<float>(gravityY)))) {
  PhysicsWorld->SetAllowSleeping(true);
  PhysicsWorld->SetContactListener(&Impacts);
  Bodies.reserve(150);
  Lasers.reserve(50);
  Batteries.reserve(10);
}

TWorld::~TWorld() { Clear(); }

void TWorld::Step() {
  PhysicsWorld->Step(kTimeStep, kVelocityIterations, kPositionIterations);
  PhysicsWorld->Step(kTimeStep, kVelocityIterations, kPositionIterations);
  PhysicsWorld->ClearForces();
  PlayImpacts();
}

void TWorld::PlayImpacts() {
  auto& heard = Impacts.Heard;
  const size_t count = std::min(heard.size(), kImpactsPerTick);
  std::partial_sort(heard.begin(), heard.begin() + static_cast<std::ptrdiff_t>(count), heard.end(),
                    [](const auto& x, const auto& y) { return x.Speed > y.Speed; });
  for (size_t i = 0; i < count; ++i) {
    const float t = std::clamp((heard[i].Speed - kImpactQuiet) / (kImpactLoud - kImpactQuiet), 0.0f, 1.0f);
    PlaySoundAt(TSound::Impact, heard[i].X, 0.25f + 0.75f * t);
  }
  heard.clear();
}

b2Body* TWorld::CreateBody(int x, int y, int angle, const TMeFormShape* shape, bool dynamic) {
  b2BodyDef def;
  def.type = dynamic ? b2_dynamicBody : b2_staticBody;
  def.position.Set(static_cast<float>(x), static_cast<float>(y));
  def.angle = static_cast<float>(angle) * kDegToRad;
  b2Body* body = PhysicsWorld->CreateBody(&def);
  AddShape(body, shape);
  Bodies.push_back(body);
  return body;
}

void TWorld::AddShape(b2Body* body, const TMeFormShape* shape) {
  // Box2D cannot weigh a shape without area (and stops the program when
  // asked to): such a body gets no fixture and takes no part in collisions.
  auto noSize = [](float w, float h) {
    std::cerr << "kelvod: a hit shape of " << w << " by " << h
              << " pixels has no area; its body gets no shape\n";
  };
  if (auto* rect = dynamic_cast<const TShapeRect*>(shape)) {
    if (!(rect->Rect.W > 0 && rect->Rect.H > 0)) return noSize(rect->Rect.W, rect->Rect.H);
    b2PolygonShape box;
    box.SetAsBox(rect->Rect.W / 2, rect->Rect.H / 2);
    body->CreateFixture(&box, 1.0f);
  } else {
    b2CircleShape circle;
    auto* c = dynamic_cast<const TShapeCircle*>(shape);
    circle.m_radius = c ? c->Circle.Radius : 1.0f;
    if (!(circle.m_radius > 0)) return noSize(2 * circle.m_radius, 2 * circle.m_radius);
    body->CreateFixture(&circle, 1.0f);
  }
}

void TWorld::DestroyBody(b2Body* body) {
  if (!body) return;
  auto it = std::find(Bodies.begin(), Bodies.end(), body);
  if (it != Bodies.end()) Bodies.erase(it);
  body->GetUserData().pointer = 0;
  PhysicsWorld->DestroyBody(body);
}

void TWorld::Clear() {
  while (b2Joint* j = PhysicsWorld->GetJointList()) PhysicsWorld->DestroyJoint(j);
  while (b2Body* b = PhysicsWorld->GetBodyList()) {
    b->GetUserData().pointer = 0;
    PhysicsWorld->DestroyBody(b);
  }
  for (auto it = Lasers.rbegin(); it != Lasers.rend(); ++it) it->reset();
  Lasers.clear();
  Bodies.clear();
  Batteries.clear();
}

void TWorld::DestroyBodiesOf(const TMapObjProt* object,
                             const std::function<void(b2Body*)>& beforeEach) {
  std::vector<b2Body*> gone;
  for (b2Body* b = PhysicsWorld->GetBodyList(); b; b = b->GetNext())
    if (ObjectOf(b) == object) gone.push_back(b);
  for (b2Body* b : gone) {
    if (beforeEach) beforeEach(b);
    DestroyBody(b);
  }
  std::erase_if(Batteries, [object](TBattery* b) { return b == object; });
}

TMapObjProt* TWorld::ObjectOf(const b2Body* body) {
  return body ? reinterpret_cast<TMapObjProt*>(const_cast<b2Body*>(body)->GetUserData().pointer)
              : nullptr;
}

void TWorld::SetObject(b2Body* body, TMapObjProt* object) {
  if (body) body->GetUserData().pointer = reinterpret_cast<uintptr_t>(object);
}
