// The main menu: the title picture and four buttons (new game, load, editor, exit).
#pragma once

#include <memory>
#include <nlohmann/json.hpp>

#include "app/uScene.h"
#include "ui/uButtonEM.h"
#include "ui/uMeForm.h"

class TMainMenuScene : public tScene {
 public:
  explicit TMainMenuScene(tSceneMng* manager);
  ~TMainMenuScene() override;

  std::unique_ptr<TMeForm> Form;  // the four buttons
  TMeForm* SubForm = nullptr;     // shown instead of Form while visible (the level menu)

  void Draw() override;
  void Update() override;
  const char* Name() const override { return "menu"; }
  nlohmann::json DumpState() const;

 private:
  std::unique_ptr<TMeFormDrawRect> ButtonSprite;
  std::unique_ptr<TShapeRect> ButtonShape;
};

class TButtonNew : public TButtonEM {
 public:
  using TButtonEM::TButtonEM;
  void Click() override;
};

class TButtonOpen : public TButtonEM {
 public:
  using TButtonEM::TButtonEM;
  void Click() override;
};

class TButtonEditor : public TButtonEM {
 public:
  using TButtonEM::TButtonEM;
  void Click() override;
};

class TButtonExit : public TButtonEM {
 public:
  using TButtonEM::TButtonEM;
  void Click() override;
};

// The look and hit shape shared by the wide captioned buttons of every menu.
std::unique_ptr<TMeFormDrawRect> MakeWideButtonSprite();
std::unique_ptr<TShapeRect> MakeWideButtonShape();
