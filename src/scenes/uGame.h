// The play scene: loads a level by its index in the level list, runs it on a
// dotted grid with the "Меню" and "Рестарт" buttons and the level's hint,
// shows the win form once every battery has been delivered and the failure
// form once the level can no longer be won.
#pragma once

#include <memory>
#include <nlohmann/json_fwd.hpp>
#include <string>
#include <vector>

#include "engine/zgl.h"
#include "level/uLevelSolution.h"
#include "level/uMap.h"
#include "level/uShareCode.h"
#include "ui/uButtonEM.h"
#include "ui/uMeForm.h"
#include "ui/uScene.h"

class TButtonNext;
class TButtonSolution;
class TLevelMenu;
class TLostForm;

// A result panel over the play field: a caption above one button. It fades
// in, and its button takes no click (nor Enter) until the fade is complete.
class TResultForm : public TMeForm {
 public:
  TResultForm(int x, int y, uint8_t alpha, tScene* owner, uint32_t captionColor);

  std::string Caption;
  uint32_t CaptionColor;
  int Height = 200;  // of the panel, from 100 pixels above the form's centre
  TButtonEM* Button = nullptr;  // the form's one button; owned by the object list

  static constexpr uint8_t kFullAlpha = 240;
  static constexpr uint8_t kFadeStep = 4;

  bool FadedIn() const { return Alpha >= kFullAlpha; }
  // Enter: presses the button once the form has faded in. True when it did.
  bool PressButton();
  void Draw() override;
  // Fades in first; the mouse is ignored until the fade is complete.
  bool Update(int mouseX, int mouseY) override;

 protected:
  void StartFadeIn();
};

// The level-complete panel: names the result and offers the next level (or
// the way back to the menu after the last one).
class TWinForm : public TResultForm {
 public:
  // The form holds its next button at (0, 64), drawn with `sprite` and hit
  // through `shape` (both shared, not owned).
  TWinForm(int x, int y, uint8_t alpha, tScene* owner, TMeFormShape* shape, TMeDrawRect* sprite);

  TButtonNext* Next;  // the form's button

  // Shows the form for the level that would come next; after a shared level
  // (`shared`) the button leads back to the menu.
  void Show(int32_t nextLevel, bool shared = false);
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
  std::unique_ptr<TLostForm> LostForm;  // shown when the level can no longer be won
  std::unique_ptr<TMeForm> ButtonBar;   // "Меню", "Рестарт" and "Решение"
  std::string Hint;          // the level's hint ("" when it has none)
  bool HintVisible = false;  // from the start until the player first fires a hot beam
  int32_t Failures = 0;      // failures and restarts of this level since Start
  std::vector<TReplayEvent> Solution;   // the level's solution; empty for none
  std::unique_ptr<TDemoPlayback> Demo;  // while the solution plays

  // Tries after which "Решение" is offered.
  static constexpr int32_t kTriesBeforeSolution = 2;
  bool StartHeard = false;   // the level's start was sounded (on its first tick of play)
  // Playing a level opened from a share code or a file outside the level
  // list: kept in memory, with its author's solution; "Сохранить себе"
  // copies it into the player's levels.
  bool Shared = false;
  TSharedLevel SharedLevel;
  std::unique_ptr<TMeForm> SharedBar;  // "Сохранить себе", shown while Shared
  // Start's parameter that plays SharedLevel instead of a level of the list.
  static constexpr int32_t kSharedLevel = -2;

  void Draw() override;
  void Update() override;
  // Loads level `param` of the level list (or keeps the map when there is no
  // such level) and starts it.
  void Start(int32_t param) override;
  // Sets the level kSharedLevel plays (the level bytes are expected to have
  // been checked, as ReadShareCode does).
  void SetShared(TSharedLevel level) { SharedLevel = std::move(level); }
  // Writes the shared level, its hint and its solution (with the proof line)
  // into the player's levels under the next free number; the file name, or
  // "" with `error` set. A level the player's own levels already hold (the
  // same level bytes) is not saved again: `*again` is set and its file name
  // returned.
  std::string SaveSharedLevel(std::string* error, bool* again);
  // The player starts the level again ("Рестарт", the failure form's
  // button, R): counted as a try unless the level had just failed; ends a
  // demonstration.
  void Restart();
  // Starts the level again and plays `events` on it as a demonstration: the
  // player's mouse no longer reaches the level until StopDemo or a restart.
  void PlayDemo(std::vector<TReplayEvent> events);
  // "Решение": the level's own solution as a demonstration.
  void ShowSolution() { PlayDemo(Solution); }
  // "Стоп": the demonstration ends and the level starts again for the player.
  void StopDemo();
  // "Решение" is on offer: the level has a solution and the player has
  // failed or restarted it twice (or watches it now).
  bool SolutionOffered() const;
  const char* Name() const override { return "game"; }
  // Every battery of the running map has been delivered (true at once for a
  // level without batteries).
  bool LevelComplete() const;
  // The hint is on the screen: not yet fired, and no result form over it.
  bool HintShown() const;
  nlohmann::json DumpState() const;

 private:
  // The level file the map was loaded from, remembered as won when the level
  // is; empty when Start found no such level.
  std::string LevelFile;
  bool LevelOwn = false;
  std::unique_ptr<TMeFormDrawRect> ButtonSprite;  // shared by the three captioned buttons
  std::unique_ptr<TShapeRect> ButtonShape;
  TButtonSolution* SolutionButton = nullptr;  // on ButtonBar, owned by it
  // Shows "Решение" (or "Стоп") where it is on offer.
  void RefreshSolutionButtons();
  // Starts the map again from its design, hides the result forms and shows
  // the hint again.
  void StartOver();
  // One tick of the level, with the demonstration's mouse while one plays.
  void UpdateMap();
  void DrawGrid() const;
  // The background and the grid's dots, drawn once: they never move.
  std::unique_ptr<zglPicture> Field;
  void DrawHint() const;
  // Escape, R and Enter; true when one of them took the tick.
  bool HandleKeys();
  // Some hero's beam is hot.
  bool HeroFiring() const;
  // Shows the failure form when the level can no longer be won.
  void CheckLost();
};

// Back to the main menu.
class TButtonShowMenu : public TButtonEM {
 public:
  using TButtonEM::TButtonEM;
  void Click() override;
};

// Starts the game scene's level again (on the button bar and the failure form).
class TButtonReset : public TButtonEM {
 public:
  using TButtonEM::TButtonEM;
  void Click() override;
};

// "Решение" (plays the level's solution) or, while it plays, "Стоп".
class TButtonSolution : public TButtonEM {
 public:
  using TButtonEM::TButtonEM;
  void Click() override;
};

// Copies the shared level into the player's own levels and says where.
class TButtonSaveOwn : public TButtonEM {
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
