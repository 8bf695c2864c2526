// The player's settings: how they are applied to the running game (at start-up
// and whenever they change, by the panel, M or F11) and kept (TPlayerState),
// and the settings panel the main menu's gear button opens.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "ui/uButtonEM.h"
#include "ui/uMeForm.h"

// Applies the settings kept for the player (sound, full screen) at start-up.
void ApplySavedSettings();
// Change a setting now and keep it (when the game keeps the player's state).
void ChangeSoundMuted(bool muted);
void ChangeSoundVolume(int volume);  // 0 to 100
void ChangeFullScreen(bool on);
bool FullScreenSetting();

// A panel over the dimmed menu, in the style of the game's questions: a title,
// one row per setting (a name on the left, its control on the right) and
// "Закрыть" under the last row. Escape closes it too. More settings: AddRow,
// then a control centred on (kControlX, the row's y).
class TSettingsPanel : public TMeForm {
 public:
  explicit TSettingsPanel(tScene* owner);
  ~TSettingsPanel() override;

  // Shows the panel (centred on the screen).
  void Show();
  bool Update(int mouseX, int mouseY) override;
  void Draw() override;

  // Adds a row named `caption` (marked with N_, translated when drawn); returns its y (relative to the form) and moves
  // "Закрыть" under it.
  int AddRow(std::string caption);

  static constexpr int kWidth = 500;
  static constexpr int kLabelX = -140;  // the centre of the names
  static constexpr int kControlX = 60;  // the centre of the controls
  static constexpr int kVolumeSteps = 10;

  // Shared looks for the controls of the rows.
  std::unique_ptr<TMeDrawRect> CheckBox;
  std::unique_ptr<TShapeRect> StepShape, CheckShape;

 private:
  int Height() const;
  std::vector<std::string> Rows;
  std::unique_ptr<TMeFormDrawRect> ButtonSprite;
  std::unique_ptr<TShapeRect> ButtonShape;
  std::unique_ptr<TMeDrawRect> Panel;
  TButtonEM* Close = nullptr;
};

// One step of the volume slider: a bar as tall as its step is loud; a click
// sets the volume to its step (the lowest step, clicked when it is the volume
// already, to silence).
class TVolumeStep : public TMeFormObject {
 public:
  TVolumeStep(int step, int x, int y, TMeFormShape* shape, TMeForm* form)
      : TMeFormObject(x, y, shape, nullptr, form), Step(step) {}
  int Step;  // 1 to kVolumeSteps
  void Click() override;
  void Draw(int offsetX, int offsetY, uint8_t alpha) override;
};

// The full screen check box.
class TFullScreenBox : public TMeFormObject {
 public:
  TFullScreenBox(int x, int y, TMeFormShape* shape, TMeDrawRect* checkBox, TMeForm* form)
      : TMeFormObject(x, y, shape, nullptr, form), Box(checkBox) {}
  TMeDrawRect* Box;  // shared
  void Click() override;
  void Draw(int offsetX, int offsetY, uint8_t alpha) override;
};
