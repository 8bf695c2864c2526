// The program's long-lived instances: the scene manager, the scenes and the
// level chooser, created once at start-up (CreateScenes) and released only
// when the program ends (or a test says so). The shared resources and the
// random generator they use live in the folders below (ui/uResources.h,
// sim/uRandom.h); app creates them at start-up too.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>

#include "sim/uRandom.h"
#include "ui/uResources.h"

class tSceneMng;
class TEditor;
class TLevelMenu;
class TGame;
class TMainMenuScene;

extern tSceneMng* SceneManager;
extern TEditor* EditorScene;
extern TLevelMenu* LevelMenu;
extern TGame* GameScene;
extern TMainMenuScene* MenuScene;

// Whether CreateScenes shows the language kept in the player's settings (or,
// when none is kept, the locale's): a window started without --lang.
extern bool LanguageFromPlayer;

// Loads the player's state from `stateFolder` (empty: kept in memory only),
// creates the scene manager, the scenes and the level menu, and makes the
// main menu current (or, with a level asked for, the game scene).
void CreateScenes(std::optional<int32_t> startLevel, const std::filesystem::path& stateFolder = {});
// Releases every global and forgets the engine's resources.
void FreeGlobals();
