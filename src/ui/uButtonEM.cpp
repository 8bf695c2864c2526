#include "ui/uButtonEM.h"

#include "ui/uAtlas.h"
#include "ui/uLang.h"
#include "ui/uResources.h"

void DrawCaption(const std::string& caption, int x, int y, uint8_t alpha) {
  text_DrawEx(MainFont, static_cast<float>(x), static_cast<float>(y), 1.0f, caption, alpha,
              kCaptionColor, TEXT_HALIGN_CENTER | TEXT_VALIGN_CENTER);
}

void TButtonEM::Draw(int offsetX, int offsetY, uint8_t alpha) {
  TMeFormObject::Draw(offsetX, offsetY, alpha);
  DrawCaption(Tr(Caption), X + offsetX, Y + offsetY, alpha);
}

void TButtonEMClose::Click() {
  if (Form) Form->Visible = false;
}

std::unique_ptr<TMeFormDrawRect> MakeWideButtonSprite() {
  return MakeAtlasSprite<TMeFormDrawRect>(Atlas::WideButton);
}

std::unique_ptr<TShapeRect> MakeWideButtonShape() { return std::make_unique<TShapeRect>(162, 30); }
