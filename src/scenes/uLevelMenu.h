// The level chooser: the .map files of the level folders (the shipped levels
// and the player's own) as a grid of round buttons plus a close button, won
// levels marked with a check. One form serves playing a level (main menu),
// opening a file and saving to a file (editor).
#pragma once

#include <memory>
#include <nlohmann/json_fwd.hpp>
#include <string>
#include <vector>

#include "ui/uButtonEM.h"
#include "ui/uMeForm.h"

class TMap;
class TLevelMenu;

// Who saves to or opens a level chosen in save or open mode (the editor):
// it decides what happens, and whether the chooser closes.
class TLevelMenuClient {
 public:
  virtual ~TLevelMenuClient() = default;
  virtual void LevelChosen(TLevelMenu& menu, int index) = 0;
};

struct TLevel {
  std::string FileName;  // inside its level folder, with its extension
  std::string Caption;   // text on the level's button (valid UTF-8)
  std::string Dir;       // its level folder, with a trailing separator
  bool Own = false;      // in the player's folder, apart from the shipped levels
  std::string Path() const { return Dir + FileName; }
  // Saving may write it: it lies in the folder the player's levels go to.
  bool Writable() const;
};

// The game's levels, in order: the entries ending in ".map" (any case,
// folders too) of the data folder's level folder and of the player's, sorted
// by name.
std::vector<TLevel> LevelList();

class TLevelMenu : public TMeForm {
 public:
  // Playing a level switches to the game scene of the owner's manager.
  TLevelMenu(int x, int y, uint8_t alpha, tScene* owner);
  ~TLevelMenu() override;

  std::vector<TLevel> Levels;  // sorted by file name, shipped before own ones of one name
  std::unique_ptr<TShapeCircle> LevelShape;
  std::unique_ptr<TShapeRect> CloseShape;
  std::unique_ptr<TMeFormDrawRect> LevelSprite;
  std::unique_ptr<TMeFormDrawRect> CloseSprite;
  std::unique_ptr<TMeDrawRect> WonSprite;  // the check on a won level's button
  TMap* Map = nullptr;  // the map a client saves or opens
  TLevelMenuClient* Client = nullptr;  // saves or opens what is chosen in those modes
  bool SaveMode = false;
  bool PlayMode = false;
  int Page = 0;              // with more levels than fit, the page shown
  std::string ErrorMessage;  // shown while the chooser is open after a failed save

  static constexpr int kPageSize = 30;
  // The lowest screen y of the centre of "Закрыть" and the page buttons: the
  // wide buttons keep a margin above the bottom edge of the 768-pixel screen.
  static constexpr int kLowestButtonsY = 740;

  // Rebuilds Levels from the level folders.
  void Rescan();
  // An entry of the data folder's level folder, or of `dir`.
  void AddLevel(const std::string& fileName);
  void AddLevel(const std::string& fileName, const std::string& dir, bool own);
  // A level's caption: its file name without the first character and the
  // four-character extension (1003.map: 003); a number other than 1000 to
  // 1999 whole (10000.map: 10000).
  static std::string CaptionOf(const std::string& fileName);
  // Save mode: the "+" entry in the player's folder, a new file named by the
  // first number from the level count + 1001 that no listed level has.
  void AddNewLevel();
  // Level `index` has been won before (by the player's state).
  bool Won(int index) const;
  // Level `index` has a solution that wins it: an own level one its author
  // won it with on these very bytes, a shipped level its own (uShareCode.h).
  bool Proven(int index) const;
  void BuildButtons();
  void Show(TMap* map, bool saveMode, bool playMode);
  void Draw() override;
  // Turns to another page of a long list (clamped to the first and last).
  void ShowPage(int page);
  int PageCount() const;
  // "3 / 335" with more than one page, else "".
  std::string PageCaption() const;
  // A page step that goes to the first or last page.
  static constexpr int kToTheEnd = 1 << 20;
  static constexpr int kPageCaptionY = 84;  // above the first row

  nlohmann::json DumpState() const;
};

class TButtonLM : public TMeFormObject {
 public:
  using TMeFormObject::TMeFormObject;
  int Index = 0;  // entry in Levels
  std::string Caption;
  bool Won = false;  // drawn with a check
  void Click() override;
  void Draw(int offsetX, int offsetY, uint8_t alpha) override;
};

// Turns the chooser's page by `Step`.
class TButtonPage : public TButtonEM {
 public:
  using TButtonEM::TButtonEM;
  int Step = 1;
  void Click() override;
};
