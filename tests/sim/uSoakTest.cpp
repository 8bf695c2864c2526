// A busy level run for thousands of ticks of scripted input: bombs on rope
// ends, batteries inside blasts, rotate buttons on objects that explode,
// restarts and deletions during play. Under the sanitizers this proves that
// no destroyed body or removed object is ever touched again.
#include <cmath>
#include <random>

#include "SimFixture.h"
#include "level/uGameForm.h"

namespace {

class SoakTest : public SimTest {
 protected:
  void BuildLevel() {
    Block(315, 690, false, 630, 10);  // floor
    Hero(80, 640)->Interactive = true;
    // A battery on a rope that the hero takes at once: delivery destroys a
    // body the rope is joined to.
    Rope(Block(80, 480, false), 80, 493, Battery(80, 590, true), 80, 571);
    for (int k = 0; k < 4; ++k) {
      const int x = 150 + 110 * k;
      TMapObj* anchor = Block(x, 60, false);
      TBomb* bomb = Bomb(x, 180, true);
      bomb->Interactive = k % 2 == 0;
      Rope(anchor, x, 73, bomb, x, 165);
      TBattery* battery = Battery(x + 30, 260, true);
      battery->Interactive = k == 1;
      Rope(bomb, x, 195, battery, x + 30, 241);  // a battery hanging from a bomb
      Bomb(x + 40, 650, k % 2 == 1)->Interactive = true;
    }
    Battery(300, 640, true);
    LaserBox(20, 180)->Interactive = true;
    LaserBox(600, 400, 180);
    Mirror(560, 180, 26, 70, 30)->Interactive = true;
    Mirror(40, 400, 26, 70, -20);
    TMapObj* a = Block(250, 400, true);
    TMapObj* b = Block(350, 400, true);
    Rope(a, 250, 400, b, 350, 400);
  }

  // Clicks a random rotate button, if there is one.
  void ClickSomeButton(std::mt19937& random) {
    auto& buttons = Map->GameForm->Objects;
    if (buttons.empty()) return;
    const auto& button = buttons[random() % buttons.size()];
    eng_SetMouse(Map->GameForm->X + button->X, Map->GameForm->Y + button->Y);
    Click();
  }

  void ScriptedTick(std::mt19937& random, int t) {
    if (t % 40 == 0) {
      ClickSomeButton(random);
    } else if (t % 7 == 0) {
      eng_SetMouse(Map->OriginX + static_cast<int>(random() % 630),
                   Map->OriginY + static_cast<int>(random() % 700));
      eng_SetButton(M_BLEFT, random() % 4 != 0);
    }
    Map->Update();
    mouse_ClearState();
    Map->Draw();
  }
};

TEST_F(SoakTest, BusyLevelRunsThousandsOfTicksWithoutAFault) {
  BuildLevel();
  Start();
  std::mt19937 random(7);
  int exploded = 0, burnt = 0, delivered = 0;
  for (int t = 1; t <= 4000; ++t) {
    ScriptedTick(random, t);
    if (t == 1200 || t == 2600) Start();  // restarts rebuild everything
    if (t == 2000) {
      // Deleting during play: a bomb holding two ropes, and the hero.
      ASSERT_TRUE(dynamic_cast<TBomb*>(Map->Objects[5].get()));
      Map->Remove(Map->Objects[5].get());
      ASSERT_TRUE(dynamic_cast<THero*>(Map->Objects[1].get()));
      Map->Remove(Map->Objects[1].get());
    }
    for (const auto& o : Map->Objects) {
      if (auto* bomb = dynamic_cast<TBomb*>(o.get()); bomb && bomb->Exploding && !bomb->Alive)
        ++exploded;
      if (auto* battery = dynamic_cast<TBattery*>(o.get()); battery && battery->Delivered)
        ++delivered;
    }
    for (const auto& r : Map->Ropes)
      for (const b2Body* s : r->Segments) burnt += s->IsEnabled() ? 0 : 1;
  }
  EXPECT_GT(exploded, 0);
  EXPECT_GT(burnt, 0);
  EXPECT_GT(delivered, 0);
  for (b2Body* b = World().PhysicsWorld->GetBodyList(); b; b = b->GetNext()) {
    ASSERT_TRUE(std::isfinite(b->GetPosition().x));
    ASSERT_TRUE(std::isfinite(b->GetPosition().y));
  }
  for (const auto& o : Map->Objects) {
    if (auto* battery = dynamic_cast<TBattery*>(o.get())) {
      for (const TParticle& p : battery->Particles) ASSERT_TRUE(std::isfinite(p.Pos.x));
    }
  }
  Map->DumpState();
}

}  // namespace
