#include "sim/uWorld.h"

#include <gtest/gtest.h>

#include "sim/uMapObj.h"
#include "ui/uMeForm.h"

namespace {

TEST(World, ADynamicBallFallsAsTheStepperPredicts) {
  TWorld w(0, 10);
  TShapeCircle ball(10);
  b2Body* body = w.CreateBody(100, 50, 0, &ball, true);
  TShapeCircle anchor(32);
  b2Body* fixed = w.CreateBody(300, 50, 0, &anchor, false);
  const float dt = 1.0f / 30.0f;
  for (int tick = 1; tick <= 20; ++tick) {
    w.Step();
    int n = 2 * tick;  // steps so far
    // Semi-implicit Euler: v += g dt, then y += v dt.
    float expected = 50 + 10 * dt * dt * n * (n + 1) / 2.0f;
    ASSERT_NEAR(body->GetPosition().y, expected, 1e-3f) << "tick " << tick;
  }
  EXPECT_EQ(body->GetPosition().x, 100);
  EXPECT_EQ(fixed->GetPosition().y, 50) << "a static body does not move";
}

TEST(World, NoForceOutlivesAStep) {
  TWorld w(0, 10);
  TShapeRect box(20, 20);
  b2Body* body = w.CreateBody(0, 0, 0, &box, true);
  body->ApplyForceToCenter(b2Vec2(5000, 0), true);
  w.Step();
  float vx = body->GetLinearVelocity().x;
  EXPECT_GT(vx, 0);
  w.Step();
  EXPECT_FLOAT_EQ(body->GetLinearVelocity().x, vx) << "the force acted in one step only";
}

TEST(World, BoxesAreCentredOnTheirPositionWithTheirAngle) {
  TWorld w(0, 10);
  TShapeRect shape(26, 70);
  b2Body* body = w.CreateBody(100, 50, 90, &shape, true);
  EXPECT_EQ(body->GetPosition(), b2Vec2(100, 50));
  EXPECT_FLOAT_EQ(body->GetAngle(), 90 * 0.017453292f);
  auto* poly = dynamic_cast<b2PolygonShape*>(body->GetFixtureList()->GetShape());
  ASSERT_NE(poly, nullptr);
  float maxX = 0, maxY = 0;
  for (int i = 0; i < poly->m_count; ++i) {
    maxX = std::max(maxX, poly->m_vertices[i].x);
    maxY = std::max(maxY, poly->m_vertices[i].y);
  }
  EXPECT_FLOAT_EQ(maxX, 13);
  EXPECT_FLOAT_EQ(maxY, 35);
  EXPECT_FLOAT_EQ(body->GetFixtureList()->GetDensity(), 1.0f);
  EXPECT_EQ(w.Bodies.size(), 1u);
}

TEST(World, ClearDestroysJointsBodiesAndLists) {
  TWorld w(0, 10);
  TShapeCircle c(10);
  b2Body* a = w.CreateBody(0, 0, 0, &c, true);
  b2Body* b = w.CreateBody(20, 0, 0, &c, false);
  b2RevoluteJointDef jd;
  jd.Initialize(a, b, b2Vec2(10, 0));
  w.PhysicsWorld->CreateJoint(&jd);
  TWorld::SetObject(a, reinterpret_cast<TMapObjProt*>(&w));  // any non-null marker
  w.Clear();
  EXPECT_EQ(w.PhysicsWorld->GetBodyCount(), 0);
  EXPECT_EQ(w.PhysicsWorld->GetJointCount(), 0);
  EXPECT_TRUE(w.Bodies.empty());
  EXPECT_TRUE(w.Lasers.empty());
  EXPECT_TRUE(w.Batteries.empty());
}

// Box2D stops the program when it is asked to weigh a shape without area.
TEST(World, AShapeWithoutAreaGivesABodyWithoutAFixture) {
  TWorld w(0, 10);
  TShapeRect flat(0, 26);
  TShapeCircle point(0);
  b2Body* a = w.CreateBody(0, 0, 0, &flat, true);
  b2Body* b = w.CreateBody(50, 0, 0, &point, false);
  EXPECT_EQ(a->GetFixtureList(), nullptr);
  EXPECT_EQ(b->GetFixtureList(), nullptr);
  w.Step();
  EXPECT_EQ(w.Bodies.size(), 2u) << "bodies all the same, which the world steps";
}

TEST(World, DestroyBodyForgetsIt) {
  TWorld w(0, 10);
  TShapeCircle c(10);
  b2Body* a = w.CreateBody(0, 0, 0, &c, true);
  b2Body* b = w.CreateBody(50, 0, 0, &c, true);
  w.DestroyBody(a);
  ASSERT_EQ(w.Bodies.size(), 1u);
  EXPECT_EQ(w.Bodies[0], b);
  EXPECT_EQ(w.PhysicsWorld->GetBodyCount(), 1);
}

}  // namespace
