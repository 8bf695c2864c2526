// Sound through SDL2_mixer. The device is opened only by a window run (or a
// test asking for a driver); without it sounds are still loaded as names,
// played, held and reported to the observer, and nothing is heard.
//
// The mix: every play goes out at kSoundHeadroom of full scale, times its
// own volume and a small random lowering; a sound that is not looped plays one
// of a few copies resampled a little higher or lower, so repeats differ. The
// master volume and mute are applied last, to the mixed stream, gliding to a
// new level over a few milliseconds so a change never clicks.
#include "engine/zglSound.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <iostream>
#include <memory>
#include <random>
#include <vector>

#include "engine/engine.h"

struct zglTSound {
  std::string Path, Name;
  // Null without a device or when the file could not be loaded; [0] is the
  // file as it is, the others the same a little higher or lower.
  std::vector<Mix_Chunk*> Chunks;
  bool Held = false;          // a held loop is playing
  bool HeldThisTick = false;  // snd_Hold was called during the current tick
  int HeldChannel = -1;
  uint64_t StartedTick = UINT64_MAX;  // the tick of the last play heard
  float HeldVolume = 1.0f, HeldPan = 0.0f;  // the loudest asked for this tick, and its place
  void Free() {
    for (Mix_Chunk* c : Chunks) Mix_FreeChunk(c);
    Chunks.clear();
  }
  ~zglTSound() { Free(); }
};

namespace {

constexpr int kChannels = 24;
constexpr int kFadeOutMs = 40;
constexpr int kCutMs = 15;  // a play cut short for a newer one of the same sound
constexpr std::array<float, 4> kPitches = {1.0f - kSoundPitchSpread, 1.0f - kSoundPitchSpread / 2,
                                           1.0f + kSoundPitchSpread / 2, 1.0f + kSoundPitchSpread};

struct TChannelUse {
  zglTSound* Sound = nullptr;
  uint64_t Serial = 0;  // higher: started later
};

struct Mixer {
  bool Open = false;
  float Master = 1.0f;
  bool Muted = false;
  int Rate = 44100, OutChannels = 2;
  std::vector<std::unique_ptr<zglTSound>> Sounds;
  std::function<void(uint64_t, const std::string&)> Observer;
  std::array<TChannelUse, kChannels> Use{};
  uint64_t Serial = 0;
  std::minstd_rand Random{0x6b656c76u};  // the sound layer's own: the game's is never touched
};

Mixer Mx;

// Shared with the audio thread: the output level the mix glides to, and where it is now.
std::atomic<float> OutTarget{1.0f};
float OutNow = 1.0f;  // the audio thread's own

int MixVolume(float volume) {
  return static_cast<int>(std::lround(std::clamp(volume, 0.0f, 1.0f) * MIX_MAX_VOLUME));
}

void ApplyMaster() { OutTarget = Mx.Muted ? 0.0f : Mx.Master; }

// The mixed stream (signed 16-bit, as opened) times the output level, moving
// towards its target by a straight line over kSoundFadeMs.
void SDLCALL PostMix(void*, Uint8* stream, int len) {
  const float target = OutTarget.load();
  if (OutNow == 1.0f && target == 1.0f) return;
  auto* s = reinterpret_cast<Sint16*>(stream);
  const int channels = std::max(1, Mx.OutChannels);
  const int frames = len / static_cast<int>(sizeof(Sint16)) / channels;
  const float step = 1000.0f / (static_cast<float>(kSoundFadeMs) * static_cast<float>(Mx.Rate));
  for (int f = 0; f < frames; ++f) {
    if (OutNow < target)
      OutNow = std::min(target, OutNow + step);
    else if (OutNow > target)
      OutNow = std::max(target, OutNow - step);
    for (int c = 0; c < channels; ++c, ++s) *s = static_cast<Sint16>(std::lround(*s * OutNow));
  }
}

// A copy of `chunk` played `pitch` times as fast (so higher and shorter), by
// straight-line interpolation between the device's frames. Null when the
// device's format is not the 16-bit one the mixer was opened with.
Mix_Chunk* Resampled(const Mix_Chunk* chunk, float pitch) {
  const int channels = std::max(1, Mx.OutChannels);
  const auto* in = reinterpret_cast<const Sint16*>(chunk->abuf);
  const size_t frames = chunk->alen / sizeof(Sint16) / static_cast<size_t>(channels);
  if (frames < 2) return nullptr;
  const auto outFrames = static_cast<size_t>(static_cast<double>(frames - 1) / pitch);
  const size_t bytes = outFrames * static_cast<size_t>(channels) * sizeof(Sint16);
  auto* out = static_cast<Sint16*>(SDL_malloc(bytes));
  if (!out) return nullptr;
  for (size_t j = 0; j < outFrames; ++j) {
    const double at = static_cast<double>(j) * pitch;
    const auto i = static_cast<size_t>(at);
    const double t = at - static_cast<double>(i);
    for (int c = 0; c < channels; ++c) {
      const double a = in[i * channels + c], b = in[(i + 1) * channels + c];
      out[j * channels + c] = static_cast<Sint16>(std::lround(a + (b - a) * t));
    }
  }
  Mix_Chunk* copy = Mix_QuickLoad_RAW(reinterpret_cast<Uint8*>(out), static_cast<Uint32>(bytes));
  if (!copy) {
    SDL_free(out);
    return nullptr;
  }
  copy->allocated = 1;  // Mix_FreeChunk frees the samples too
  return copy;
}

void LoadChunk(zglTSound* s) {
  if (!Mx.Open || !s->Chunks.empty()) return;
  Mix_Chunk* chunk = Mix_LoadWAV(s->Path.c_str());
  if (!chunk) {
    std::cerr << "kelvod: warning: cannot load sound \"" << s->Path << "\": " << Mix_GetError()
              << "; it will not be heard\n";
    return;
  }
  s->Chunks.push_back(chunk);
  for (float pitch : kPitches)
    if (Mix_Chunk* copy = Resampled(chunk, pitch)) s->Chunks.push_back(copy);
}

void Started(zglTSound* s) {
  if (Mx.Observer) Mx.Observer(eng_CurrentTick(), s->Name);
}

bool Plays(int ch, const zglTSound* s) { return Mx.Use[ch].Sound == s && Mix_Playing(ch); }

// Keeps the plays of `s` under the limit: the oldest that is not already
// fading out is cut short.
void MakeRoom(const zglTSound* s) {
  int count = 0, oldest = -1;
  for (int ch = 0; ch < kChannels; ++ch) {
    if (!Plays(ch, s) || Mix_FadingChannel(ch) == MIX_FADING_OUT) continue;
    ++count;
    if (oldest < 0 || Mx.Use[ch].Serial < Mx.Use[oldest].Serial) oldest = ch;
  }
  if (count >= kSoundMaxSame && oldest >= 0) Mix_FadeOutChannel(oldest, kCutMs);
}

void SetPlace(int ch, float volume, float pan) {
  Mix_Volume(ch, MixVolume(kSoundHeadroom * volume));
  // The far side is lowered, never the near one raised: a placed sound is no louder.
  pan = std::clamp(pan, -1.0f, 1.0f);
  auto side = [](float v) { return static_cast<Uint8>(std::lround(255.0f * std::min(1.0f, v))); };
  Mix_SetPanning(ch, side(1.0f - pan), side(1.0f + pan));
}

// Returns the channel, or -1 when nothing is heard.
int Start(zglTSound* s, bool loop, float volume, float pan) {
  if (s->Chunks.empty() || (!loop && s->StartedTick == eng_CurrentTick())) return -1;
  if (!loop) s->StartedTick = eng_CurrentTick();
  MakeRoom(s);
  Mix_Chunk* chunk = s->Chunks[0];
  if (!loop) {
    std::uniform_int_distribution<size_t> pick(0, s->Chunks.size() - 1);
    std::uniform_real_distribution<float> lower(-kSoundLevelSpreadDb, 0.0f);
    chunk = s->Chunks[pick(Mx.Random)];
    volume *= std::pow(10.0f, lower(Mx.Random) / 20.0f);
  }
  const int ch = Mix_PlayChannel(-1, chunk, loop ? -1 : 0);
  if (ch < 0 || ch >= kChannels) return -1;
  SetPlace(ch, volume, pan);
  Mx.Use[ch] = {s, ++Mx.Serial};
  return ch;
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

void snd_Play(zglPSound sound, bool loop, float volume, float pan) {
  if (!sound) return;
  Started(sound);
  Start(sound, loop, volume, pan);
}

void snd_Stop(zglPSound sound) {
  if (!sound) return;
  sound->Held = false;
  sound->HeldChannel = -1;
  if (!Mx.Open) return;
  for (int ch = 0; ch < kChannels; ++ch)
    if (Plays(ch, sound)) Mix_FadeOutChannel(ch, kFadeOutMs);
}

void snd_Hold(zglPSound sound, float volume, float pan) {
  if (!sound) return;
  if (!sound->HeldThisTick || volume > sound->HeldVolume) {
    sound->HeldVolume = volume;
    sound->HeldPan = pan;
  }
  sound->HeldThisTick = true;
  if (sound->Held) return;
  sound->Held = true;
  Started(sound);
  sound->HeldChannel = Start(sound, true, volume, pan);
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

float snd_OutputTarget() { return OutTarget.load(); }

bool eng_OpenAudio(const std::string& driver) {
  if (Mx.Open) return true;
  if (!driver.empty()) SDL_setenv("SDL_AUDIODRIVER", driver.c_str(), 1);
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
    std::cerr << "kelvod: no sound (" << SDL_GetError() << "); the game plays on silently\n";
    return false;
  }
  if (Mix_OpenAudio(44100, AUDIO_S16SYS, 2, 1024) != 0) {
    std::cerr << "kelvod: no sound (" << Mix_GetError() << "); the game plays on silently\n";
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return false;
  }
  Uint16 format = 0;
  Mix_QuerySpec(&Mx.Rate, &format, &Mx.OutChannels);
  Mix_AllocateChannels(kChannels);
  Mx.Use = {};
  Mx.Open = true;
  ApplyMaster();
  OutNow = OutTarget.load();  // the device starts at the level set, without a glide
  Mix_SetPostMix(PostMix, nullptr);
  for (auto& s : Mx.Sounds) LoadChunk(s.get());
  return true;
}

bool eng_AudioOpen() { return Mx.Open; }

void eng_CloseAudio() {
  if (!Mx.Open) return;
  Mix_HaltChannel(-1);
  Mix_SetPostMix(nullptr, nullptr);
  for (auto& s : Mx.Sounds) s->Free();
  Mix_CloseAudio();
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
  Mx.Open = false;
}

void eng_SetSoundObserver(std::function<void(uint64_t, const std::string&)> observer) {
  Mx.Observer = std::move(observer);
}

void eng_EndSoundTick() {
  for (auto& s : Mx.Sounds) {
    if (s->Held && !s->HeldThisTick) {
      snd_Stop(s.get());
    } else if (s->Held && Mx.Open && s->HeldChannel >= 0 && Plays(s->HeldChannel, s.get())) {
      SetPlace(s->HeldChannel, s->HeldVolume, s->HeldPan);
    }
    s->HeldThisTick = false;
  }
}

void eng_FreeSounds() {
  eng_CloseAudio();
  Mx = Mixer{};
  ApplyMaster();
}
