#include "ui/uAtlas.h"

#include <array>

#include "ui/uResources.h"

namespace Atlas {

const TAtlasSprite SmallButton{"small button", 64, 64, {{0, 0}, {64, 0}, {128, 0}, {192, 0}}};
const TAtlasSprite WideButton{"wide button", 180, 52, {{0, 107}, {0, 159}, {0, 211}, {0, 263}}};
const TAtlasSprite ToolButton{"tool button", 128, 128, {{0, 320}, {128, 320}, {256, 320}, {384, 320}}};
const TAtlasSprite SmallIcons{"small icons", 32, 32,
                              {{224, 64}, {0, 64}, {32, 64}, {64, 64}, {96, 64}, {128, 64}, {160, 64}, {192, 64}}};
const TAtlasSprite TurnIcons{"turn icons", 32, 32, {{0, 64}, {32, 64}}};
const TAtlasSprite ToolIcons{"tool icons", 64, 64,
                             {{0, 448}, {64, 448}, {128, 448}, {192, 448}, {256, 448}, {320, 448},
                              {384, 448}, {448, 448}, {512, 448}, {576, 448}, {640, 448}, {704, 448},
                              {768, 448}, {832, 448}, {896, 448}, {960, 448}}};
const TAtlasSprite CheckBox{"check box", 22, 22, {{212, 122}, {212, 174}}};
const TAtlasSprite WonMark{"won mark", 24, 24, {{960, 384}}};
const TAtlasSprite PropertyPanel{"property panel", 180, 242, {{256, 0}}};
const TAtlasSprite PlayPanel{"play panel", 180, 50, {{256, 192}}};
const TAtlasSprite DialogPanel{"dialog panel", 64, 64, {{600, 336}}};
const TAtlasSprite TextField{"text field", 64, 40, {{680, 336}}};
const TAtlasSprite HeroOverlay{"hero overlay", 38, 64, {{512, 256}, {576, 256}, {640, 256}, {704, 256}}};
const TAtlasSprite BatteryLayers{"battery", 44, 44, {{829, 125}, {893, 125}, {957, 125}}};
const TAtlasSprite Particles{"particle", 32, 32, {{832, 192}, {864, 192}, {896, 192}}};

namespace {
const std::array<TAtlasSprite, 13> kKinds = {{
    {"no kind", 0, 0, {}},
    {"kind 1 tall block", 26, 70, {{448, 0}, {512, 0}, {576, 0}}},
    {"kind 2 square block", 26, 26, {{448, 128}, {512, 128}, {576, 128}}},
    {"kind 3 plank", 140, 10, {{448, 192}}},
    {"kind 4 big ball", 72, 72, {{640, 0}, {768, 0}, {896, 0}}},
    {"kind 5 ball", 34, 34, {{640, 128}, {704, 128}, {768, 128}}},
    {"kind 6 small ball", 16, 16, {{408, 472}}},
    {"kind 7 rope", 32, 32, {{208, 272}}},
    {"kind 8 bomb", 32, 52, {{528, 460}}},
    {"kind 9 laser box", 40, 23, {{588, 468}}},
    {"kind 10 hero", 38, 64, {{512, 320}}},
    {"kind 11 crate", 64, 64, {{704, 448}}},
    {"kind 12 battery", 44, 44, {{778, 458}}},
}};
}  // namespace

const TAtlasSprite& SpriteKind(int kind) {
  return kKinds.at(kind >= 1 && kind < static_cast<int>(kKinds.size()) ? kind : 0);
}

std::vector<const TAtlasSprite*> All() {
  std::vector<const TAtlasSprite*> all = {&SmallButton, &WideButton,    &ToolButton,  &SmallIcons,
                                          &TurnIcons,   &ToolIcons,     &CheckBox,    &WonMark,
                                          &PropertyPanel, &PlayPanel,   &DialogPanel, &TextField,
                                          &HeroOverlay, &BatteryLayers, &Particles};
  for (size_t k = 1; k < kKinds.size(); ++k) all.push_back(&kKinds[k]);
  return all;
}

}  // namespace Atlas

template <class T>
std::unique_ptr<T> MakeAtlasSprite(const TAtlasSprite& entry) {
  auto sprite = std::make_unique<T>(PanelTexture, entry.Width, entry.Height);
  for (auto [x, y] : entry.Frames) sprite->AddFrame(x, y);
  return sprite;
}

template std::unique_ptr<TMeDrawRect> MakeAtlasSprite<TMeDrawRect>(const TAtlasSprite&);
template std::unique_ptr<TMeFormDrawRect> MakeAtlasSprite<TMeFormDrawRect>(const TAtlasSprite&);
