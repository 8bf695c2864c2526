#include "ui/uSounds.h"

#include <array>

#include "engine/zglSound.h"

namespace {

constexpr std::array<const char*, static_cast<size_t>(TSound::Count)> kNames = {
    "click",         "laser_on",      "laser_off",         "beam_hot", "rope_burn", "fuse",
    "blast",         "battery_lit",   "battery_taken",     "battery_delivered", "win", "lost"};

std::array<zglPSound, static_cast<size_t>(TSound::Count)> Sounds{};
bool Muted = false;

zglPSound Handle(TSound sound) {
  auto i = static_cast<size_t>(sound);
  return i < Sounds.size() ? Sounds[i] : nullptr;
}

}  // namespace

const char* SoundName(TSound sound) {
  auto i = static_cast<size_t>(sound);
  return i < kNames.size() ? kNames[i] : "";
}

void LoadSounds(const std::string& folder) {
  for (size_t i = 0; i < Sounds.size(); ++i)
    Sounds[i] = snd_LoadFromFile(folder + "/" + kNames[i] + ".wav");
  snd_SetMute(Muted);
}

void FreeSounds() { Sounds.fill(nullptr); }

void PlaySound(TSound sound) { snd_Play(Handle(sound)); }
void HoldSound(TSound sound) { snd_Hold(Handle(sound)); }

bool SoundMuted() { return Muted; }

void SetSoundMuted(bool muted) {
  Muted = muted;
  snd_SetMute(muted);
}
