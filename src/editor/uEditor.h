// The level editor scene.
#pragma once

#include "app/uScene.h"

class TEditor : public tScene {
 public:
  explicit TEditor(tSceneMng* manager) : tScene(manager) {}
  void Draw() override;
  const char* Name() const override { return "editor"; }
};
