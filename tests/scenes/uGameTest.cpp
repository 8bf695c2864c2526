#include "scenes/uGame.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>

#include "app/uGlobals.h"
#include "level/uGameForm.h"
#include "level/uLevelHint.h"
#include "scenes/SceneTestSupport.h"
#include "scenes/uLevelMenu.h"
#include "sim/uBattery.h"
#include "sim/uWorld.h"
#include "ui/uScene.h"

namespace {

using T = TTestObject;

// A battery nobody can deliver yet keeps the level running.
const TTestObject kIdleBattery{T::BATTERY, 500, 100};

class GameSceneTest : public SceneTest {
 protected:
  std::vector<TBattery*> Batteries() const { return GameScene->Map->World->Batteries; }
  TMapObj* Object(size_t i) const { return GameScene->Map->Objects.at(i).get(); }
  size_t TurnButtons() const { return GameScene->Map->GameForm->Objects.size(); }
};

TEST_F(GameSceneTest, TheLevelIsCompleteOnlyInTheTickTheLastBatteryIsDelivered) {
  StartWithLevels({{{T::BATTERY, 100, 100}, {T::BATTERY, 200, 100}}});
  PlayLevel(0);
  Tick();
  ASSERT_EQ(Batteries().size(), 2u);
  EXPECT_FALSE(GameScene->WinForm->Visible);

  Batteries()[1]->Delivered = true;
  Tick(3);
  EXPECT_FALSE(GameScene->LevelComplete());
  EXPECT_FALSE(GameScene->WinForm->Visible);

  Batteries()[0]->Delivered = true;
  Tick();
  EXPECT_TRUE(GameScene->WinForm->Visible);
  EXPECT_EQ(GameScene->WinForm->Alpha, 0);
}

TEST_F(GameSceneTest, ALevelWithoutBatteriesIsWonOnItsFirstTickAndThenStandsStill) {
  StartWithLevels({{{T::BLOCK, 100, 100, true}}});
  PlayLevel(0);
  EXPECT_FALSE(GameScene->WinForm->Visible);
  Tick();
  ASSERT_TRUE(GameScene->WinForm->Visible);
  const b2Vec2 at = Object(0)->Body->GetPosition();
  Tick(20);
  EXPECT_EQ(Object(0)->Body->GetPosition().y, at.y) << "the map is frozen under the win form";
}

// The highest index there is has no next one: no overflow, the way back to
// the menu.
TEST_F(GameSceneTest, WinningTheLastPossibleIndexOffersTheMenu) {
  StartWithLevels({{{T::BLOCK, 100, 100}}});
  PlayLevel(std::numeric_limits<int32_t>::max());
  Tick();
  ASSERT_TRUE(GameScene->WinForm->Visible);
  EXPECT_TRUE(GameScene->WinForm->Next->AllDone);
  EXPECT_EQ(GameScene->WinForm->Caption, "Все уровни пройдены!");
}

TEST_F(GameSceneTest, RestartPutsEveryObjectBackInAFreshWorld) {
  StartWithLevels({{{T::BLOCK, 100, 100, true},
                    {T::PLANK, 100, 200, false, true, 10},
                    kIdleBattery}});
  PlayLevel(0);
  ClickAt(264, 234);  // turn the plank
  Tick(60);
  TMapObj* block = Object(0);
  TMapObj* plank = Object(1);
  ASSERT_GT(block->Body->GetPosition().y, 150) << "the block fell onto the plank";
  ASSERT_GT(plank->Body->GetAngle(), 20 * kDegToRad);

  ClickAt(934, 40);  // "Рестарт"
  EXPECT_NEAR(block->Body->GetPosition().x, 100, 0.01);
  EXPECT_NEAR(block->Body->GetPosition().y, 100, 0.5) << "only the restart's first step moved it";
  EXPECT_NEAR(plank->Body->GetAngle(), 10 * kDegToRad, 1e-5);
  EXPECT_EQ(GameScene->Map->World->Bodies.size(), 3u) << "no body of the old world is left";
  EXPECT_EQ(Batteries().size(), 1u);
  EXPECT_TRUE(GameScene->Map->World->Lasers.empty());
  EXPECT_EQ(TurnButtons(), 2u);
  EXPECT_FALSE(GameScene->WinForm->Visible);
}

TEST_F(GameSceneTest, TurnButtonsTurnAnInteractiveBodyBy15DegreesAndTheHeroGetsNone) {
  StartWithLevels({{{T::PLANK, 100, 200, false, true},
                    {T::HERO, 400, 400, false, true},
                    {T::BLOCK, 300, 100},
                    kIdleBattery}});
  PlayLevel(0);
  ASSERT_EQ(TurnButtons(), 2u) << "the plank's pair only";
  TMapObj* plank = Object(0);
  ClickAt(264, 234);
  ClickAt(264, 234);
  ClickAt(264, 234);
  EXPECT_NEAR(plank->Body->GetAngle(), 0.7854, 1e-4);
  ClickAt(364, 234);
  EXPECT_NEAR(plank->Body->GetAngle(), 0.5236, 1e-4);
  EXPECT_EQ(plank->Body->GetPosition(), b2Vec2(100, 200));
  EXPECT_EQ(plank->Angle, 0) << "the design angle stays";
}

TEST_F(GameSceneTest, ATurnButtonWhoseTargetHasNoBodyDoesNothing) {
  StartWithLevels({{{T::PLANK, 100, 200, false, true}, kIdleBattery}});
  PlayLevel(0);
  TMapObj* plank = Object(0);
  b2Body* body = plank->Body;
  plank->Body = nullptr;  // as after the body was destroyed
  ClickAt(264, 234);
  plank->Body = body;
  EXPECT_EQ(body->GetAngle(), 0.0f);
}

TEST_F(GameSceneTest, TheWinFormNamesTheNextLevelOrTheEndOfTheList) {
  StartWithLevels({{}, {}, {}});
  TWinForm& form = *GameScene->WinForm;
  form.Show(2);
  EXPECT_EQ(form.Caption, "Уровень пройден!");
  EXPECT_EQ(form.Next->Caption, "Далее");
  EXPECT_FALSE(form.Next->AllDone);
  form.Show(3);
  EXPECT_EQ(form.Caption, "Все уровни пройдены!");
  EXPECT_EQ(form.Next->Caption, "В меню");
  EXPECT_TRUE(form.Next->AllDone);
  EXPECT_EQ(form.Next->LevelIndex, 3);
}

TEST_F(GameSceneTest, AfterASaveModeOpeningTheGameStillSeesOnlyRealFiles) {
  StartWithLevels({{{T::BLOCK, 100, 100}}, {{T::BLOCK, 110, 100}}});
  // The editor's save chooser adds "+" (1003.map) and is closed unused.
  LevelMenu->Show(GameScene->Map.get(), true, false);
  LevelMenu->Visible = false;
  ASSERT_EQ(LevelMenu->Levels.size(), 3u);

  PlayLevel(1);
  Tick();
  ASSERT_TRUE(GameScene->WinForm->Visible);
  EXPECT_EQ(GameScene->WinForm->Caption, "Все уровни пройдены!");
  EXPECT_EQ(LevelMenu->Levels.size(), 2u);

  // Asked for the phantom entry itself, the game keeps the level it has.
  LevelMenu->Show(GameScene->Map.get(), true, false);
  LevelMenu->Visible = false;
  PlayLevel(2);
  ASSERT_EQ(GameScene->Map->Objects.size(), 1u);
  EXPECT_EQ(Object(0)->X, 110);
}

TEST_F(GameSceneTest, TheHintShowsUntilTheFirstHotBeamAndAgainAfterARestart) {
  StartWithLevels({{{T::HERO, 100, 300, false, true}, kIdleBattery}});  // armed from the start
  ASSERT_TRUE(SaveLevelHint(LevelDir() + "/1001.map", "Первая\nВторая", nullptr));
  PlayLevel(0);
  auto holdLeftAt = [&](int x, int y) {
    MoveTo(x, y);
    eng_SetButton(M_BLEFT, true);
    Tick();
    eng_SetButton(M_BLEFT, false);
  };
  MoveTo(600, 300);
  Tick(3);
  EXPECT_TRUE(GameScene->HintShown()) << "an aiming beam leaves it";
  DrawFrame();
  ASSERT_EQ(Recorder.TextCalls("Вторая").size(), 1u);
  EXPECT_LT(Recorder.TextCalls("Первая")[0]->y, Recorder.TextCalls("Вторая")[0]->y);
  holdLeftAt(600, 300);
  EXPECT_FALSE(GameScene->HintShown()) << "the first hot beam hides it";
  // The restart's own first tick fires the armed hero's beam while "Рестарт"
  // is held: that is no shot of the player's.
  holdLeftAt(934, 40);
  EXPECT_TRUE(GameScene->HintShown());
  holdLeftAt(600, 300);
  eng_SetKey(KeyLetter('r'), true);
  Tick();
  EXPECT_TRUE(GameScene->HintShown()) << "R restarts";
}

TEST_F(GameSceneTest, ThePlayScreenDrawsTheGridTheButtonsAndTheWinForm) {
  StartWithLevels({{}});
  PlayLevel(0);
  const auto& calls = DrawFrame();
  ASSERT_FALSE(calls.empty());
  EXPECT_EQ(calls[0].kind, zglDrawCall::RECT);
  EXPECT_EQ(calls[0].color, 0x505050u);
  EXPECT_EQ(calls[0].w, 1024);
  std::vector<const zglDrawCall*> dots;
  for (auto& c : calls)
    if (c.kind == zglDrawCall::CIRCLE && c.w == 2) dots.push_back(&c);
  ASSERT_EQ(dots.size(), 18u * 20u);
  EXPECT_EQ(dots.front()->x, 214);
  EXPECT_EQ(dots.front()->y, 34);
  EXPECT_EQ(dots[1]->y, 69) << "column by column";
  EXPECT_EQ(dots.back()->x, 809);
  EXPECT_EQ(dots.back()->y, 699);
  EXPECT_EQ(dots[0]->alpha, 21);
  EXPECT_EQ(dots[0]->quality, 7);
  EXPECT_EQ(dots[0]->flags, PR2D_FILL);
  ASSERT_EQ(Recorder.TextCalls("Меню").size(), 1u);
  EXPECT_EQ(Recorder.TextCalls("Меню")[0]->x, 90);
  EXPECT_EQ(Recorder.TextCalls("Рестарт")[0]->x, 934);
  EXPECT_TRUE(Recorder.TextCalls("Уровень пройден!").empty());

  Tick(11);
  DrawFrame();
  auto caption = Recorder.TextCalls("Все уровни пройдены!");
  ASSERT_EQ(caption.size(), 1u);
  EXPECT_EQ(caption[0]->x, 512);
  EXPECT_EQ(caption[0]->y, 359);
  EXPECT_EQ(caption[0]->alpha, 178);
  EXPECT_EQ(caption[0]->color, 0x0000FFu);
  EXPECT_EQ(caption[0]->flags, TEXT_HALIGN_CENTER);
  ASSERT_EQ(Recorder.TextCalls("В меню").size(), 1u);
  EXPECT_EQ(Recorder.TextCalls("В меню")[0]->y, 448);
  auto panel = std::find_if(Recorder.Calls.begin(), Recorder.Calls.end(), [](auto& c) {
    return c.kind == zglDrawCall::RECT && c.color == 0xF0F0FF;
  });
  ASSERT_NE(panel, Recorder.Calls.end());
  EXPECT_EQ(panel->x, 362);
  EXPECT_EQ(panel->y, 284);
  EXPECT_EQ(panel->alpha, 40) << "ten ticks into the fade";
}

}  // namespace
