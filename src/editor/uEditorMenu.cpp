#include "editor/uEditorMenu.h"

#include <algorithm>
#include <vector>

#include "editor/uEditor.h"
#include "level/uMap.h"
#include "scenes/uLevelMenu.h"
#include "ui/uAtlas.h"
#include "ui/uLang.h"
#include "ui/uResources.h"
#include "ui/uTextWrap.h"

namespace {

void DrawCaptionIn(const std::string& text, int x, int y, uint8_t alpha, uint32_t color) {
  text_DrawEx(MainFont, static_cast<float>(x), static_cast<float>(y), 1.0f, text, alpha, color,
              TEXT_HALIGN_CENTER | TEXT_VALIGN_CENTER);
}

TEditor* EditorOf(const TMeFormObject& button) {
  auto* menu = static_cast<TEditorMenu*>(button.Form);
  return menu ? menu->Editor : nullptr;
}

constexpr int kFieldY = 254, kLabelY = 206;
constexpr uint32_t kLabelColor = 0xE4E8EE, kHintColor = 0x1B1E23, kPlaceholderColor = 0x7A828D;

}  // namespace

TEditorMenu::TEditorMenu(int x, int y, TEditor* editor)
    : TMeForm(x, y, 255, editor), Editor(editor), ButtonSprite(MakeWideButtonSprite()),
      ButtonShape(MakeWideButtonShape()),
      FieldShape(std::make_unique<TShapeRect>(THintField::kWidth, THintField::kHeight)),
      FieldLook(MakeAtlasSprite(Atlas::TextField)) {
  TMeFormShape* shape = ButtonShape.get();
  TMeDrawRect* sprite = ButtonSprite.get();
  auto caption = [](TButtonEM* button, const char* text) { button->Caption = text; };
  caption(AddNew<TButtonEMNew>(*this, 0, -100, shape, sprite, this), N_("Новый"));
  caption(AddNew<TButtonEMSave>(*this, 0, -48, shape, sprite, this), N_("Сохранить"));
  caption(AddNew<TButtonEMOpen>(*this, 0, 4, shape, sprite, this), N_("Открыть"));
  caption(AddNew<TButtonEMBack>(*this, 0, 56, shape, sprite, this), N_("В меню"));
  caption(AddNew<TButtonEMClose>(*this, 0, 108, shape, sprite, this), N_("Закрыть"));
  caption(AddNew<TButtonEMShare>(*this, 0, 160, shape, sprite, this), N_("Поделиться"));
  HintField = AddNew<THintField>(*this, 0, kFieldY, FieldShape.get(), FieldLook.get(), this);
  Alpha = 255;
}

TEditorMenu::~TEditorMenu() = default;

// Each way out of the level asks first when unsaved work would be lost.
void TButtonEMNew::Click() {
  if (TEditor* editor = EditorOf(*this)) editor->AskToSave([editor] { editor->NewLevel(); });
}

void TButtonEMSave::Click() {
  if (TEditor* editor = EditorOf(*this)) editor->ShowChooser(true);
}

void TButtonEMOpen::Click() {
  TEditor* editor = EditorOf(*this);
  if (!editor) return;
  editor->AskToSave([editor] {
    // The chosen level replaces the map's content.
    editor->Tools.ForgetMapContent();
    editor->ShowChooser(false);
  });
}

void TButtonEMBack::Click() {
  TEditor* editor = EditorOf(*this);
  if (!editor) return;
  editor->AskToSave([editor] {
    // Coming back finds the editor, not the menu left open.
    editor->FileMenu->Visible = false;
    editor->SwitchTo("menu");
  });
}

void TButtonEMShare::Click() {
  TEditor* editor = EditorOf(*this);
  if (!editor) return;
  Form->Visible = false;
  editor->Share();
}

void THintField::Click() {
  if (TEditor* editor = EditorOf(*this)) editor->StartHintEditing();
}

void THintField::Draw(int offsetX, int offsetY, uint8_t alpha) {
  const TEditor* editor = EditorOf(*this);
  if (!editor) return;
  const int cx = X + offsetX, cy = Y + offsetY;
  text_DrawEx(MainFont, static_cast<float>(cx), static_cast<float>(cy - (kFieldY - kLabelY)), 1.0f,
              Tr("Подсказка для игрока"), alpha, kLabelColor,
              TEXT_HALIGN_CENTER | TEXT_VALIGN_CENTER);
  std::string text = editor->Doc.Hint;
  // A caret after the last character while typing.
  if (editor->HintEditing) text += "|";
  // Typing keeps each line within the field; a hint read from a file may
  // hold wider lines: they are shown broken, the field growing downwards.
  const std::vector<std::string> lines = WrapText(MainFont, text, static_cast<float>(kTextWidth));
  const int lineHeight = 20, count = static_cast<int>(lines.size());
  const int top = cy - kHeight / 2, height = std::max(kHeight, count * lineHeight + 24);
  if (Sprite) Sprite->DrawStretched(0, Atlas::kPanelBorder, cx - kWidth / 2, top, kWidth, height, alpha);
  if (editor->Doc.Hint.empty() && !editor->HintEditing) {
    DrawCaptionIn(Tr("щёлкните здесь, чтобы написать"), cx, cy, alpha, kPlaceholderColor);
    return;
  }
  int y = top + height / 2 - (count - 1) * lineHeight / 2;
  for (const std::string& line : lines) {
    DrawCaptionIn(line, cx, y, alpha, kHintColor);
    y += lineHeight;
  }
}
