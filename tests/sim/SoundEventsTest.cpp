// The sounds the level objects start, and on which of the map's ticks.
#include <string>
#include <utility>
#include <vector>

#include "SimFixture.h"
#include "engine/zglSound.h"

namespace {

class SoundEvents : public SimTest {
 protected:
  void SetUp() override {
    SimTest::SetUp();
    eng_SetSoundObserver([this](uint64_t, const std::string& name) { Heard.push_back({Step, name}); });
  }
  // Map ticks numbered from 1, each ending as the engine ends a timer tick.
  void Step1() {
    ++Step;
    Tick();
    eng_EndSoundTick();
  }
  int Step = 0;
  std::vector<std::pair<int, std::string>> Heard;
};

TEST_F(SoundEvents, LaserSwitchAndTheHotHumHeldOnlyWhileTheBeamIsHot) {
  Hero(200, 300);  // its sprite covers screen x 395..433, y 302..366
  Start();
  eng_SetMouse(414, 334);
  Click();
  Step1();  // 1: on
  eng_SetMouse(700, 334);
  eng_SetButton(M_BLEFT, true);
  Step1();  // 2: hot
  Step1();  // 3: still hot: the same loop
  eng_SetButton(M_BLEFT, false);
  Step1();  // 4: cooled
  eng_SetButton(M_BLEFT, true);
  Step1();  // 5: hot again
  eng_SetMouse(414, 334);
  eng_SetButton(M_BLEFT, false);
  Click();
  Step1();  // 6: off
  EXPECT_EQ(Heard, (std::vector<std::pair<int, std::string>>{
                       {1, "laser_on"}, {2, "beam_hot"}, {5, "beam_hot"}, {6, "laser_off"}}));
}

TEST_F(SoundEvents, FusesLightAndBlastsAsTheirStateChanges) {
  TBomb* bomb = Bomb(100, 100);
  TBattery* battery = Battery(300, 100);
  Start();
  bomb->Heat = battery->Heat = 247;  // the next cooling step leaves 246: the fuse lights
  while (Step < 42) Step1();
  // Lit on tick 1, the fuse burns 40 ticks, both ignite on tick 42.
  EXPECT_EQ(Heard, (std::vector<std::pair<int, std::string>>{
                       {1, "fuse"}, {1, "battery_lit"}, {42, "blast"}, {42, "blast"}}));
  EXPECT_TRUE(bomb->Exploding && battery->Exploding);
}

}  // namespace
