#include "ui/uResources.h"

#include <memory>
#include <optional>

#include "engine/engine.h"
#include "ui/uAtlas.h"
#include "ui/uMeForm.h"
#include "ui/uSounds.h"

zglPTexture PanelTexture = nullptr;
zglPTexture TitleTexture = nullptr;
zglPFont MainFont = nullptr;
TMeDrawRect* HeroSprite = nullptr;
TMeDrawRect* BatterySprite = nullptr;
TMeDrawRect* ParticleSprite = nullptr;

namespace {

// Owns what the sprite pointers above refer to.
struct Store {
  std::unique_ptr<TMeDrawRect> Hero, Battery, Particle;
};

Store Owned;
std::filesystem::path DataFolder = "data";
std::optional<std::filesystem::path> PlayerLevelFolder;  // unset: the data folder's level folder

}  // namespace

void SetDataDir(const std::filesystem::path& dir) {
  DataFolder = dir;
  PlayerLevelFolder.reset();
}
const std::filesystem::path& DataDir() { return DataFolder; }
std::string DataPath(const std::string& relative) { return (DataFolder / relative).string(); }
std::string DataLevelDir() { return (DataFolder / "level").string() + "/"; }

void SetPlayerLevelDir(const std::filesystem::path& dir) { PlayerLevelFolder = dir; }
std::string PlayerLevelDir() {
  if (!PlayerLevelFolder) return DataLevelDir();
  if (PlayerLevelFolder->empty()) return "";
  return (*PlayerLevelFolder / "").string();
}
bool PlayerLevelsApart() { return PlayerLevelDir() != DataLevelDir(); }

bool CheckResources(std::string* problem) {
  std::string why;
  if (!eng_CanLoadImage(DataPath("panel_r.png"), &why)) {
    *problem = "the picture atlas \"panel_r.png\" cannot be loaded: " + why;
    return false;
  }
  if (!eng_CanLoadFont(DataPath("font_1.zfi"), &why)) {
    *problem = "the font description \"font_1.zfi\" cannot be loaded: " + why;
    return false;
  }
  return true;
}

void LoadResources() {
  PanelTexture = tex_LoadFromFile(DataPath("panel_r.png"));
  TitleTexture = tex_LoadFromFile(DataPath("m.png"));
  MainFont = font_LoadFromFile(DataPath("font_1.zfi"));
  Owned.Hero = MakeAtlasSprite(Atlas::HeroOverlay);
  Owned.Battery = MakeAtlasSprite(Atlas::BatteryLayers);
  Owned.Particle = MakeAtlasSprite(Atlas::Particles);
  HeroSprite = Owned.Hero.get();
  BatterySprite = Owned.Battery.get();
  ParticleSprite = Owned.Particle.get();
  LoadSounds(DataPath("sound"));
}

void FreeResources() {
  FreeSounds();
  HeroSprite = BatterySprite = ParticleSprite = nullptr;
  Owned.Hero.reset();
  Owned.Battery.reset();
  Owned.Particle.reset();
  PanelTexture = TitleTexture = nullptr;
  MainFont = nullptr;
}
