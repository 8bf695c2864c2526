// The main menu: the title picture and four buttons (new game, load, editor, exit).
#pragma once

#include <memory>
#include <nlohmann/json.hpp>

#include "ui/uButtonEM.h"
#include "ui/uMeForm.h"
#include "ui/uScene.h"

class TLevelMenu;
class TSettingsPanel;

class TMainMenuScene : public tScene {
 public:
  // "Загрузить" opens `levelMenu`, the chooser shared with the game and the
  // editor (not owned).
  TMainMenuScene(tSceneMng* manager, TLevelMenu* levelMenu);
  ~TMainMenuScene() override;

  std::unique_ptr<TMeForm> Form;  // the four buttons
  TLevelMenu* LevelMenu;
  TMeForm* SubForm = nullptr;     // shown instead of Form while visible (the level menu)
  // Opened by the gear in the top right corner, over the menu.
  std::unique_ptr<TSettingsPanel> Settings;

  void Draw() override;
  void Update() override;
  const char* Name() const override { return "menu"; }
  nlohmann::json DumpState() const;

 private:
  std::unique_ptr<TMeFormDrawRect> ButtonSprite;
  std::unique_ptr<TShapeRect> ButtonShape;
  std::unique_ptr<TMeFormDrawRect> GearSprite;
  std::unique_ptr<TShapeCircle> GearShape;
  std::unique_ptr<zglPicture> Picture;  // the whole screen
  void DrawMenu();
};

// The small round button with a gear that opens the settings panel.
class TButtonSettings : public TMeFormObject {
 public:
  using TMeFormObject::TMeFormObject;
  void Click() override;
  void Draw(int offsetX, int offsetY, uint8_t alpha) override;
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

// In a corner of the menu: shows the language and switches to the next one
// there is a catalogue for, at once, keeping the choice in the settings.
class TButtonLanguage : public TButtonEM {
 public:
  using TButtonEM::TButtonEM;
  void Click() override;
};

// Shows the game in `code` from now on and keeps it as the player's choice.
void ChooseLanguage(const std::string& code);
