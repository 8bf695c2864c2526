// Scenes and the scene manager that switches between them with a white fade.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class tSceneMng;
class TDialog;
class zglPicture;

class tScene {
 public:
  // A scene joins its manager's list when it is made and leaves it when it goes.
  explicit tScene(tSceneMng* manager);
  virtual ~tScene();
  tScene(const tScene&) = delete;
  tScene& operator=(const tScene&) = delete;

  tSceneMng* Manager;

  virtual void Draw() {}
  virtual void Update() {}
  // Called when the scene becomes current through SetSceneParam.
  virtual void Start(int32_t /*param*/) {}
  // The scene's name in state dumps: "menu", "game" or "editor".
  virtual const char* Name() const = 0;
  // The program is about to end. A scene holding work that would be lost
  // asks the player first and returns true; once answered it calls the
  // manager's Quit again (or not, when the player chose to stay).
  virtual bool HoldQuit() { return false; }
  // The program ends now, with nobody to ask (the system ends it): a scene
  // keeps what it can of work that would be lost.
  virtual void KeepWorkBeforeEnd() {}

  // Makes this scene current at once, without a fade and without Start.
  void Activate();
  // Fades over to the manager's scene of that name (SetScene); with a
  // parameter, that scene starts with it (SetSceneParam). The buttons of a
  // scene reach the other scenes this way. An unknown name throws
  // std::logic_error.
  void SwitchTo(const std::string& name) const;
  void SwitchTo(const std::string& name, int32_t param) const;
};

class tSceneMng {
 public:
  tSceneMng();
  ~tSceneMng();
  tSceneMng(const tSceneMng&) = delete;
  tSceneMng& operator=(const tSceneMng&) = delete;

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
  std::vector<tScene*> Scenes;  // every scene made with this manager; not owned

  // The scene of this manager with that name ("menu", "game", "editor"), or
  // null. Scenes reach each other through it, not through the program.
  tScene* SceneNamed(const std::string& name) const;
  // The same for a scene that must exist: throws std::logic_error when none
  // has that name.
  tScene& Scene(const std::string& name) const;

  // The one dialog of the program, drawn over every scene. While it is open
  // it alone is updated: the scenes and a running fade wait for the answer.
  TDialog& Dialog();
  bool DialogOpen() const;
  // Ends the program unless a scene holds the quit to ask the player first.
  void Quit();
  // Ends the program without asking, each scene keeping its work first.
  void EndNow();

  void SetScene(tScene* scene, int32_t kind);
  void SetSceneParam(tScene* scene, int32_t param, int32_t kind);
  void Draw();
  void Update();

 private:
  std::unique_ptr<TDialog> OwnDialog;  // made when first asked for
  // The screen under an open dialog, dim included: nothing there moves until
  // it is answered, so it is drawn once per question.
  std::unique_ptr<zglPicture> UnderDialog;
  void Begin(tScene* scene, int32_t kind);
  void DrawScene();
};
