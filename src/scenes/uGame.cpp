#include "scenes/uGame.h"

#include <nlohmann/json.hpp>

#include "app/uGlobals.h"
#include "engine/zgl.h"
#include "scenes/uLevelMenu.h"

TGame::TGame(tSceneMng* manager) : tScene(manager), Map(std::make_unique<TMap>(35)) {}

TGame::~TGame() = default;

void TGame::Draw() {
  pr2d_Rect(0, 0, 1024, 768, 0x505050, 255, PR2D_FILL);
  Map->Draw();
}

void TGame::Update() { Map->Update(); }

void TGame::Start(int32_t param) {
  LevelIndex = param;
  if (LevelMenu && param >= 0 && param < static_cast<int32_t>(LevelMenu->Levels.size()))
    Map->LoadFromFile(LevelDir() + LevelMenu->Levels[param].FileName);
  Map->StartGame();
}

nlohmann::json TGame::DumpState() const {
  return {{"level_index", LevelIndex}, {"map", Map->DumpState()}};
}
