// The program's shared resources and long-lived instances, created once at
// start-up (OnLoad) and released only when the program ends (or a test says so).
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "engine/zgl.h"

class tSceneMng;
class TEditor;
class TLevelMenu;
class TGame;
class TMainMenuScene;
class TMeDrawRect;

extern tSceneMng* SceneManager;
extern TEditor* EditorScene;
extern TLevelMenu* LevelMenu;
extern TGame* GameScene;
extern TMainMenuScene* MenuScene;
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

// The program's random generator: a uniform integer from 0 to n - 1 (0 when n <= 0).
int Random(int n);
void RandomSeed(uint32_t seed);
uint32_t RandomSeedUsed();

// Loads the atlas, the title picture, the font and the three global sprites.
void LoadResources();
// Creates the scene manager, the scenes and the level menu, and makes the
// main menu current (or, with a level asked for, the game scene).
void CreateScenes(std::optional<int32_t> startLevel);
// Releases every global and forgets the engine's resources.
void FreeGlobals();
