// The editing model: the field, snapping, placing, picking, dragging,
// turning, and the tool form and property panel.
#include "editor/uEditor.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "editor/EditorSupport.h"
#include "level/uLevelBudget.h"
#include "level/uMapFile.h"

namespace {

// Property panel controls, on screen.
constexpr int kPanelX = 924, kPanelY = 128;
struct Point {
  int X, Y;
};
constexpr Point kTurnPlus{kPanelX - 20, kPanelY - 93}, kBothMinus{kPanelX - 20, kPanelY - 47},
    kWidthMinus{kPanelX - 20, kPanelY - 3}, kWidthPlus{kPanelX + 60, kPanelY - 3},
    kHeightMinus{kPanelX - 20, kPanelY + 43};
constexpr Point kDynamic{kPanelX, kPanelY + 150}, kBlack{kPanelX, kPanelY + 220},
    kWhite{kPanelX, kPanelY + 270}, kMirror{kPanelX, kPanelY + 320},
    kInteractive{kPanelX, kPanelY + 390};

class EditingTest : public EditorTest {
 protected:
  // The pointer comes first: a panel takes no press in the tick it starts taking input.
  void Click(Point p) {
    MoveTo(p.X, p.Y);
    Tick();
    ClickAt(p.X, p.Y);
  }
  // The pressed look of the black, white and mirror buttons, in that order.
  std::string MaterialLights() {
    std::string s;
    for (int i = 9; i <= 11; ++i) s += E->PropPanel->Objects[i]->Pressed ? '1' : '0';
    return s;
  }
  // Text drawn at a screen point in the next frame, or "" when none.
  std::string TextAt(int x, int y) {
    for (const auto& c : DrawFrame())
      if (c.kind == zglDrawCall::TEXT && c.x == x && c.y == y) return c.text;
    return "";
  }
};

TEST_F(EditingTest, TheFieldsEdgesAreOutsideTheField) {
  // A circle of diameter 70 at (35, 35) reaches the left edge.
  TMapObj* ball = Place(4, 35, 35);
  ASSERT_NE(ball, nullptr);
  ClickMap(0, 35);  // on the ball, but on the edge: not picked
  EXPECT_EQ(E->Tools.Current, nullptr);

  Tool(2);
  // (The top edge is tested clear of the play panel, which reaches into the field.)
  for (auto [x, y] : {std::pair{0, 300}, {E->Doc.Map->MaxX, 300}, {450, 0}, {300, E->Doc.Map->MaxY}}) {
    ClickMap(x, y);
    EXPECT_EQ(Objects(), 1u) << "a click at (" << x << ", " << y << ") placed something";
    EXPECT_TRUE(E->Tools.Placing);
  }
  ClickMap(1, 300);  // one pixel inside
  ASSERT_EQ(Objects(), 2u);
  EXPECT_EQ(Obj(1)->X, 0);
  EXPECT_EQ(Obj(1)->Y, 315);

  // A selection survives a click on the edge.
  ClickMap(35, 35);
  ASSERT_EQ(E->Tools.Current, ball);
  ClickMap(E->Doc.Map->MaxX, 300);
  EXPECT_EQ(E->Tools.Current, ball);
}

TEST_F(EditingTest, TheCursorSnapsToTheNearestGridPoint) {
  Tool(2);
  TMapObjProt* hand = E->Tools.Prototypes[2].get();
  auto at = [&](int mx, int my) {
    MoveTo(SX(mx), SY(my));
    Tick();
    return std::pair{hand->X, hand->Y};
  };
  EXPECT_EQ(at(70, 140), std::pair(70, 140));
  EXPECT_EQ(at(71, 141), std::pair(70, 140));
  EXPECT_EQ(at(70 + 17, 140 + 17), std::pair(70, 140));
  EXPECT_EQ(at(70 + 18, 140 + 18), std::pair(105, 175));
  EXPECT_EQ(at(70 + 34, 140 + 34), std::pair(105, 175));
  // Over the forms the prototype follows the pointer without snapping.
  MoveTo(50, 180);
  Tick();
  EXPECT_EQ(hand->X, 50 - 214);
  EXPECT_EQ(hand->Y, 180 - 34);
}

TEST_F(EditingTest, APlacingClickEmptiesTheHandUnlessShiftIsHeld) {
  TMapObj* block = Place(1, 105, 140);
  ASSERT_EQ(Objects(), 1u);
  EXPECT_NE(block, E->Tools.Prototypes[1].get());
  EXPECT_EQ(block->X, 105);
  EXPECT_EQ(block->Y, 140);
  EXPECT_FALSE(E->Tools.Placing);
  EXPECT_EQ(E->Tools.Current, nullptr);

  Tool(10);
  ShiftClickMap(70, 70);
  ShiftClickMap(140, 70);
  ShiftClickMap(210, 140);
  ASSERT_EQ(Objects(), 4u);
  for (size_t i = 1; i < 4; ++i) EXPECT_STREQ(Obj(i)->ClassName(), "THero");
  EXPECT_EQ(std::pair(Obj(3)->X, Obj(3)->Y), std::pair(210, 140));
  EXPECT_TRUE(E->Tools.Placing);
  EXPECT_EQ(E->Tools.Current, E->Tools.Prototypes[10].get());
}

TEST_F(EditingTest, EveryToolPlacesAnObjectOfItsOwnClass) {
  const std::pair<int, const char*> tools[] = {{1, "TMapObj"},  {4, "TMapObj"},   {8, "TBomb"},
                                               {9, "TLazerBox"}, {10, "THero"},    {11, "TMapObj"},
                                               {12, "TBattery"}};
  int x = 35;
  for (auto [tool, cls] : tools) {
    TMapObj* o = Place(tool, x, 350);
    ASSERT_NE(o, nullptr);
    EXPECT_STREQ(o->ClassName(), cls) << "tool " << tool;
    EXPECT_EQ(o->Sprite, E->Doc.Map->Sprite(tool));
    x += 70;
  }
}

TEST_F(EditingTest, ClicksOnOverlappingObjectsAlternateBetweenThem) {
  TMapObj* a = Place(4, 105, 105);  // circle, x 70..140
  TMapObj* b = Place(2, 140, 105);  // square, x 127..153
  ClickMap(80, 105);
  ASSERT_EQ(E->Tools.Current, a);
  ClickMap(133, 105);
  EXPECT_EQ(E->Tools.Current, b);
  ClickMap(133, 105);
  EXPECT_EQ(E->Tools.Current, a);
  ClickMap(133, 105);
  EXPECT_EQ(E->Tools.Current, b);
  // Alone under the pointer, the selection is found again.
  ClickMap(150, 105);
  EXPECT_EQ(E->Tools.Current, b);
  // Empty field deselects.
  ClickMap(400, 400);
  EXPECT_EQ(E->Tools.Current, nullptr);
  EXPECT_EQ(E->Tools.GrabX, 0);
  EXPECT_EQ(E->Tools.GrabY, 0);
}

TEST_F(EditingTest, PickingAndDraggingKeepTheGrabOffset) {
  TMapObj* a = Place(4, 105, 105);
  // Pressing off-centre on an object on a grid point does not move it.
  Press(SX(105 + 9), SY(105 - 12));
  EXPECT_EQ(E->Tools.Current, a);
  EXPECT_EQ(std::pair(a->X, a->Y), std::pair(105, 105));
  EXPECT_EQ(std::pair(E->Tools.GrabX, E->Tools.GrabY), std::pair(-9, 12));
  // Dragging moves it from grid point to grid point, offset kept.
  MoveTo(SX(105 + 9 + 70), SY(105 - 12 + 35));
  Tick();
  EXPECT_EQ(std::pair(a->X, a->Y), std::pair(175, 140));
  MoveTo(SX(105 + 9 + 70 + 17), SY(105 - 12 + 35 + 18));
  Tick();
  EXPECT_EQ(std::pair(a->X, a->Y), std::pair(175, 175));
  Release();
  MoveTo(SX(400), SY(400));
  Tick();
  EXPECT_EQ(std::pair(a->X, a->Y), std::pair(175, 175));

  // An object off the grid snaps to the nearest grid point when picked held.
  a->X = 100;
  a->Y = 192;
  Press(SX(100), SY(192));
  EXPECT_EQ(std::pair(a->X, a->Y), std::pair(105, 175));
  Release();
}

TEST_F(EditingTest, AShiftClickOnEmptyFieldLeavesACopyBehindTheDraggedSelection) {
  TMapObj* a = Place(1, 105, 140);
  ClickMap(105, 140);
  ASSERT_EQ(E->Tools.Current, a);
  eng_SetKey(K_SHIFT, true);
  Press(SX(315), SY(315));
  eng_SetKey(K_SHIFT, false);
  Release();
  ASSERT_EQ(Objects(), 2u);
  EXPECT_EQ(std::pair(Obj(1)->X, Obj(1)->Y), std::pair(105, 140));
  EXPECT_STREQ(Obj(1)->ClassName(), "TMapObj");
  EXPECT_EQ(std::pair(a->X, a->Y), std::pair(315, 315));
  EXPECT_EQ(E->Tools.Current, a);
}

TEST_F(EditingTest, MiddleClicksTurnTheObjectInHandOrSelectedWhereverThePointerIs) {
  TMapObj* a = Place(1, 105, 140);
  ClickMap(105, 140);
  for (int i = 0; i < 24; ++i) ClickAt(50, 500, M_BMIDDLE);  // over the tool form
  EXPECT_EQ(a->Angle, 360);
  EXPECT_EQ(TextAt(kPanelX + 18, kPanelY - 93), "360");

  Tool(3);
  ClickAt(600, 600, M_BMIDDLE);
  TMapObj* plank = Place(3, 210, 210);
  EXPECT_EQ(plank->Angle, 15) << "the copy inherits the prototype's turn";
  Tool(3);
  EXPECT_EQ(static_cast<TMapObj*>(E->Tools.Prototypes[3].get())->Angle, 15);
}

TEST_F(EditingTest, ToolButtonsChooseTheToolAndLightTheOneInHand) {
  auto lit = [&](int i) { return E->ToolForm->Objects[i]->Pressed; };
  Tool(5);
  Tick();
  EXPECT_TRUE(E->Tools.Placing);
  EXPECT_TRUE(lit(5));
  EXPECT_FALSE(lit(0));
  Tool(5);
  EXPECT_EQ(E->Tools.Current, E->Tools.Prototypes[5].get()) << "the tool in hand stays in hand";
  Tool(0);
  Tick();
  EXPECT_FALSE(E->Tools.Placing);
  EXPECT_EQ(E->Tools.Current, nullptr);
  EXPECT_TRUE(lit(0) && lit(13) && lit(14));
  EXPECT_FALSE(lit(5));

  TMapObj* a = Place(2, 105, 105);
  ClickMap(105, 105);
  ASSERT_EQ(E->Tools.Current, a);
  Tick();
  for (int i = 0; i <= 14; ++i) EXPECT_FALSE(lit(i)) << "tool " << i << " lit with a selection";
  Tool(14);
  EXPECT_EQ(E->Tools.Current, nullptr);
}

TEST_F(EditingTest, TurnAndResizeButtonsWithReadOutsAndTheMinimumSize) {
  TMapObj* a = Place(1, 105, 140);  // 26 x 70
  ClickMap(105, 140);
  EXPECT_EQ(TextAt(kPanelX + 18, kPanelY - 3), "26");
  EXPECT_EQ(TextAt(kPanelX + 18, kPanelY + 43), "70");
  EXPECT_EQ(TextAt(kPanelX + 18, kPanelY - 93), "0");
  for (int i = 0; i < 8; ++i) Click(kWidthPlus);
  EXPECT_EQ(a->Width, 90);
  EXPECT_EQ(TextAt(kPanelX + 18, kPanelY - 3), "90");
  Click(kTurnPlus);
  Click(kTurnPlus);
  EXPECT_EQ(a->Angle, 30);
  EXPECT_EQ(TextAt(kPanelX + 18, kPanelY - 93), "30");

  for (int i = 0; i < 12; ++i) Click(kWidthMinus);
  EXPECT_EQ(a->Width, 10) << "10 - 8 = 2 is refused";
  EXPECT_EQ(a->Height, 70);
  Click(kBothMinus);
  EXPECT_EQ(std::pair(a->Width, a->Height), std::pair(10, 70)) << "refused as a whole";
  a->Resize(7, 0);
  Click(kWidthMinus);
  EXPECT_EQ(a->Width, 9) << "17 - 8 = 9 is allowed";

  TMapObj* plank = Place(3, 315, 315);  // 140 x 10
  ClickMap(315, 315);
  ASSERT_EQ(E->Tools.Current, plank);
  Click(kHeightMinus);
  EXPECT_EQ(std::pair(plank->Width, plank->Height), std::pair(140, 10));

  // Nothing current: no read-outs, and the panel's buttons do nothing.
  ClickMap(500, 500);
  ASSERT_EQ(E->Tools.Current, nullptr);
  EXPECT_EQ(TextAt(kPanelX + 18, kPanelY - 3), "");
  Click(kWidthPlus);
  EXPECT_EQ(plank->Width, 140);
  EXPECT_EQ(a->Width, 9);
}

TEST_F(EditingTest, BlackWhiteAndMirrorActAsOneChoice) {
  TMapObj* a = Place(1, 105, 140);
  ClickMap(105, 140);
  Tick();
  EXPECT_EQ(MaterialLights(), "100");
  Click(kWhite);
  Tick();
  EXPECT_EQ(a->Frame, 1);
  EXPECT_EQ(MaterialLights(), "010");
  Click(kMirror);
  Tick();
  EXPECT_EQ(a->Frame, 2);
  EXPECT_EQ(MaterialLights(), "001");
  Click(kBlack);
  Tick();
  EXPECT_EQ(a->Frame, 0);
  EXPECT_EQ(MaterialLights(), "100");

  // One-frame sprites stay black, but turn, resize and switch the rest.
  TMapObj* hero = Place(10, 315, 315);
  ClickMap(315, 315);
  ASSERT_EQ(E->Tools.Current, hero);
  Click(kWhite);
  Click(kMirror);
  EXPECT_EQ(hero->Frame, 0);
  Click(kDynamic);
  Click(kInteractive);
  Click(kWidthPlus);
  Click(kTurnPlus);
  Tick();
  EXPECT_FALSE(hero->Dynamic);
  EXPECT_TRUE(hero->Interactive);
  EXPECT_EQ(hero->Width, 38 + 8);
  EXPECT_EQ(hero->Angle, 15);
  EXPECT_FALSE(E->PropPanel->Objects[8]->Pressed);
  EXPECT_TRUE(E->PropPanel->Objects[12]->Pressed);
  EXPECT_EQ(MaterialLights(), "100");

  // Options set on the prototype in hand go with every copy.
  Tool(2);
  Click(kMirror);
  Click(kDynamic);
  TMapObj* copy = Place(2, 420, 420);
  EXPECT_EQ(copy->Frame, 2);
  EXPECT_FALSE(copy->Dynamic);
}

TEST_F(EditingTest, TheScreenShowsGridSelectionAndPrototypeInHand) {
  auto count = [&](auto pred) {
    int n = 0;
    for (const auto& c : DrawFrame()) n += pred(c);
    return n;
  };
  auto gridDot = [](const zglDrawCall& c) {
    return c.kind == zglDrawCall::CIRCLE && c.w == 3 && c.alpha == 53 && c.quality == 25;
  };
  EXPECT_EQ(count(gridDot), 18 * 20);
  // A prototype in hand is drawn and outlined where it stands.
  Tool(4);
  MoveTo(SX(105), SY(105));
  Tick();
  auto outline = [](const zglDrawCall& c) {
    return c.kind == zglDrawCall::CIRCLE && c.x == 214 + 105 && c.y == 34 + 105 && c.w == 35 + 5;
  };
  EXPECT_EQ(count(outline), 1);
  auto ballSprite = [](const zglDrawCall& c) {
    return c.kind == zglDrawCall::SPRITE && c.x == 214 + 105 - 36 && c.y == 34 + 105 - 36;
  };
  EXPECT_EQ(count(ballSprite), 1);
  ClickMap(105, 105);
  EXPECT_EQ(count(outline), 0);
  EXPECT_EQ(count(ballSprite), 1) << "the placed ball";
  ClickMap(105, 105);
  EXPECT_EQ(count(outline), 1) << "the selection is outlined";
}

// Shortcuts read Ctrl and Shift as they were when their letter went down,
// however fast the hands: each case is keys going down (+) and up (-) within
// one tick; Steps is the change in the steps left to undo.
TEST_F(EditingTest, ShortcutsTakeTheModifiersHeldAsTheirLetterWentDown) {
  Place(2, 105, 105);
  Place(2, 175, 105);
  struct Case {
    const char* Keys;  // c Ctrl, s Shift, or a letter
    int Steps;
  };
  const Case cases[] = {{"+c +z -c", -1},    {"+c +y -c", 1},     {"+c +s +z -s -c", 1},
                        {"+c +s -s +z -c", -1}, {"+z +c -c", 0}, {"+c -c +y", 0}};
  for (const Case& c : cases) {
    while (E->Doc.History.UndoSteps() != 1) E->Doc.History.UndoSteps() > 1 ? E->Undo() : E->Redo();
    std::istringstream in(c.Keys);
    for (std::string k; in >> k;)
      eng_SetKey(k[1] == 'c' ? K_CTRL : k[1] == 's' ? K_SHIFT : KeyLetter(k[1]), k[0] == '+');
    Tick();
    for (int key : {K_CTRL, K_SHIFT, KeyLetter('z'), KeyLetter('y')}) eng_SetKey(key, false);
    Tick();
    EXPECT_EQ(static_cast<int>(E->Doc.History.UndoSteps()) - 1, c.Steps) << c.Keys;
  }
}

TEST_F(EditingTest, TestPlayWithAToolInHandLeavesTheEditorAbleToSelect) {
  TMapObj* block = Place(2, 105, 105);
  Tool(3);
  ClickAt(462, 25);  // play
  Tick(3);
  ClickAt(562, 25);  // stop
  ClickMap(105, 105);
  EXPECT_EQ(E->Tools.Current, block);
  EXPECT_FALSE(E->Tools.Placing);
}

// A level over the physics budget does not start, and the editor says why.
TEST_F(EditingTest, TestPlayOfALevelTooHeavyForThePhysicsSaysWhy) {
  Place(2, 105, 105);
  const std::string one = EncodeMap(*E->Doc.Map);
  std::string many;
  for (int i = 0; i <= TLevelBudget::kObjects; ++i) many += one;
  E->Doc.Map->Clear();
  DecodeMap(many, E->Doc.Map.get());
  ClickAt(462, 25);  // play
  Tick();
  EXPECT_FALSE(E->Doc.Map->Running);
  ASSERT_NE(E->MessageShown(), nullptr);
  EXPECT_EQ(*E->MessageShown(), OverBudgetText(MeasureLevel(*E->Doc.Map)));
}

// With the game's font loaded.
class FontEditingTest : public EditorTest {
  std::string DataDir() override { return Art.Dir(); }
  TestData Art;
};

// Leaving the hint field keeps the space typed last; characters the font has
// no picture for are not taken.
TEST_F(FontEditingTest, TheHintKeepsItsLastSpaceAndTakesNoCharacterTheFontLacks) {
  for (const char* typed : {"Раз два ", "три🙂"}) {
    E->StartHintEditing();
    eng_AddText(typed);
    Tick();
    E->StopHintEditing();
  }
  EXPECT_EQ(E->Doc.Hint, "Раз два три");
}

}  // namespace
