// Sound without a device (as in every headless run) and through SDL's silent
// "dummy" audio driver, which stands in for a sound card.
#include "engine/zglSound.h"

#include <SDL_mixer.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/engine.h"

namespace {

const std::string kSoundDir = std::string(KELVOD_SOURCE_DIR) + "/data/sound/";

struct Heard {
  uint64_t Tick;
  std::string Name;
  bool operator==(const Heard&) const = default;
};

class Sound : public ::testing::Test {
 protected:
  void SetUp() override {
    eng_Reset();
    eng_SetSoundObserver([this](uint64_t tick, const std::string& name) { Log.push_back({tick, name}); });
  }
  void TearDown() override { eng_Reset(); }
  std::vector<Heard> Log;
};

TEST_F(Sound, WithoutADeviceEverythingWorksSilentlyAndIsReported) {
  zglPSound fuse = snd_LoadFromFile(kSoundDir + "fuse.wav");
  zglPSound missing = snd_LoadFromFile("/no/such/folder/ghost.ogg");
  ASSERT_NE(missing, nullptr);
  EXPECT_EQ(snd_Name(fuse), "fuse");
  EXPECT_EQ(snd_Name(missing), "ghost");
  EXPECT_FALSE(eng_AudioOpen());

  snd_Play(fuse);
  snd_Play(missing, true, 0.5f);
  snd_Stop(fuse);
  snd_Stop(nullptr);
  snd_Play(nullptr);
  EXPECT_EQ(Log, (std::vector<Heard>{{0, "fuse"}, {0, "ghost"}}));

  snd_SetMasterVolume(1.5f);
  EXPECT_EQ(snd_MasterVolume(), 1.0f);
  snd_SetMasterVolume(-1.0f);
  EXPECT_EQ(snd_MasterVolume(), 0.0f);
  snd_SetMute(true);
  EXPECT_TRUE(snd_Muted());
}

// A held loop: the timer callback below holds it on ticks 2 to 4 and again on 6.
zglPSound HeldSound = nullptr;
void HoldOnSomeTicks() {
  uint64_t tick = eng_CurrentTick();
  if (tick == 6) {
    EXPECT_FALSE(snd_Held(HeldSound)) << "stopped at the end of tick 5, the first without a call";
  }
  if ((tick >= 2 && tick <= 4) || tick == 6) {
    snd_Hold(HeldSound);
    snd_Hold(HeldSound);  // a second caller in the same tick shares the loop
  }
  if (tick == 4) {
    EXPECT_TRUE(snd_Held(HeldSound));
  }
}

TEST_F(Sound, AHeldLoopStartsOnceAndStopsAfterATickWithoutACallAndHeadlessOpensNoDevice) {
  HeldSound = snd_LoadFromFile(kSoundDir + "beam_hot.wav");
  timer_Add(HoldOnSomeTicks, 15);
  eng_SetHeadless(true, 7);
  ASSERT_TRUE(zgl_Init());
  EXPECT_EQ(Log, (std::vector<Heard>{{2, "beam_hot"}, {6, "beam_hot"}}));
  EXPECT_FALSE(snd_Held(HeldSound));
  EXPECT_FALSE(eng_AudioOpen());
}

TEST_F(Sound, ThroughADevicePlayStopHoldAndMuteReachTheMixer) {
  zglPSound early = snd_LoadFromFile(kSoundDir + "win.wav");  // loaded before the device opens
  ASSERT_TRUE(eng_OpenAudio("dummy")) << "SDL's dummy audio driver is missing";
  zglPSound blast = snd_LoadFromFile(kSoundDir + "blast.wav");
  zglPSound hum = snd_LoadFromFile(kSoundDir + "beam_hot.wav");

  snd_Play(early);
  snd_Play(blast, true, 0.25f);
  EXPECT_EQ(Mix_Playing(-1), 2);
  snd_Hold(hum);
  EXPECT_EQ(Mix_Playing(-1), 3);
  EXPECT_EQ(Log.size(), 3u);

  // Volume and mute glide on the mixed stream; the channels keep playing.
  snd_SetMasterVolume(0.5f);
  EXPECT_EQ(snd_OutputTarget(), 0.5f);
  snd_SetMute(true);
  EXPECT_EQ(snd_OutputTarget(), 0.0f);
  EXPECT_EQ(Mix_Playing(-1), 3) << "mute silences without stopping";
  snd_SetMute(false);
  EXPECT_EQ(snd_OutputTarget(), 0.5f);
  for (int i = 0; i < 5; ++i) snd_Play(early);
  EXPECT_EQ(Mix_Playing(-1), 3) << "started again in the same tick: heard once";

  snd_Stop(early);
  eng_EndSoundTick();  // the hum was asked for in this tick: it goes on
  EXPECT_TRUE(snd_Held(hum));
  eng_EndSoundTick();  // not asked for: it fades out
  EXPECT_FALSE(snd_Held(hum));
  eng_CloseAudio();
  EXPECT_FALSE(eng_AudioOpen());
  snd_Play(blast);  // closed again: silent, still reported
  EXPECT_EQ(Log.size(), 9u);
}

}  // namespace
