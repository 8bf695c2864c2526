// Sound through SDL2_mixer. The device is opened only by a window run (or a
// test asking for a driver); without it sounds are still loaded as names,
// played, held and reported to the observer, and nothing is heard.
#include "engine/zglSound.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <iostream>
#include <memory>
#include <vector>

#include "engine/engine.h"

struct zglTSound {
  std::string Path, Name;
  Mix_Chunk* Chunk = nullptr;  // null without a device or when the file could not be loaded
  bool Held = false;           // a held loop is playing
  bool HeldThisTick = false;   // snd_Hold was called during the current tick
  ~zglTSound() {
    if (Chunk) Mix_FreeChunk(Chunk);
  }
};

namespace {

constexpr int kChannels = 16;
constexpr int kFadeOutMs = 40;

struct Mixer {
  bool Open = false;
  float Master = 1.0f;
  bool Muted = false;
  std::vector<std::unique_ptr<zglTSound>> Sounds;
  std::function<void(uint64_t, const std::string&)> Observer;
};

Mixer Mx;

int MixVolume(float volume) {
  return static_cast<int>(std::lround(std::clamp(volume, 0.0f, 1.0f) * MIX_MAX_VOLUME));
}

void ApplyMaster() {
  if (Mx.Open) Mix_MasterVolume(Mx.Muted ? 0 : MixVolume(Mx.Master));
}

void LoadChunk(zglTSound* s) {
  if (!Mx.Open || s->Chunk) return;
  s->Chunk = Mix_LoadWAV(s->Path.c_str());
  if (!s->Chunk)
    std::cerr << "kelvod: warning: cannot load sound \"" << s->Path << "\": " << Mix_GetError()
              << "; it will not be heard\n";
}

void Started(zglTSound* s) {
  if (Mx.Observer) Mx.Observer(eng_CurrentTick(), s->Name);
}

void Start(zglTSound* s, bool loop, float volume) {
  if (!s->Chunk) return;
  int channel = Mix_PlayChannel(-1, s->Chunk, loop ? -1 : 0);
  if (channel >= 0) Mix_Volume(channel, MixVolume(volume));
}

}  // namespace

zglPSound snd_LoadFromFile(const std::string& path) {
  auto s = std::make_unique<zglTSound>();
  s->Path = path;
  s->Name = std::filesystem::path(path).stem().string();
  if (Mx.Open) {
    LoadChunk(s.get());
  } else if (SDL_RWops* f = SDL_RWFromFile(path.c_str(), "rb")) {
    SDL_RWclose(f);
  } else {
    std::cerr << "kelvod: warning: cannot open sound \"" << path << "\"; it will not be heard\n";
  }
  Mx.Sounds.push_back(std::move(s));
  return Mx.Sounds.back().get();
}

const std::string& snd_Name(zglPSound sound) {
  static const std::string none;
  return sound ? sound->Name : none;
}

void snd_Play(zglPSound sound, bool loop, float volume) {
  if (!sound) return;
  Started(sound);
  Start(sound, loop, volume);
}

void snd_Stop(zglPSound sound) {
  if (!sound) return;
  sound->Held = false;
  if (!Mx.Open || !sound->Chunk) return;
  for (int ch = 0; ch < kChannels; ++ch)
    if (Mix_Playing(ch) && Mix_GetChunk(ch) == sound->Chunk) Mix_FadeOutChannel(ch, kFadeOutMs);
}

void snd_Hold(zglPSound sound, float volume) {
  if (!sound) return;
  sound->HeldThisTick = true;
  if (sound->Held) return;
  sound->Held = true;
  snd_Play(sound, true, volume);
}

bool snd_Held(zglPSound sound) { return sound && sound->Held; }

void snd_SetMasterVolume(float volume) {
  Mx.Master = std::clamp(volume, 0.0f, 1.0f);
  ApplyMaster();
}

float snd_MasterVolume() { return Mx.Master; }

void snd_SetMute(bool mute) {
  Mx.Muted = mute;
  ApplyMaster();
}

bool snd_Muted() { return Mx.Muted; }

bool eng_OpenAudio(const std::string& driver) {
  if (Mx.Open) return true;
  if (!driver.empty()) SDL_setenv("SDL_AUDIODRIVER", driver.c_str(), 1);
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
    std::cerr << "kelvod: no sound (" << SDL_GetError() << "); the game plays on silently\n";
    return false;
  }
  if (Mix_OpenAudio(44100, MIX_DEFAULT_FORMAT, 2, 1024) != 0) {
    std::cerr << "kelvod: no sound (" << Mix_GetError() << "); the game plays on silently\n";
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return false;
  }
  Mix_AllocateChannels(kChannels);
  Mx.Open = true;
  ApplyMaster();
  for (auto& s : Mx.Sounds) LoadChunk(s.get());
  return true;
}

bool eng_AudioOpen() { return Mx.Open; }

void eng_CloseAudio() {
  if (!Mx.Open) return;
  Mix_HaltChannel(-1);
  for (auto& s : Mx.Sounds) {
    if (s->Chunk) Mix_FreeChunk(s->Chunk);
    s->Chunk = nullptr;
  }
  Mix_CloseAudio();
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
  Mx.Open = false;
}

void eng_SetSoundObserver(std::function<void(uint64_t, const std::string&)> observer) {
  Mx.Observer = std::move(observer);
}

void eng_EndSoundTick() {
  for (auto& s : Mx.Sounds) {
    if (s->Held && !s->HeldThisTick) snd_Stop(s.get());
    s->HeldThisTick = false;
  }
}

void eng_FreeSounds() {
  eng_CloseAudio();
  Mx = Mixer{};
}
