// Sound: load a sound file, play it (once or looped, with a volume and a place
// between the left and right speakers), stop it, a master volume and mute.
// Without an audio device (headless runs, CI, a machine without sound) every
// call works and nothing is heard.
#pragma once

#include <string>

struct zglTSound;  // opaque: a loaded sound (may hold no samples when loading failed)
using zglPSound = zglTSound*;

// The mix keeps room above the loudest sound: every play goes out at this
// share of full scale, so that several loud sounds at once do not clip.
constexpr float kSoundHeadroom = 0.5f;  // -6 dB
// At most this many plays of one sound are heard at once; a further play cuts
// the oldest short (with a fade of a few milliseconds). A sound started again
// in the tick it was started is heard once: the two would begin on the same
// sample and only add up to one louder copy.
constexpr int kSoundMaxSame = 3;
// Every play of a sound that is not looped is a little different: its level
// lowered by up to this many decibels, its pitch moved by up to this share,
// drawn from the sound layer's own random generator.
constexpr float kSoundLevelSpreadDb = 2.0f;
constexpr float kSoundPitchSpread = 0.03f;
// Master volume and mute changes glide over this long instead of cutting.
constexpr int kSoundFadeMs = 12;

// Loads a WAV (or OGG) file. Never null: a missing or unreadable file gives a
// sound that plays silently, with one warning on stderr. The sound's name is
// the file name without its folder and extension ("data/sound/fuse.wav": "fuse").
zglPSound snd_LoadFromFile(const std::string& path);
const std::string& snd_Name(zglPSound sound);

// Starts the sound on a free channel; `volume` from 0 to 1; `pan` from -1
// (left) through 0 (both speakers alike) to 1 (right).
void snd_Play(zglPSound sound, bool loop = false, float volume = 1.0f, float pan = 0.0f);
// Stops every playing instance of the sound (with a short fade, so it does not click).
void snd_Stop(zglPSound sound);
// Keeps a looped sound going for as long as it is asked for every timer tick:
// the first call starts it, and it stops at the end of the first tick without
// a call. Any number of callers in one tick share one loop, heard at the
// loudest volume asked for in that tick, placed where that caller asked.
void snd_Hold(zglPSound sound, float volume = 1.0f, float pan = 0.0f);
bool snd_Held(zglPSound sound);

// Master volume from 0 to 1 (default 1); mute silences everything without
// stopping it, so a looped sound is heard again when mute is lifted.
void snd_SetMasterVolume(float volume);
float snd_MasterVolume();
void snd_SetMute(bool mute);
bool snd_Muted();
// The output level the mix glides towards: 0 when muted, else the master volume.
float snd_OutputTarget();
