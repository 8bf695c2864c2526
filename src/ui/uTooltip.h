// A control's name shown in a small panel beside the pointer once the pointer
// has rested on the control for half a second, so icons can be learned.
#pragma once

#include <memory>
#include <string>

#include "ui/uMeForm.h"

class TTooltip {
 public:
  TTooltip();
  ~TTooltip();
  static constexpr int kDelayTicks = 33;  // 495 ms

  // Once per tick: the control under the pointer (null for none) and whether
  // the mouse was clicked. A click hides the tooltip until the pointer moves
  // on to another control.
  void Track(const TMeFormObject* over, bool clicked);
  void Hide();
  // The text shown now, or null.
  const std::string* Shown() const;
  void Draw(int mouseX, int mouseY) const;

 private:
  const TMeFormObject* Over = nullptr;  // only compared, never used
  std::string Text;
  int Ticks = 0;
  std::unique_ptr<TMeDrawRect> Panel;
};
