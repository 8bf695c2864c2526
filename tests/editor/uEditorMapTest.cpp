// The editor's changes to the map: ropes, deleting, and test play.
#include <gtest/gtest.h>

#include <cstdint>

#include "editor/EditorSupport.h"
#include "sim/uWorld.h"

namespace {

constexpr int kPlayX = 462, kPauseX = 512, kStopX = 562, kPanelY = 25;

class EditorMapTest : public EditorTest {
 protected:
  // Three 26 x 26 blocks: A, B and C.
  void PlaceThree() {
    A = Place(2, 105, 105);
    B = Place(2, 245, 105);
    C = Place(2, 245, 245);
  }
  TRope* Hand() const { return E->Tools.RopePrototype(); }
  void WithKey(int key, auto action) {
    eng_SetKey(key, true);
    action();
    eng_SetKey(key, false);
  }
  TMapObj *A = nullptr, *B = nullptr, *C = nullptr;
};

TEST_F(EditorMapTest, ARopeNeedsTwoClicksOnTwoDifferentObjects) {
  PlaceThree();
  Tool(7);
  ClickMap(175, 315);  // empty field
  EXPECT_EQ(Hand()->ObjectA, nullptr);
  ClickMap(110, 100);
  EXPECT_EQ(Hand()->ObjectA, A);
  ClickMap(110, 100);  // the same object again
  ClickMap(175, 315);
  EXPECT_EQ(Hand()->ObjectA, A);
  EXPECT_EQ(Hand()->ObjectB, nullptr);
  EXPECT_EQ(Ropes(), 0u);
  EXPECT_TRUE(E->Tools.Placing);
  EXPECT_EQ(E->Tools.Current, Hand());

  ClickMap(248, 109);
  ASSERT_EQ(Ropes(), 1u);
  TRope* rope = E->Doc.Map->Ropes[0].get();
  EXPECT_NE(rope, Hand());
  EXPECT_EQ(rope->ObjectA, A);
  EXPECT_EQ(rope->ObjectB, B);
  // Attached where clicked: offsets are the object's position minus the point.
  EXPECT_EQ(rope->OffsetAX, -5);
  EXPECT_EQ(rope->OffsetAY, 5);
  EXPECT_EQ(rope->OffsetBX, -3);
  EXPECT_EQ(rope->OffsetBY, -4);
  EXPECT_EQ(Hand()->ObjectA, nullptr);
  EXPECT_EQ(Hand()->ObjectB, nullptr);
  EXPECT_FALSE(E->Tools.Placing);
  EXPECT_EQ(E->Tools.Current, nullptr);

  // With Ctrl the ends go to the objects' centres.
  Tool(7);
  WithKey(K_CTRL, [&] {
    ClickMap(110, 100);
    ClickMap(250, 250);
  });
  ASSERT_EQ(Ropes(), 2u);
  TRope* centred = E->Doc.Map->Ropes[1].get();
  EXPECT_EQ(centred->ObjectB, C);
  EXPECT_EQ(centred->OffsetAX | centred->OffsetAY | centred->OffsetBX | centred->OffsetBY, 0);
}

TEST_F(EditorMapTest, AHalfMadeRopeWaitsAndShiftLeavesAnEmptyHand) {
  PlaceThree();
  Tool(7);
  ClickMap(105, 105);
  Tool(2);
  Tool(7);
  EXPECT_EQ(Hand()->ObjectA, A) << "a half-made rope is still half-made";
  // Completing with Shift held: the hand stays a hand, with nothing in it.
  WithKey(K_SHIFT, [&] { ClickMap(245, 105); });
  EXPECT_EQ(Ropes(), 1u);
  EXPECT_TRUE(E->Tools.Placing);
  EXPECT_EQ(E->Tools.Current, nullptr);
  ClickMap(245, 245);
  EXPECT_EQ(Ropes(), 1u);
  EXPECT_EQ(E->Tools.Current, nullptr) << "clicks in the field do nothing until a tool is chosen";
}

TEST_F(EditorMapTest, ASelectedRopeOfTheMapKeepsItsObjects) {
  PlaceThree();
  Tool(7);
  ClickMap(245, 105);
  ClickMap(245, 245);
  ASSERT_EQ(Ropes(), 1u);
  TRope* rope = E->Doc.Map->Ropes[0].get();
  // A rope is picked near its midpoint (once the rope draws itself); select it directly.
  E->Tools.Current = rope;
  ClickMap(455, 455);
  EXPECT_EQ(E->Tools.Current, rope) << "a selected rope stays selected on empty field";
  WithKey(K_SHIFT, [&] { ClickMap(455, 455); });
  WithKey(K_SHIFT, [&] { ClickMap(455, 245); });
  ASSERT_EQ(Ropes(), 1u);
  EXPECT_EQ(rope->ObjectA, B);
  EXPECT_EQ(rope->ObjectB, C);
  EXPECT_EQ(E->Tools.Current, rope);

  Delete();
  EXPECT_EQ(Ropes(), 0u);
  EXPECT_EQ(Objects(), 3u);
  EXPECT_EQ(E->Tools.Current, nullptr);
}

TEST_F(EditorMapTest, DeletingAnObjectTakesItsRopesAndTheHalfMadeRopesEnd) {
  PlaceThree();
  auto join = [&](int ax, int ay, int bx, int by) {
    Tool(7);
    ClickMap(ax, ay);
    ClickMap(bx, by);
  };
  join(105, 105, 245, 105);  // A-B
  join(105, 105, 245, 245);  // A-C
  join(245, 105, 245, 245);  // B-C
  ASSERT_EQ(Ropes(), 3u);
  Tool(7);
  ClickMap(105, 105);  // a half-made rope from A
  ASSERT_EQ(Hand()->ObjectA, A);

  // With a prototype in hand the delete button does nothing.
  Delete();
  EXPECT_EQ(Objects(), 3u);
  EXPECT_EQ(Hand()->ObjectA, A);

  Tool(0);
  ClickMap(105, 105);
  ASSERT_EQ(E->Tools.Current, A);
  Delete();
  EXPECT_EQ(E->Tools.Current, nullptr);
  ASSERT_EQ(Objects(), 2u);
  EXPECT_EQ(Obj(0), B);
  ASSERT_EQ(Ropes(), 1u);
  EXPECT_EQ(E->Doc.Map->Ropes[0]->ObjectA, B);
  EXPECT_EQ(Hand()->ObjectA, nullptr) << "the rope tool forgets an object that left the map";
  Delete();
  EXPECT_EQ(Objects(), 2u) << "nothing selected: nothing to delete";
}

TEST_F(EditorMapTest, TestPlayPausesResumesAndStopsOnTheDesignLayout) {
  TMapObj* a = Place(2, 105, 105);
  ClickMap(105, 105);
  ClickAt(kPlayX, kPanelY);
  ASSERT_TRUE(E->Doc.Map->Running);
  EXPECT_EQ(E->Tools.Current, nullptr);
  Tick(10);
  ASSERT_NE(a->Body, nullptr);
  EXPECT_GT(a->Body->GetPosition().y, 105.5f) << "the block falls";

  ClickAt(kPauseX, kPanelY);
  EXPECT_TRUE(E->Doc.Map->Paused);
  const b2Vec2 held = a->Body->GetPosition();
  Tick(10);
  EXPECT_EQ(a->Body->GetPosition(), held) << "bodies stand still while paused";
  EXPECT_TRUE(E->PlayPanel->Objects[1]->Pressed);

  const TWorld* world = E->Doc.Map->World.get();
  const b2Body* body = a->Body;
  ClickAt(kPlayX, kPanelY);
  EXPECT_FALSE(E->Doc.Map->Paused);
  EXPECT_EQ(E->Doc.Map->World.get(), world) << "resuming does not rebuild the world";
  EXPECT_EQ(a->Body, body);
  Tick(3);
  EXPECT_GT(a->Body->GetPosition().y, held.y);
  EXPECT_TRUE(E->PlayPanel->Objects[0]->Pressed);

  ClickAt(kStopX, kPanelY);
  EXPECT_FALSE(E->Doc.Map->Running);
  EXPECT_EQ(std::pair(a->X, a->Y), std::pair(105, 105));
  bool atDesign = false;
  for (const auto& c : DrawFrame())
    atDesign |= c.kind == zglDrawCall::SPRITE && c.x == 214 + 105 - 13 && c.y == 34 + 105 - 13;
  EXPECT_TRUE(atDesign) << "stopped, the map shows the layout as placed";

  // Play after stop builds the world again from the layout.
  ClickAt(kPlayX, kPanelY);
  EXPECT_NEAR(a->Body->GetPosition().y, 105.0f, 0.5f);
}

TEST_F(EditorMapTest, DuringTestPlayOnlyThePlayPanelReacts) {
  TMapObj* a = Place(2, 105, 105);
  ClickAt(kPlayX, kPanelY);
  Tool(3);
  EXPECT_FALSE(E->Tools.Placing);
  EXPECT_EQ(E->Tools.Current, nullptr);
  ClickMap(105, 105);
  ClickMap(315, 315);
  ClickAt(600, 600, M_BMIDDLE);
  ClickAt(132, 660);  // delete
  ClickAt(90, 32);    // the menu button
  EXPECT_EQ(E->Tools.Current, nullptr);
  EXPECT_EQ(Objects(), 1u);
  EXPECT_EQ(a->Angle, 0);
  EXPECT_FALSE(E->FileMenu->Visible);
  EXPECT_EQ(E->ToolForm->Alpha, 155);
  EXPECT_EQ(E->PropPanel->Alpha, 155);
  ClickAt(kStopX, kPanelY);
  Tick();
  EXPECT_EQ(E->ToolForm->Alpha, 255);
  Tool(3);
  EXPECT_TRUE(E->Tools.Placing) << "editing is back after stop";
}

TEST_F(EditorMapTest, DeletingAfterAStoppedTestPlayLeavesNothingInTheOldWorldPointingAtIt) {
  PlaceThree();
  Tool(7);
  ClickMap(105, 105);
  ClickMap(245, 105);
  ClickAt(kPlayX, kPanelY);
  Tick(5);
  ClickAt(kStopX, kPanelY);
  ASSERT_NE(E->Doc.Map->World, nullptr) << "the stopped play's world is kept until the next start";
  ClickMap(105, 105);
  ASSERT_EQ(E->Tools.Current, A);
  const auto gone = reinterpret_cast<uintptr_t>(A);
  Delete();
  EXPECT_EQ(Ropes(), 0u);
  for (const b2Body* b = E->Doc.Map->World->PhysicsWorld->GetBodyList(); b; b = b->GetNext())
    EXPECT_NE(reinterpret_cast<uintptr_t>(TWorld::ObjectOf(b)), gone);
  ClickAt(kPlayX, kPanelY);
  Tick(3);
  EXPECT_EQ(E->Doc.Map->Objects.size(), 2u);
}

}  // namespace
