#include "ui/uTooltip.h"

#include <algorithm>

#include "ui/uAtlas.h"
#include "ui/uLang.h"
#include "ui/uResources.h"

namespace {
constexpr int kPadX = 12, kHeight = 30, kBelowPointer = 22;
constexpr int kClickedTicks = -1000000;  // far below the delay: stays hidden
}  // namespace

TTooltip::TTooltip() : Panel(MakeAtlasSprite(Atlas::DialogPanel)) {}
TTooltip::~TTooltip() = default;

void TTooltip::Track(const TMeFormObject* over, bool clicked) {
  if (over != Over || !over) {
    Over = over;
    Text = over ? Tr(over->Tooltip) : "";
    Ticks = 0;
  }
  Ticks = clicked ? kClickedTicks : Ticks + 1;
}

void TTooltip::Hide() {
  Over = nullptr;
  Text.clear();
  Ticks = 0;
}

const std::string* TTooltip::Shown() const {
  return Over && !Text.empty() && Ticks >= kDelayTicks ? &Text : nullptr;
}

void TTooltip::Draw(int mouseX, int mouseY) const {
  const std::string* text = Shown();
  if (!text) return;
  const int w = std::max(40, static_cast<int>(text_GetWidth(MainFont, *text)) + 2 * kPadX);
  // Below and right of the pointer, kept on the screen.
  const int x = std::clamp(mouseX + 8, 0, kScreenWidth - w);
  int y = mouseY + kBelowPointer;
  if (y + kHeight > kScreenHeight) y = mouseY - kBelowPointer - kHeight;
  Panel->DrawStretched(0, Atlas::kPanelBorder, x, y, w, kHeight, 235);
  text_DrawEx(MainFont, static_cast<float>(x + w / 2), static_cast<float>(y + kHeight / 2), 1.0f,
              *text, 255, 0xF2F4F7, TEXT_HALIGN_CENTER | TEXT_VALIGN_CENTER);
}
