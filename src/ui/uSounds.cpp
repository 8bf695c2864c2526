#include "ui/uSounds.h"

#include <algorithm>
#include <array>

#include "engine/zglSound.h"

namespace {

constexpr std::array<const char*, static_cast<size_t>(TSound::Count)> kNames = {
    "click",       "laser_on", "laser_off",         "beam_hot", "rope_burn", "fuse",
    "blast",       "battery_lit", "battery_taken",  "battery_delivered", "win", "lost",
    "impact",      "box_beam", "level_start",       "place",    "delete",    "undo"};

// The play field is 18 cells of 35 map pixels wide; its middle is heard in the middle.
constexpr float kFieldHalfWidth = 18 * 35 / 2.0f;
constexpr float kPanWidth = 0.7f;  // how far towards one side the field's edge is heard

std::array<zglPSound, static_cast<size_t>(TSound::Count)> Sounds{};
bool Muted = false;
int Volume = 100;

zglPSound Handle(TSound sound) {
  auto i = static_cast<size_t>(sound);
  return i < Sounds.size() ? Sounds[i] : nullptr;
}

// The slider's steps are heard as even steps of loudness, not of amplitude.
float Gain(int volume) {
  const float v = static_cast<float>(volume) / 100.0f;
  return v * v;
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
  snd_SetMasterVolume(Gain(Volume));
}

void FreeSounds() { Sounds.fill(nullptr); }

void PlaySound(TSound sound, float volume, float pan) {
  snd_Play(Handle(sound), false, volume, pan);
}

void PlaySoundAt(TSound sound, float mapX, float volume) {
  PlaySound(sound, volume, SoundPan(mapX));
}

float SoundPan(float mapX) {
  return std::clamp((mapX - kFieldHalfWidth) / kFieldHalfWidth, -1.0f, 1.0f) * kPanWidth;
}

void HoldSound(TSound sound, float volume, float pan) { snd_Hold(Handle(sound), volume, pan); }

bool SoundMuted() { return Muted; }

void SetSoundMuted(bool muted) {
  Muted = muted;
  snd_SetMute(muted);
}

int SoundVolume() { return Volume; }

void SetSoundVolume(int volume) {
  Volume = std::clamp(volume, 0, 100);
  snd_SetMasterVolume(Gain(Volume));
}
