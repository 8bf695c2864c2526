// The program's shared resources: the data folder they are read from, the
// atlas and title pictures, the font, and the three sprites every hero,
// battery and battery particle is drawn with. Loaded once at start-up
// (LoadResources) and forgotten when the program ends (FreeResources).
#pragma once

#include <filesystem>
#include <string>

#include "engine/zgl.h"

class TMeDrawRect;

extern zglPTexture PanelTexture;
extern zglPTexture TitleTexture;
extern zglPFont MainFont;
extern TMeDrawRect* HeroSprite;
extern TMeDrawRect* BatterySprite;
extern TMeDrawRect* ParticleSprite;

// The data folder: atlas, title picture, font, and level/ with the levels
// that come with the game. Setting it also makes its level folder the
// player's, until SetPlayerLevelDir names another.
void SetDataDir(const std::filesystem::path& dir);
const std::filesystem::path& DataDir();
// A path inside the data folder, e.g. DataPath("level/1001.map").
std::string DataPath(const std::string& relative);
// The data folder's level folder, with a trailing separator.
std::string DataLevelDir();
// The folder the player's own levels are saved into (and listed from), with a
// trailing separator. An installed game keeps them apart from the shipped
// ones (in $XDG_DATA_HOME/kelvod/level); with one data folder named on the
// command line, and by default, it is the data folder's level folder. Empty
// when the player has no folder to save into.
void SetPlayerLevelDir(const std::filesystem::path& dir);
std::string PlayerLevelDir();
// The player's levels live in a folder of their own, apart from the shipped ones.
bool PlayerLevelsApart();

// Whether the files the game cannot be used without (the atlas and the font)
// can be loaded from the data folder; false with what is wrong.
bool CheckResources(std::string* problem);
// Loads the atlas, the title picture, the font, the three shared sprites and
// the sounds (ui/uSounds.h).
void LoadResources();
// Releases the sprites and forgets the pictures and the font (the engine
// frees those on eng_Reset).
void FreeResources();
