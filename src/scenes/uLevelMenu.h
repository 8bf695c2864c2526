// The level chooser: the .map files of the level folder as a grid of round
// buttons plus a close button. One form serves playing a level (main menu),
// opening a file and saving to a file (editor).
#pragma once

#include <memory>
#include <nlohmann/json_fwd.hpp>
#include <string>
#include <vector>

#include "ui/uButtonEM.h"
#include "ui/uMeForm.h"

class TMap;

struct TLevel {
  std::string FileName;  // inside the level folder, with its extension
  std::string Caption;   // text on the level's button (valid UTF-8)
};

// The names of the entries of `levelDir` ending in ".map" (any case, folders
// too), sorted by name: the game's levels, in order.
std::vector<std::string> LevelFileNames(const std::string& levelDir);

class TLevelMenu : public TMeForm {
 public:
  // Playing a level switches to the game scene of the owner's manager.
  TLevelMenu(int x, int y, uint8_t alpha, tScene* owner);
  ~TLevelMenu() override;

  std::vector<TLevel> Levels;  // sorted by file name
  std::unique_ptr<TShapeCircle> LevelShape;
  std::unique_ptr<TShapeRect> CloseShape;
  std::unique_ptr<TMeFormDrawRect> LevelSprite;
  std::unique_ptr<TMeFormDrawRect> CloseSprite;
  TMap* Map = nullptr;  // loaded into or saved from
  bool SaveMode = false;
  bool PlayMode = false;
  int Page = 0;              // with more levels than fit, the page shown
  std::string ErrorMessage;  // shown while the chooser is open after a failed save

  static constexpr int kPageSize = 30;

  // Rebuilds Levels from the level folder.
  void Rescan();
  void AddLevel(const std::string& fileName);
  // Save mode: the "+" entry, a new file named by the first free number from
  // the level count + 1001.
  void AddNewLevel();
  void BuildButtons();
  void Show(TMap* map, bool saveMode, bool playMode);
  void Draw() override;
  // Turns to another page of a long list.
  void ShowPage(int page);
  int PageCount() const;

  nlohmann::json DumpState() const;
};

class TButtonLM : public TMeFormObject {
 public:
  using TMeFormObject::TMeFormObject;
  int Index = 0;  // entry in Levels
  std::string Caption;
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
