// The play scene.
#pragma once

#include "app/uScene.h"

class TGame : public tScene {
 public:
  explicit TGame(tSceneMng* manager) : tScene(manager) {}
  void Draw() override;
  void Start(int32_t param) override;
  const char* Name() const override { return "game"; }
};
