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

// The data folder: atlas, title picture, font, and level/ with the levels.
void SetDataDir(const std::filesystem::path& dir);
const std::filesystem::path& DataDir();
// A path inside the data folder, e.g. DataPath("level/1001.map").
std::string DataPath(const std::string& relative);
// The level folder, with a trailing separator.
std::string LevelDir();

// Whether the files the game cannot be used without (the atlas and the font)
// can be loaded from the data folder; false with what is wrong.
bool CheckResources(std::string* problem);
// Loads the atlas, the title picture, the font and the three shared sprites.
void LoadResources();
// Releases the sprites and forgets the pictures and the font (the engine
// frees those on eng_Reset).
void FreeResources();
