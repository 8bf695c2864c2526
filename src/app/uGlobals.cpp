#include "app/uGlobals.h"

#include <memory>

#include "editor/uEditor.h"
#include "engine/engine.h"
#include "scenes/uGame.h"
#include "scenes/uLevelMenu.h"
#include "scenes/uMainMenu.h"
#include "scenes/uPlayerState.h"
#include "scenes/uSettings.h"
#include "ui/uLang.h"
#include "ui/uScene.h"
#include "ui/uSounds.h"

tSceneMng* SceneManager = nullptr;
TEditor* EditorScene = nullptr;
TLevelMenu* LevelMenu = nullptr;
TGame* GameScene = nullptr;
TMainMenuScene* MenuScene = nullptr;
bool LanguageFromPlayer = false;

namespace {

// Owns what the global pointers above refer to.
struct Store {
  std::unique_ptr<TPlayerState> Player;
  std::unique_ptr<tSceneMng> SceneManager;
  std::unique_ptr<TEditor> Editor;
  std::unique_ptr<TLevelMenu> LevelMenu;
  std::unique_ptr<TGame> Game;
  std::unique_ptr<TMainMenuScene> Menu;
};

Store Owned;

}  // namespace

void CreateScenes(std::optional<int32_t> startLevel, const std::filesystem::path& stateFolder) {
  Owned.Player = std::make_unique<TPlayerState>(stateFolder);
  Owned.Player->Load();
  PlayerState = Owned.Player.get();
  ApplySavedSettings();
  if (LanguageFromPlayer && !PlayerState->LanguageSetting().empty())
    SetLanguage(PlayerState->LanguageSetting());
  Owned.SceneManager = std::make_unique<tSceneMng>();
  SceneManager = Owned.SceneManager.get();
  SceneManager->Width = kScreenWidth;
  SceneManager->Height = kScreenHeight;
  Owned.Editor = std::make_unique<TEditor>(SceneManager);
  EditorScene = Owned.Editor.get();
  Owned.LevelMenu = std::make_unique<TLevelMenu>(kScreenCentreX, 128, 255, EditorScene);
  LevelMenu = Owned.LevelMenu.get();
  EditorScene->LevelMenu = LevelMenu;
  LevelMenu->Rescan();
  Owned.Game = std::make_unique<TGame>(SceneManager, LevelMenu);
  GameScene = Owned.Game.get();
  Owned.Menu = std::make_unique<TMainMenuScene>(SceneManager, LevelMenu);
  MenuScene = Owned.Menu.get();
  GameScene->Start(0);
  GameScene->Activate();
  if (startLevel) {
    GameScene->Start(*startLevel);
  } else {
    MenuScene->Activate();
  }
}

void FreeGlobals() {
  MenuScene = nullptr;
  GameScene = nullptr;
  LevelMenu = nullptr;
  EditorScene = nullptr;
  SceneManager = nullptr;
  Owned.Menu.reset();
  Owned.Game.reset();
  Owned.LevelMenu.reset();
  Owned.Editor.reset();
  Owned.SceneManager.reset();
  PlayerState = nullptr;
  Owned.Player.reset();
  FreeResources();
  eng_Reset();
}
