// The window loop, run on SDL's dummy video driver (asked for by name, so the
// loop accepts it): real SDL events, no display needed.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <utility>
#include <vector>

#include "engine/engine.h"

namespace {

struct TLoopRun {
  int Frames = 0;
  std::vector<bool> Held;          // key_Down of the key looked at, after each frame's events
  std::vector<uint64_t> TicksAt;   // ticks run by each frame
  std::vector<std::pair<zglInputEvent::Kind, int>> Reported;
};
TLoopRun Seen;

class WindowLoop : public ::testing::Test {
 protected:
  void SetUp() override {
    eng_Reset();
    Seen = TLoopRun{};
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    scr_SetOptions(64, 48, false);
    eng_SetInputObserver([](uint64_t, const zglInputEvent& e) { Seen.Reported.push_back({e.kind, e.key}); });
  }
  void TearDown() override {
    unsetenv("SDL_VIDEODRIVER");
    eng_Reset();
  }
};

void PushKey(SDL_Scancode key, bool down, SDL_Keycode sym = SDLK_UNKNOWN) {
  SDL_Event e{};
  e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
  e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
  e.key.keysym.scancode = key;
  e.key.keysym.sym = sym;
  SDL_PushEvent(&e);
}

// Each frame looks at what the events pushed by the frame before did.
void PressBothShiftsThenLetGoOneByOne() {
  const int frame = ++Seen.Frames;
  if (frame > 1) Seen.Held.push_back(key_Down(K_SHIFT));
  if (frame == 1) PushKey(SDL_SCANCODE_LSHIFT, true), PushKey(SDL_SCANCODE_RSHIFT, true);
  if (frame == 2) PushKey(SDL_SCANCODE_LSHIFT, false);
  if (frame == 3) PushKey(SDL_SCANCODE_RSHIFT, false);
  if (frame == 4)
    for (auto [key, down] : {std::pair{SDL_SCANCODE_RCTRL, true}, {SDL_SCANCODE_LCTRL, true},
                             {SDL_SCANCODE_RCTRL, false}, {SDL_SCANCODE_LCTRL, false}})
      PushKey(key, down);
  if (frame == 5) zgl_Exit();
}

TEST_F(WindowLoop, BothShiftsAndBothCtrlsAreOneKeyEach) {
  zgl_Reg(SYS_DRAW, PressBothShiftsThenLetGoOneByOne);
  ASSERT_TRUE(zgl_Init()) << eng_LastError();
  EXPECT_EQ(Seen.Held, (std::vector<bool>{true, true, false, false}))
      << "Shift is held while either key is";
  using E = zglInputEvent;
  const std::vector<std::pair<E::Kind, int>> expected = {
      {E::KEY_DOWN, K_SHIFT}, {E::KEY_UP, K_SHIFT}, {E::KEY_DOWN, K_CTRL}, {E::KEY_UP, K_CTRL}};
  EXPECT_EQ(Seen.Reported, expected) << "a recording sees one press and one release per key";
  EXPECT_FALSE(key_Down(K_CTRL));
}

// A German layout's Z (where QWERTY has Y), a Russian layout's К (where
// QWERTY has R), Enter on the keypad, and a key the game does not read.
void PressLettersOfThreeLayouts() {
  if (++Seen.Frames == 1) {
    PushKey(SDL_SCANCODE_Y, true, SDLK_z);
    PushKey(SDL_SCANCODE_R, true, 0x43A);
    PushKey(SDL_SCANCODE_KP_ENTER, true, SDLK_KP_ENTER);
    PushKey(SDL_SCANCODE_TAB, true, SDLK_TAB);
  } else {
    zgl_Exit();
  }
}

TEST_F(WindowLoop, LettersFollowALatinLayoutAndOtherwiseTheirPlace) {
  zgl_Reg(SYS_DRAW, PressLettersOfThreeLayouts);
  ASSERT_TRUE(zgl_Init()) << eng_LastError();
  using E = zglInputEvent;
  const std::vector<std::pair<E::Kind, int>> expected = {
      {E::KEY_DOWN, KeyLetter('z')}, {E::KEY_DOWN, KeyLetter('r')}, {E::KEY_DOWN, K_RETURN},
      {E::KEY_DOWN, K_TAB}};  // a replay key now
  EXPECT_EQ(Seen.Reported, expected);
}

void StallOnTheFirstTick() {
  if (eng_TicksRun() == 0) SDL_Delay(200);  // about 13 ticks' worth
}

void CountTicksPerFrame() {
  Seen.TicksAt.push_back(eng_TicksRun());
  if (eng_TicksRun() >= 8 || ++Seen.Frames > 100000) zgl_Exit();
}

TEST_F(WindowLoop, AfterAStallAFrameCatchesUpAtMostFourTicks) {
  timer_Add(StallOnTheFirstTick, 15);
  zgl_Reg(SYS_DRAW, CountTicksPerFrame);
  ASSERT_TRUE(zgl_Init()) << eng_LastError();
  uint64_t most = 0;
  for (size_t i = 1; i < Seen.TicksAt.size(); ++i) most = std::max(most, Seen.TicksAt[i] - Seen.TicksAt[i - 1]);
  EXPECT_EQ(most, 4u) << "the ticks the stall missed are skipped beyond four";
}

}  // namespace
