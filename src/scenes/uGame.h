// The play scene: loads a level by its index in the level list, runs it on a
// dotted grid with the "Меню" and "Рестарт" buttons, and shows the win form
// once every battery has been delivered.
#pragma once

#include <memory>
#include <nlohmann/json_fwd.hpp>
#include <string>

#include "level/uMap.h"
#include "ui/uButtonEM.h"
#include "ui/uMeForm.h"
#include "ui/uScene.h"

class TButtonNext;
class TLevelMenu;

// The level-complete panel: fades in, names the result and offers the next
// level (or the way back to the menu after the last one).
class TWinForm : public TMeForm {
 public:
  // The form holds its next button at (0, 64), drawn with `sprite` and hit
  // through `shape` (both shared, not owned).
  TWinForm(int x, int y, uint8_t alpha, tScene* owner, TMeFormShape* shape, TMeDrawRect* sprite);

  TButtonNext* Next;    // owned by the form's object list
  std::string Caption;  // "Уровень пройден!" or "Все уровни пройдены!"

  static constexpr uint8_t kFullAlpha = 240;
  static constexpr uint8_t kFadeStep = 4;

  // Shows the form for the level that would come next.
  void Show(int32_t nextLevel);
  void Draw() override;
  // Fades in first; the mouse is ignored until the fade is complete.
  bool Update(int mouseX, int mouseY) override;
};

class TGame : public tScene {
 public:
  // The levels are those of `levelMenu`, the chooser shared with the main
  // menu and the editor (not owned).
  TGame(tSceneMng* manager, TLevelMenu* levelMenu);
  ~TGame() override;

  std::unique_ptr<TMap> Map;
  int32_t CellSize = kCellSize;
  int32_t LevelIndex = 0;
  TLevelMenu* LevelMenu;
  std::unique_ptr<TWinForm> WinForm;
  std::unique_ptr<TMeForm> ButtonBar;  // "Меню" and "Рестарт"

  void Draw() override;
  void Update() override;
  // Loads level `param` of the level list (or keeps the map when there is no
  // such level) and starts it.
  void Start(int32_t param) override;
  const char* Name() const override { return "game"; }
  // Every battery of the running map has been delivered (true at once for a
  // level without batteries).
  bool LevelComplete() const;
  nlohmann::json DumpState() const;

 private:
  std::unique_ptr<TMeFormDrawRect> ButtonSprite;  // shared by the three captioned buttons
  std::unique_ptr<TShapeRect> ButtonShape;
  void DrawGrid() const;
};

// Back to the main menu.
class TButtonShowMenu : public TButtonEM {
 public:
  using TButtonEM::TButtonEM;
  void Click() override;
};

// Starts the game scene's map again from its design.
class TButtonReset : public TButtonEM {
 public:
  using TButtonEM::TButtonEM;
  void Click() override;
};

// The win form's button: the next level, or the main menu after the last one.
class TButtonNext : public TButtonEM {
 public:
  using TButtonEM::TButtonEM;
  int32_t LevelIndex = 0;
  bool AllDone = false;
  void Click() override;
};
