// A question to the player: a line of text and a row of captioned buttons on
// a panel in the middle of a dimmed screen. While it is open it alone takes
// the mouse and the keys (the scene manager sees to that): Enter answers with
// the default button, Escape with the cancelling one.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/uButtonEM.h"
#include "ui/uMeForm.h"

struct TDialogChoice {
  std::string Caption;
  std::function<void()> Action;  // may be empty; may ask another question
};

class TDialog : public TMeForm {
 public:
  TDialog();
  ~TDialog() override;

  std::string Text;
  int DefaultChoice = 0;
  int CancelChoice = 0;

  // Shows the question (replacing one still open) with its buttons left to right.
  void Ask(std::string text, std::vector<TDialogChoice> choices, int defaultChoice,
           int cancelChoice);
  // Hides the dialog, then runs the action of that choice.
  void Answer(int choice);
  bool Update(int mouseX, int mouseY) override;
  // The screen under the dialog, dimmed.
  static void DrawDim();
  // The panel, the question and the buttons.
  void Draw() override;
  // Counts the questions asked: what the screen under them shows changes
  // only between two.
  uint64_t Asked = 0;

  // The buttons left to right: their captions, and their centres are (X + x, Y + y).
  std::vector<const TButtonEM*> Buttons() const;

  int Width = 0;  // of the panel: room for the question and the buttons
  static constexpr int kHeight = 180;

 private:
  std::vector<std::function<void()>> Actions;
  std::vector<std::string> Lines;  // the question as drawn, broken to fit the screen
  std::unique_ptr<TMeFormDrawRect> ButtonSprite;
  std::unique_ptr<TShapeRect> ButtonShape;
  std::unique_ptr<TMeDrawRect> Panel;
};
