// Where every picture of the game lies in the atlas (data/panel_r.png): each
// sprite's frame size and the top-left corners of its frames. Every draw rect
// cut from the atlas is made from one of these entries.
#pragma once

#include <memory>
#include <utility>
#include <vector>

#include "ui/uMeForm.h"

struct TAtlasSprite {
  const char* Name;
  int Width, Height;
  std::vector<std::pair<int, int>> Frames;
};

namespace Atlas {
// Buttons: frames normal, highlight, pressed, disabled.
extern const TAtlasSprite SmallButton;  // 64 x 64 round button
extern const TAtlasSprite WideButton;   // 180 x 52 captioned button
extern const TAtlasSprite ToolButton;   // 128 x 128 tool and level button
// Icons and decorations.
extern const TAtlasSprite SmallIcons;     // 32 x 32: neutral dot, turn cw, turn ccw, grow, shrink, play, stop, pause
extern const TAtlasSprite TurnIcons;      // the two turn directions of the in-play turn buttons
extern const TAtlasSprite ToolIcons;      // 64 x 64: empty hand, the twelve palette objects, two empty, delete
extern const TAtlasSprite CheckBox;       // off, on
extern const TAtlasSprite WonMark;        // the check on a won level's button in the chooser
extern const TAtlasSprite PropertyPanel;  // the editor's property panel
extern const TAtlasSprite PlayPanel;      // the editor's play panel (the property panel's bottom)
// Drawn stretched with their corners kept (TMeDrawRect::DrawStretched).
extern const TAtlasSprite DialogPanel;    // dialogs and tooltips; corners of kPanelBorder
extern const TAtlasSprite TextField;      // a text field; corners of kPanelBorder
constexpr int kPanelBorder = 14;
// Play.
extern const TAtlasSprite HeroOverlay;    // laser on, laser hot, two glow layers
extern const TAtlasSprite BatteryLayers;  // body, top layer, spinning middle layer
extern const TAtlasSprite Particles;
// The map's sprite kinds 1..12 (index 0 is empty).
const TAtlasSprite& SpriteKind(int kind);
// Every entry above, the sprite kinds included.
std::vector<const TAtlasSprite*> All();
}  // namespace Atlas

// A draw rect of `PanelTexture` with the entry's size and frames.
template <class T = TMeDrawRect>
std::unique_ptr<T> MakeAtlasSprite(const TAtlasSprite& entry);
extern template std::unique_ptr<TMeDrawRect> MakeAtlasSprite<TMeDrawRect>(const TAtlasSprite&);
extern template std::unique_ptr<TMeFormDrawRect> MakeAtlasSprite<TMeFormDrawRect>(const TAtlasSprite&);
