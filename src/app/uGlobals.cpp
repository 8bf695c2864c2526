#include "app/uGlobals.h"

#include <memory>
#include <random>

#include "app/uScene.h"
#include "editor/uEditor.h"
#include "engine/engine.h"
#include "scenes/uGame.h"
#include "scenes/uLevelMenu.h"
#include "scenes/uMainMenu.h"
#include "ui/uAtlas.h"
#include "ui/uMeForm.h"

tSceneMng* SceneManager = nullptr;
TEditor* EditorScene = nullptr;
TLevelMenu* LevelMenu = nullptr;
TGame* GameScene = nullptr;
TMainMenuScene* MenuScene = nullptr;
zglPTexture PanelTexture = nullptr;
zglPTexture TitleTexture = nullptr;
zglPFont MainFont = nullptr;
TMeDrawRect* HeroSprite = nullptr;
TMeDrawRect* BatterySprite = nullptr;
TMeDrawRect* ParticleSprite = nullptr;

namespace {

// Owns what the global pointers above refer to.
struct Store {
  std::unique_ptr<tSceneMng> SceneManager;
  std::unique_ptr<TEditor> Editor;
  std::unique_ptr<TLevelMenu> LevelMenu;
  std::unique_ptr<TGame> Game;
  std::unique_ptr<TMainMenuScene> Menu;
  std::unique_ptr<TMeDrawRect> Hero, Battery, Particle;
};

Store Owned;
std::filesystem::path DataFolder = "data";
std::mt19937 Generator(0);
uint32_t SeedUsed = 0;

}  // namespace

void SetDataDir(const std::filesystem::path& dir) { DataFolder = dir; }
const std::filesystem::path& DataDir() { return DataFolder; }
std::string DataPath(const std::string& relative) { return (DataFolder / relative).string(); }
std::string LevelDir() { return (DataFolder / "level").string() + "/"; }

int Random(int n) {
  if (n <= 0) return 0;
  return static_cast<int>((static_cast<uint64_t>(Generator()) * static_cast<uint64_t>(n)) >> 32);
}

void RandomSeed(uint32_t seed) {
  SeedUsed = seed;
  Generator.seed(seed);
}

uint32_t RandomSeedUsed() { return SeedUsed; }

void LoadResources() {
  PanelTexture = tex_LoadFromFile(DataPath("panel_r.png"), TEX_NO_COLORKEY, TEX_DEFAULT_2D);
  TitleTexture = tex_LoadFromFile(DataPath("m.png"), TEX_NO_COLORKEY, TEX_DEFAULT_2D);
  MainFont = font_LoadFromFile(DataPath("font_1.zfi"));
  Owned.Hero = MakeAtlasSprite(Atlas::HeroOverlay);
  Owned.Battery = MakeAtlasSprite(Atlas::BatteryLayers);
  Owned.Particle = MakeAtlasSprite(Atlas::Particles);
  HeroSprite = Owned.Hero.get();
  BatterySprite = Owned.Battery.get();
  ParticleSprite = Owned.Particle.get();
}

void CreateScenes(std::optional<int32_t> startLevel) {
  Owned.SceneManager = std::make_unique<tSceneMng>();
  SceneManager = Owned.SceneManager.get();
  SceneManager->Width = 1024;
  SceneManager->Height = 768;
  Owned.Editor = std::make_unique<TEditor>(SceneManager);
  EditorScene = Owned.Editor.get();
  Owned.LevelMenu = std::make_unique<TLevelMenu>(512, 128, 255, EditorScene);
  LevelMenu = Owned.LevelMenu.get();
  LevelMenu->Rescan();
  Owned.Game = std::make_unique<TGame>(SceneManager);
  GameScene = Owned.Game.get();
  Owned.Menu = std::make_unique<TMainMenuScene>(SceneManager);
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
  HeroSprite = BatterySprite = ParticleSprite = nullptr;
  Owned.Menu.reset();
  Owned.Game.reset();
  Owned.LevelMenu.reset();
  Owned.Editor.reset();
  Owned.SceneManager.reset();
  Owned.Hero.reset();
  Owned.Battery.reset();
  Owned.Particle.reset();
  PanelTexture = TitleTexture = nullptr;
  MainFont = nullptr;
  eng_Reset();
}
