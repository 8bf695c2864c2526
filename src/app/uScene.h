// Scenes and the scene manager that switches between them with a white fade.
#pragma once

#include <cstdint>

class tSceneMng;

class tScene {
 public:
  explicit tScene(tSceneMng* manager) : Manager(manager) {}
  virtual ~tScene() = default;
  tScene(const tScene&) = delete;
  tScene& operator=(const tScene&) = delete;

  tSceneMng* Manager;

  virtual void Draw() {}
  virtual void Update() {}
  // Called when the scene becomes current through SetSceneParam.
  virtual void Start(int32_t /*param*/) {}
  // The scene's name in state dumps: "menu", "game" or "editor".
  virtual const char* Name() const = 0;

  // Makes this scene current at once, without a fade and without Start.
  void Activate();
};

class tSceneMng {
 public:
  tScene* Current = nullptr;
  tScene* Next = nullptr;
  uint32_t FadeColor = 0;
  int32_t Kind = 0;
  int32_t FadeAlpha = 0;
  int32_t FadeLimit = 0;
  int32_t FadeStep = 0;
  int32_t BackStep = 0;
  int32_t BackLimit = 0;
  bool StartNext = false;
  bool FirstHalf = false;
  bool Switching = false;
  int32_t StartParam = 0;
  int32_t Width = 0, Height = 0;

  void SetScene(tScene* scene, int32_t kind);
  void SetSceneParam(tScene* scene, int32_t param, int32_t kind);
  void Draw();
  void Update();

 private:
  void Begin(tScene* scene, int32_t kind);
};
