// The play scene: loads a level by its index in the level list and runs it.
#pragma once

#include <memory>
#include <nlohmann/json_fwd.hpp>

#include "app/uScene.h"
#include "level/uMap.h"

class TGame : public tScene {
 public:
  explicit TGame(tSceneMng* manager);
  ~TGame() override;

  std::unique_ptr<TMap> Map;
  int32_t CellSize = 35;
  int32_t LevelIndex = 0;

  void Draw() override;
  void Update() override;
  // Loads level `param` of the level list (or keeps the map when there is no
  // such level) and starts it.
  void Start(int32_t param) override;
  const char* Name() const override { return "game"; }
  nlohmann::json DumpState() const;
};
