// The captioned button every menu is built from, and the close button that
// hides the form it stands on.
#pragma once

#include <memory>
#include <string>

#include "ui/uMeForm.h"

class TButtonEM : public TMeFormObject {
 public:
  using TMeFormObject::TMeFormObject;
  std::string Caption;  // UTF-8; drawn centred on the button
  void Draw(int offsetX, int offsetY, uint8_t alpha) override;
};

class TButtonEMClose : public TButtonEM {
 public:
  using TButtonEM::TButtonEM;
  void Click() override;
};

// Text colour of every caption on a button.
constexpr uint32_t kCaptionColor = 0x050505;

// Draws a caption centred on a screen point in the game's font.
void DrawCaption(const std::string& caption, int x, int y, uint8_t alpha);

// The look and hit shape shared by the wide captioned buttons of every menu.
std::unique_ptr<TMeFormDrawRect> MakeWideButtonSprite();
std::unique_ptr<TShapeRect> MakeWideButtonShape();
