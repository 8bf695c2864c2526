// The game's sounds: one per event a player hears, loaded from the data
// folder's sound/ at start-up and played by name from any layer above the
// engine. Without a device they are silent, but still reported (--sound-log).
#pragma once

#include <string>

enum class TSound {
  Click,             // a form button was clicked
  LaserOn,           // the hero's laser was switched on
  LaserOff,          // ... and off
  BeamHot,           // the hero's beam is hot: held (looped) for as long as it stays hot
  RopeBurn,          // a rope segment burnt through
  Fuse,              // a bomb's fuse lit
  Blast,             // a bomb or a battery exploded
  BatteryLit,        // a battery's fuse lit: it will explode unless it cools
  BatteryTaken,      // the hero collected a battery
  BatteryDelivered,  // the battery's energy reached the hero
  Win,               // the level-complete form appeared
  Lost,              // the level can no longer be won: whatever shows the level-lost
                     // notice plays it (PlaySound(TSound::Lost)) when the notice appears
  Count
};

// The file name of a sound in the data folder's sound/ folder, without ".wav".
const char* SoundName(TSound sound);
// Loads every sound from `folder` (a missing file gives a silent sound and a warning).
void LoadSounds(const std::string& folder);
void FreeSounds();
// Starts a sound once. Nothing happens before LoadSounds.
void PlaySound(TSound sound);
// Keeps a looped sound going while it is asked for every tick (see snd_Hold).
void HoldSound(TSound sound);

// The player's mute setting (the M key). Kept behind this pair so it can be
// stored with the player's other settings.
bool SoundMuted();
void SetSoundMuted(bool muted);
