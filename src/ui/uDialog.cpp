#include "ui/uDialog.h"

#include <algorithm>

#include "ui/uAtlas.h"
#include "ui/uLang.h"
#include "ui/uResources.h"
#include "ui/uTextWrap.h"

namespace {

constexpr uint32_t kDim = 0x101017;
constexpr uint8_t kDimAlpha = 208;
constexpr uint32_t kTextColor = 0xF2F4F7;
constexpr int kTextY = -36, kButtonsY = 40, kButtonSpacing = 196;
// A longer text is broken into lines no wider than this, so the dialog stays
// on the screen; lines past the third make it taller, upwards.
constexpr int kMaxTextWidth = kScreenWidth - 120, kLineHeight = 20, kLinesInPlace = 3;

// A button of the dialog: answers with its choice.
class TDialogButton : public TButtonEM {
 public:
  TDialogButton(int choice, int x, int y, TMeFormShape* shape, TMeDrawRect* sprite, TMeForm* form)
      : TButtonEM(x, y, shape, sprite, form), Choice(choice) {}
  void Click() override { static_cast<TDialog*>(Form)->Answer(Choice); }
  int Choice;
};

}  // namespace

TDialog::TDialog()
    : TMeForm(kScreenCentreX, kScreenCentreY, 255, nullptr),
      ButtonSprite(MakeWideButtonSprite()),
      ButtonShape(MakeWideButtonShape()),
      Panel(MakeAtlasSprite(Atlas::DialogPanel)) {}

TDialog::~TDialog() = default;

void TDialog::Ask(std::string text, std::vector<TDialogChoice> choices, int defaultChoice,
                  int cancelChoice) {
  Text = Tr(text);
  ClearObjects();
  Actions.clear();
  const int count = static_cast<int>(choices.size());
  for (int i = 0; i < count; ++i) {
    const int x = (2 * i - (count - 1)) * kButtonSpacing / 2;
    AddNew<TDialogButton>(*this, i, x, kButtonsY, ButtonShape.get(), ButtonSprite.get(), this)
        ->Caption = Tr(choices[i].Caption);
    Actions.push_back(std::move(choices[i].Action));
  }
  Lines = WrapText(MainFont, Text, static_cast<float>(kMaxTextWidth));
  float widest = 0;
  for (const std::string& line : Lines) widest = std::max(widest, text_GetWidth(MainFont, line));
  Width = std::max({420, count * kButtonSpacing + 40, static_cast<int>(widest) + 80});
  DefaultChoice = defaultChoice;
  CancelChoice = cancelChoice;
  Visible = count > 0;
  ++Asked;
  // A question that follows another must not take the press that answered it.
  HoldPresses(kOpenQuietRounds);
}

void TDialog::Answer(int choice) {
  if (choice < 0 || choice >= static_cast<int>(Actions.size())) return;
  // The action may ask the next question, which replaces the list.
  std::function<void()> action = std::move(Actions[choice]);
  Visible = false;
  Actions.clear();
  if (action) action();
}

bool TDialog::Update(int mouseX, int mouseY) {
  if (key_Press(K_RETURN)) {
    Answer(DefaultChoice);
    return true;
  }
  if (key_Press(K_ESCAPE)) {
    Answer(CancelChoice);
    return true;
  }
  return TMeForm::Update(mouseX, mouseY);
}

void TDialog::DrawDim() {
  pr2d_Rect(0, 0, kScreenWidth, kScreenHeight, kDim, kDimAlpha, PR2D_FILL);
}

void TDialog::Draw() {
  const int count = static_cast<int>(Lines.size());
  const int taller = std::max(0, count - kLinesInPlace) * kLineHeight;
  Panel->DrawStretched(0, Atlas::kPanelBorder, X - Width / 2, Y - kHeight / 2 - taller, Width,
                       kHeight + taller, Alpha);
  // The lines centred on the text's place, moved up by what the panel grew.
  const float first = static_cast<float>(Y + kTextY - taller / 2) - (count - 1) * kLineHeight / 2.0f;
  for (int i = 0; i < count; ++i)
    text_DrawEx(MainFont, static_cast<float>(X), first + static_cast<float>(i * kLineHeight), 1.0f,
                Lines[i], Alpha, kTextColor, TEXT_HALIGN_CENTER | TEXT_VALIGN_CENTER);
  TMeForm::Draw();
}

std::vector<const TButtonEM*> TDialog::Buttons() const {
  std::vector<const TButtonEM*> buttons;
  for (const auto& o : Objects) buttons.push_back(static_cast<const TButtonEM*>(o.get()));
  return buttons;
}
