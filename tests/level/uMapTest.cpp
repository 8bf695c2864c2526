// Picking and the play cycle of a map.
#include "level/uMap.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "engine/engine.h"
#include "level/uGameForm.h"
#include "sim/uHero.h"
#include "sim/uRope.h"
#include "sim/SimFixture.h"
#include "sim/uWorld.h"

namespace {

class MapTest : public ::testing::Test {
 protected:
  void SetUp() override {
    eng_Reset();
    eng_SetBackend(&Recorder);
  }
  void TearDown() override { eng_Reset(); }
  TMapObj* Block(int x, int y, bool dynamic = true, int kind = 2) {
    auto o = std::make_unique<TMapObj>(Map.Sprite(kind), std::make_unique<TShapeRect>(26, 26));
    o->X = x, o->Y = y, o->Dynamic = dynamic;
    Map.Objects.push_back(std::move(o));
    return Map.Objects.back().get();
  }
  zglRecordingBackend Recorder;
  TMap Map{35};
};

TEST_F(MapTest, PlacesTheFieldOnTheScreen) {
  EXPECT_EQ(std::tie(Map.OriginX, Map.OriginY, Map.MaxX, Map.MaxY), std::make_tuple(214, 34, 613, 683));
  for (int kind = 1; kind <= 12; ++kind) EXPECT_EQ(Map.Sprite(kind)->Tag, kind);
}

TEST_F(MapTest, PickingPassesOverTheCurrentObject) {
  TMapObj* a = Block(100, 100);
  TMapObj* b = Block(110, 100);
  const int sx = Map.OriginX + 105, sy = Map.OriginY + 100;
  ASSERT_TRUE(Map.PickAt(sx, sy, nullptr, false));
  EXPECT_EQ(Map.PickedObject, a);
  EXPECT_EQ(std::tie(Map.DragDX, Map.DragDY), std::make_tuple(-5, 0));
  ASSERT_TRUE(Map.PickAt(sx, sy, a, false));
  EXPECT_EQ(Map.PickedObject, b);
  ASSERT_TRUE(Map.PickAt(sx, sy, b, false));
  EXPECT_EQ(Map.PickedObject, a);
  // Only the current object under the point: it is found again.
  ASSERT_TRUE(Map.PickAt(Map.OriginX + 90, sy, a, false));
  EXPECT_EQ(Map.PickedObject, a);
  EXPECT_FALSE(Map.PickAt(Map.OriginX + 300, sy, a, false));
  EXPECT_EQ(Map.PickedObject, nullptr);
}

TEST_F(MapTest, StartingTwiceLeavesOneWorldWithBodiesAtTheirDesign) {
  TMapObj* a = Block(100, 100);
  Block(100, 300, false);
  Map.StartGame();
  for (int i = 0; i < 30; ++i) Map.Update();
  EXPECT_GT(a->Body->GetPosition().y, 101);
  TWorld* first = Map.World.get();
  Map.StartGame();
  EXPECT_NE(Map.World.get(), nullptr);
  EXPECT_EQ(Map.World->PhysicsWorld->GetBodyCount(), 2) << "one fresh world, not two";
  (void)first;
  EXPECT_NEAR(a->Body->GetPosition().y, 100, 0.1f) << "after the first tick's step only";
  EXPECT_TRUE(Map.Running);
  EXPECT_FALSE(Map.Paused);
}

TEST_F(MapTest, PausedMapsDoNotMoveBodiesButStillUpdateObjects) {
  TMapObj* a = Block(100, 100);
  Map.StartGame();
  Map.Paused = true;
  b2Vec2 before = a->Body->GetPosition();
  a->DrawX = -1;
  for (int i = 0; i < 10; ++i) Map.Update();
  EXPECT_EQ(a->Body->GetPosition(), before);
  EXPECT_FLOAT_EQ(a->DrawX, Map.OriginX + before.x - 13) << "objects still read the physics back";
}

TEST_F(MapTest, StoppingShowsTheDesignPositionsAgain) {
  TMapObj* a = Block(100, 100);
  Map.StartGame();
  for (int i = 0; i < 40; ++i) Map.Update();
  Map.Running = false;
  Recorder.Calls.clear();
  Map.Draw();
  ASSERT_EQ(Recorder.Calls.size(), 1u);
  EXPECT_FLOAT_EQ(Recorder.Calls[0].y, Map.OriginY + 100 - 13);
  EXPECT_EQ(a->Y, 100) << "play never changes the design";
  Map.Update();
  EXPECT_EQ(Map.World->PhysicsWorld->GetBodyCount(), 1) << "the world waits, unstepped";
}

TEST_F(MapTest, InteractiveObjectsGetTurnButtonsButHeroesDoNot) {
  TMapObj* a = Block(100, 200);
  a->Interactive = true;
  auto hero = std::make_unique<THero>(Map.Sprite(10), std::make_unique<TShapeRect>(18, 60));
  hero->Interactive = true;
  Map.Objects.push_back(std::move(hero));
  Map.StartGame();
  ASSERT_EQ(Map.GameForm->Objects.size(), 2u);
  EXPECT_EQ(std::tie(Map.GameForm->Objects[0]->X, Map.GameForm->Objects[0]->Y), std::make_tuple(50, 200));
  EXPECT_EQ(Map.GameForm->Objects[1]->X, 150);
  Map.StartGame();
  EXPECT_EQ(Map.GameForm->Objects.size(), 2u) << "rebuilt, not added again";
}

TEST_F(MapTest, TurnButtonsTurnTheBodyAndNothingWithoutABody) {
  TMapObj* a = Block(100, 200, false);
  a->Interactive = true;
  Map.StartGame();
  // The first button stands at map (50, 200).
  for (int i = 0; i < 3; ++i) {
    eng_SetMouse(Map.OriginX + 50, Map.OriginY + 200);
    eng_SetButton(M_BLEFT, true);
    eng_SetButton(M_BLEFT, false);
    Map.Update();
    mouse_ClearState();
  }
  EXPECT_NEAR(a->Body->GetAngle(), 0.7854f, 1e-4);
  EXPECT_EQ(a->Body->GetPosition(), b2Vec2(100, 200));
  EXPECT_EQ(a->Angle, 0);
  auto* button = static_cast<TButtonGF*>(Map.GameForm->Objects[1].get());
  a->ForgetPhysics();
  button->Click();  // its target has no body: nothing happens
}

// A turn wakes a sleeping body, or it would hang in the air as turned.
TEST_F(MapTest, ATurnWakesASleepingBodyWithoutPushingIt) {
  Block(300, 300, false)->Frame = 0;
  static_cast<TShapeRect*>(Map.Objects[0]->Shape.get())->Rect = {-100, -5, 200, 10};
  TMapObj* block = Block(300, 282);
  block->Interactive = true;
  Map.StartGame();
  for (int i = 0; i < 100; ++i) Map.Update();
  ASSERT_FALSE(block->Body->IsAwake()) << "it has come to rest";
  eng_SetMouse(Map.OriginX + 250, Map.OriginY + 282);  // its first turn button
  eng_SetButton(M_BLEFT, true);
  eng_SetButton(M_BLEFT, false);
  Map.Update();
  EXPECT_TRUE(block->Body->IsAwake());
  EXPECT_EQ(block->Body->GetLinearVelocity(), b2Vec2(0, 0));
}

TEST_F(MapTest, RemovingAnObjectTakesItsRopesAndLeavesNothingPointingAtIt) {
  TMapObj* a = Block(100, 100, false);
  TMapObj* b = Block(200, 100);
  TMapObj* c = Block(300, 100);
  a->Interactive = true;
  Map.Ropes.push_back(std::make_unique<TRope>(Map.Sprite(7), a, b, 0, 0, 0, 0));
  Map.Ropes.push_back(std::make_unique<TRope>(Map.Sprite(7), b, c, 0, 0, 0, 0));
  Map.StartGame();
  Map.Running = false;  // stopped, the world stays
  const TMapObjProt* gone = a;
  const TMapObjProt* goneRope = Map.Ropes[0].get();
  ASSERT_TRUE(Map.Remove(a));
  ASSERT_EQ(Map.Ropes.size(), 1u);
  EXPECT_EQ(Map.Ropes[0]->ObjectA, b);
  EXPECT_EQ(Map.GameForm->Objects.size(), 0u);
  for (b2Body* body = Map.World->PhysicsWorld->GetBodyList(); body; body = body->GetNext()) {
    EXPECT_NE(TWorld::ObjectOf(body), gone);
    EXPECT_NE(TWorld::ObjectOf(body), goneRope);
  }
  TRope* rope = Map.Ropes[0].get();
  ASSERT_TRUE(Map.Remove(rope));
  EXPECT_TRUE(Map.Ropes.empty());
  EXPECT_FALSE(Map.Remove(rope));
  Map.StartGame();  // nothing reaches the removed objects
  Map.Update();
}

TEST_F(MapTest, DumpHasEveryMapKey) {
  Block(100, 100);
  Map.StartGame();
  nlohmann::json j = Map.DumpState();
  for (const char* key : {"running", "paused", "has_world", "objects", "ropes", "lasers", "batteries",
                          "game_form_buttons"})
    EXPECT_TRUE(j.contains(key)) << key;
  const auto& o = j["objects"][0];
  for (const char* key : {"class", "x", "y", "angle", "width", "height", "sprite_dx", "sprite_dy",
                          "sprite_kind", "frame", "dynamic", "interactive", "shape", "shape_w",
                          "shape_h", "draw_x", "draw_y", "draw_angle", "body"})
    EXPECT_TRUE(o.contains(key)) << key;
  EXPECT_EQ(o["shape"], "RECT");
  EXPECT_EQ(o["body"]["x"], 100);
  Map.Clear();
  j = Map.DumpState();
  EXPECT_EQ(j["has_world"], false);
  EXPECT_TRUE(j["objects"].empty());
}

}  // namespace

// Removing from a map that runs takes the bodies out of the world: a removed
// mirror no longer reflects a beam, and a battery the removed hero took keeps
// no pointer to the hero's body.
class MapRemoveTest : public SimTest {};

TEST_F(MapRemoveTest, RemovingDuringPlayDestroysTheBodiesAndEveryPointerToThem) {
  LaserBox(100, 300);
  TMapObj* mirror = Mirror(300, 300, 26, 70, 45);
  THero* hero = Hero(500, 600);
  TBattery* battery = Battery(500, 570, true);  // inside the hero's head: taken at once
  TMapObj* a = Block(400, 100, false);
  TMapObj* b = Block(500, 100, true);
  Rope(mirror, 300, 280, a, 400, 100);  // the mirror's ropes go with it, the one between stays
  Rope(a, 400, 100, b, 500, 100);
  Rope(b, 500, 100, mirror, 300, 320);
  Start();
  Tick();
  ASSERT_GE(Lasers()[0]->Points.size(), 2u) << "the mirror reflects";
  ASSERT_EQ(battery->HeroBody, hero->Body);
  const size_t bodies = World().PhysicsWorld->GetBodyCount() - Map->Ropes[0]->Segments.size() -
                        Map->Ropes[2]->Segments.size() - 2;  // what stays
  ASSERT_TRUE(Map->Remove(mirror));
  ASSERT_TRUE(Map->Remove(hero));
  ASSERT_EQ(Map->Ropes.size(), 1u);
  EXPECT_EQ(static_cast<size_t>(World().PhysicsWorld->GetBodyCount()), bodies);
  EXPECT_EQ(battery->HeroBody, nullptr);
  Tick(200);
  EXPECT_EQ(Lasers()[0]->Points.size(), 1u) << "nothing left to reflect the beam";
}
