#include "scenes/uSettings.h"

#include <string>

#include "engine/engine.h"
#include "scenes/uPlayerState.h"
#include "ui/uAtlas.h"
#include "ui/uLang.h"
#include "ui/uResources.h"
#include "ui/uSounds.h"

// --- applying and keeping ---

void ApplySavedSettings() {
  if (!PlayerState) return;
  SetSoundMuted(PlayerState->SoundMuted());
  SetSoundVolume(PlayerState->SoundVolume());
  eng_SetFullScreen(PlayerState->FullScreen());
}

void ChangeSoundMuted(bool muted) {
  SetSoundMuted(muted);
  if (PlayerState) PlayerState->SetSoundMuted(muted);
}

void ChangeSoundVolume(int volume) {
  SetSoundVolume(volume);
  if (PlayerState) PlayerState->SetSoundVolume(SoundVolume());
}

void ChangeFullScreen(bool on) {
  eng_SetFullScreen(on);
  if (PlayerState) PlayerState->SetFullScreen(on);
}

// Without a window there is no screen to fill; the setting still holds.
bool FullScreenSetting() { return PlayerState ? PlayerState->FullScreen() : eng_FullScreen(); }

// --- the panel ---

namespace {

constexpr uint32_t kDim = 0x101017;
constexpr uint8_t kDimAlpha = 208;
constexpr uint32_t kTextColor = 0xF2F4F7;
constexpr uint32_t kMutedColor = 0x9AA3AE;
constexpr uint32_t kStepOn = 0xFFB238, kStepOff = 0x5A616C, kStepHover = 0xFFE3A3;
constexpr int kTop = -150;  // the panel's top edge; it grows downwards with its rows
constexpr int kTitleY = kTop + 38;
constexpr int kFirstRowY = kTop + 100, kRowHeight = 60;
constexpr int kCloseGap = 4;      // from the last row's y to the close button's
constexpr int kBottomMargin = 40;  // below the close button's centre
constexpr int kStepSpacing = 18, kStepWidth = 13, kStepMaxHeight = 34;
constexpr int kValueX = TSettingsPanel::kControlX + 130;

class TSettingsClose : public TButtonEM {
 public:
  using TButtonEM::TButtonEM;
  void Click() override { Form->Visible = false; }
};

}  // namespace

TSettingsPanel::TSettingsPanel(tScene* owner)
    : TMeForm(kScreenCentreX, kScreenCentreY, 255, owner),
      CheckBox(MakeAtlasSprite(Atlas::CheckBox)),
      StepShape(std::make_unique<TShapeRect>(kStepSpacing, kStepMaxHeight + 8)),
      CheckShape(std::make_unique<TShapeRect>(44, 44)),
      ButtonSprite(MakeWideButtonSprite()),
      ButtonShape(MakeWideButtonShape()),
      Panel(MakeAtlasSprite(Atlas::DialogPanel)) {
  Close = AddNew<TSettingsClose>(*this, 0, 0, ButtonShape.get(), ButtonSprite.get(), this);
  Close->Caption = N_("Закрыть");
  const int volumeY = AddRow(N_("Громкость"));
  const int left = kControlX - (kVolumeSteps - 1) * kStepSpacing / 2;
  for (int step = 1; step <= kVolumeSteps; ++step)
    AddNew<TVolumeStep>(*this, step, left + (step - 1) * kStepSpacing, volumeY, StepShape.get(), this);
  AddNew<TFullScreenBox>(*this, kControlX, AddRow(N_("Полный экран")), CheckShape.get(), CheckBox.get(),
                         this);
}

TSettingsPanel::~TSettingsPanel() = default;

int TSettingsPanel::AddRow(std::string caption) {
  const int y = kFirstRowY + static_cast<int>(Rows.size()) * kRowHeight;
  Rows.push_back(std::move(caption));
  Close->Y = y + kRowHeight + kCloseGap;
  return y;
}

int TSettingsPanel::Height() const { return Close->Y + kBottomMargin - kTop; }

void TSettingsPanel::Show() {
  Visible = true;
  // The click that opened the panel must not land on a control under the pointer.
  HoldPresses(kOpenQuietRounds);
}

bool TSettingsPanel::Update(int mouseX, int mouseY) {
  if (key_Press(K_ESCAPE)) {
    Visible = false;
    return true;
  }
  return TMeForm::Update(mouseX, mouseY);
}

void TSettingsPanel::Draw() {
  pr2d_Rect(0, 0, kScreenWidth, kScreenHeight, kDim, kDimAlpha, PR2D_FILL);
  Panel->DrawStretched(0, Atlas::kPanelBorder, X - kWidth / 2, Y + kTop, kWidth, Height(), Alpha);
  const uint32_t centre = TEXT_HALIGN_CENTER | TEXT_VALIGN_CENTER;
  text_DrawEx(MainFont, static_cast<float>(X), static_cast<float>(Y + kTitleY), 1.0f,
              Tr("Настройки"), Alpha, kTextColor, centre);
  for (size_t i = 0; i < Rows.size(); ++i)
    text_DrawEx(MainFont, static_cast<float>(X + kLabelX),
                static_cast<float>(Y + kFirstRowY + static_cast<int>(i) * kRowHeight), 1.0f,
                Tr(Rows[i]), Alpha, kTextColor, centre);
  // The volume's value beside its slider; M's mute wins over it.
  // TRANSLATORS: in place of the volume's percentage while M has muted the sound.
  const std::string value = SoundMuted() ? Tr("выкл") : std::to_string(SoundVolume()) + "%";
  text_DrawEx(MainFont, static_cast<float>(X + kValueX), static_cast<float>(Y + kFirstRowY), 1.0f,
              value, Alpha, SoundMuted() ? kMutedColor : kTextColor, centre);
  TMeForm::Draw();
}

void TVolumeStep::Click() {
  const int volume = Step * 100 / TSettingsPanel::kVolumeSteps;
  ChangeSoundVolume(Step == 1 && SoundVolume() == volume ? 0 : volume);
}

void TVolumeStep::Draw(int offsetX, int offsetY, uint8_t alpha) {
  const int height = 8 + (kStepMaxHeight - 8) * Step / TSettingsPanel::kVolumeSteps;
  const bool on = SoundVolume() >= Step * 100 / TSettingsPanel::kVolumeSteps;
  const uint32_t colour = Hover > 128 ? kStepHover : on ? kStepOn : kStepOff;
  // Muted, the slider shows its volume greyed out.
  const auto a = static_cast<uint8_t>(SoundMuted() ? alpha / 3 : alpha);
  const float x = static_cast<float>(X + offsetX - kStepWidth / 2);
  const float bottom = static_cast<float>(Y + offsetY + kStepMaxHeight / 2);
  pr2d_Rect(x, bottom - static_cast<float>(height), kStepWidth, static_cast<float>(height), colour, a,
            PR2D_FILL);
}

void TFullScreenBox::Click() { ChangeFullScreen(!FullScreenSetting()); }

void TFullScreenBox::Draw(int offsetX, int offsetY, uint8_t alpha) {
  if (Box) Box->DrawFrame(X + offsetX, Y + offsetY, 0, FullScreenSetting() ? 1 : 0, alpha);
}
