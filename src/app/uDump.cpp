#include "app/uDump.h"

#include <fstream>

#include "app/uGlobals.h"
#include "editor/uEditor.h"
#include "engine/engine.h"
#include "scenes/uGame.h"
#include "scenes/uLevelMenu.h"
#include "scenes/uMainMenu.h"
#include "ui/uDialog.h"
#include "ui/uLang.h"
#include "ui/uScene.h"
#include "ui/uSounds.h"

nlohmann::json BuildDump() {
  nlohmann::json j;
  j["tick"] = eng_TicksRun();
  j["seed"] = RandomSeedUsed();
  j["muted"] = SoundMuted();
  j["volume"] = SoundVolume();
  j["lang"] = Language();
  if (!SceneManager) {
    j["scene"] = nullptr;
    return j;
  }
  j["scene"] = SceneManager->Current ? nlohmann::json(SceneManager->Current->Name()) : nlohmann::json();
  j["switching"] = SceneManager->Switching;
  j["fade_alpha"] = SceneManager->FadeAlpha;
  j["first_half"] = SceneManager->FirstHalf;
  j["dialog"] = nullptr;
  if (SceneManager->DialogOpen()) {
    const TDialog& dialog = SceneManager->Dialog();
    nlohmann::json buttons = nlohmann::json::array();
    for (const TButtonEM* b : dialog.Buttons())
      buttons.push_back({{"caption", b->Caption}, {"x", dialog.X + b->X}, {"y", dialog.Y + b->Y}});
    j["dialog"] = {{"text", dialog.Text}, {"buttons", buttons}};
  }
  if (MenuScene) j["menu"] = MenuScene->DumpState();
  if (LevelMenu) j["level_menu"] = LevelMenu->DumpState();
  if (GameScene) j["game"] = GameScene->DumpState();
  if (EditorScene) j["editor"] = EditorScene->DumpState();
  return j;
}

bool WriteDump(const std::string& path, std::string* error) {
  std::ofstream out(path, std::ios::out | std::ios::trunc);
  // Any text that is still not valid UTF-8 is written with replacement
  // characters rather than stopping the program.
  if (out) out << BuildDump().dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << "\n";
  out.close();
  if (!out) {
    *error = path + ": cannot write the state dump";
    return false;
  }
  return true;
}
