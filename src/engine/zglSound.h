// Sound: load a sound file, play it (once or looped, with a volume), stop it,
// a master volume and mute. Without an audio device (headless runs, CI, a
// machine without sound) every call works and nothing is heard.
#pragma once

#include <string>

struct zglTSound;  // opaque: a loaded sound (may hold no samples when loading failed)
using zglPSound = zglTSound*;

// Loads a WAV (or OGG) file. Never null: a missing or unreadable file gives a
// sound that plays silently, with one warning on stderr. The sound's name is
// the file name without its folder and extension ("data/sound/fuse.wav": "fuse").
zglPSound snd_LoadFromFile(const std::string& path);
const std::string& snd_Name(zglPSound sound);

// Starts the sound on a free channel; `volume` from 0 to 1.
void snd_Play(zglPSound sound, bool loop = false, float volume = 1.0f);
// Stops every playing instance of the sound (with a short fade, so it does not click).
void snd_Stop(zglPSound sound);
// Keeps a looped sound going for as long as it is asked for every timer tick:
// the first call starts it, and it stops at the end of the first tick without
// a call. Any number of callers in one tick share one loop.
void snd_Hold(zglPSound sound, float volume = 1.0f);
bool snd_Held(zglPSound sound);

// Master volume from 0 to 1 (default 1); mute silences everything without
// stopping it, so a looped sound is heard again when mute is lifted.
void snd_SetMasterVolume(float volume);
float snd_MasterVolume();
void snd_SetMute(bool mute);
bool snd_Muted();
