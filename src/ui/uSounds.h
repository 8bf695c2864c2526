// The game's sounds: one per event a player hears, loaded from the data
// folder's sound/ at start-up and played by name from any layer above the
// engine. Without a device they are silent, but still reported (--sound-log).
// Sounds only listen: nothing the game decides depends on them.
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
  Impact,            // a body struck another or the ground (louder the harder)
  BoxBeam,           // a laser box's beam burns something: held, quieter than the hero's
  LevelStart,        // a level starts (or restarts) in the game scene
  Place,             // the editor placed an object or a rope
  Delete,            // the editor deleted an object or a rope
  Undo,              // the editor went a step back (or forward again)
  Count
};

// The file name of a sound in the data folder's sound/ folder, without ".wav".
const char* SoundName(TSound sound);
// Loads every sound from `folder` (a missing file gives a silent sound and a warning).
void LoadSounds(const std::string& folder);
void FreeSounds();
// Starts a sound once; `volume` 0 to 1, `pan` -1 (left) to 1 (right).
// Nothing happens before LoadSounds.
void PlaySound(TSound sound, float volume = 1.0f, float pan = 0.0f);
// Starts a sound placed between the speakers by where it happens on the play
// field (`mapX` in map pixels).
void PlaySoundAt(TSound sound, float mapX, float volume = 1.0f);
// The place between the speakers (-1 to 1) of a map x: the field's edges are
// heard towards the sides, never wholly on one.
float SoundPan(float mapX);
// Keeps a looped sound going while it is asked for every tick (see snd_Hold).
void HoldSound(TSound sound, float volume = 1.0f, float pan = 0.0f);

// The player's sound settings: mute (the M key) and the volume (0 to 100, in
// the settings panel). Kept behind these so they can be stored with the
// player's other settings.
bool SoundMuted();
void SetSoundMuted(bool muted);
int SoundVolume();
void SetSoundVolume(int volume);
