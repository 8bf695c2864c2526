#include "ui/uButtonEM.h"

#include "app/uGlobals.h"

void DrawCaption(const std::string& caption, int x, int y, uint8_t alpha) {
  text_DrawEx(MainFont, static_cast<float>(x), static_cast<float>(y), 1.0f, 0.0f, caption, alpha,
              kCaptionColor, TEXT_HALIGN_CENTER | TEXT_VALIGN_CENTER);
}

void TButtonEM::Draw(int offsetX, int offsetY, uint8_t alpha) {
  TMeFormObject::Draw(offsetX, offsetY, alpha);
  DrawCaption(Caption, X + offsetX, Y + offsetY, alpha);
}

void TButtonEMClose::Click() {
  if (Form) Form->Visible = false;
}
