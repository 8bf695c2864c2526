#include "editor/uEditorMenu.h"

#include "editor/uEditor.h"
#include "level/uMap.h"
#include "scenes/uLevelMenu.h"

namespace {

TEditor* EditorOf(const TMeFormObject& button) {
  auto* menu = static_cast<TEditorMenu*>(button.Form);
  return menu ? menu->Editor : nullptr;
}

// Opens the shared level chooser on the editor's map and gives it the input.
void ShowChooser(TEditor& editor, bool saveMode) {
  if (!editor.LevelMenu) return;
  editor.LevelMenu->Show(editor.Map.get(), saveMode, false);
  editor.Popup = editor.LevelMenu;
}

}  // namespace

TEditorMenu::TEditorMenu(int x, int y, TEditor* editor)
    : TMeForm(x, y, 255, editor), Editor(editor), ButtonSprite(MakeWideButtonSprite()),
      ButtonShape(MakeWideButtonShape()) {
  TMeFormShape* shape = ButtonShape.get();
  TMeDrawRect* sprite = ButtonSprite.get();
  auto caption = [](TButtonEM* button, const char* text) { button->Caption = text; };
  caption(AddNew<TButtonEMNew>(*this, 0, -100, shape, sprite, this), "Новый");
  caption(AddNew<TButtonEMSave>(*this, 0, -48, shape, sprite, this), "Сохранить");
  caption(AddNew<TButtonEMOpen>(*this, 0, 4, shape, sprite, this), "Открыть");
  caption(AddNew<TButtonEMBack>(*this, 0, 56, shape, sprite, this), "В меню");
  caption(AddNew<TButtonEMClose>(*this, 0, 108, shape, sprite, this), "Закрыть");
  Alpha = 255;
}

TEditorMenu::~TEditorMenu() = default;

void TButtonEMNew::Click() {
  TEditor* editor = EditorOf(*this);
  if (!editor) return;
  editor->ForgetMapContent();
  editor->Map->Clear();
  Form->Visible = false;
}

void TButtonEMSave::Click() {
  if (TEditor* editor = EditorOf(*this)) ShowChooser(*editor, true);
}

void TButtonEMOpen::Click() {
  TEditor* editor = EditorOf(*this);
  if (!editor) return;
  // The chosen level replaces the map's content.
  editor->ForgetMapContent();
  ShowChooser(*editor, false);
}

void TButtonEMBack::Click() {
  if (TEditor* editor = EditorOf(*this)) editor->SwitchTo("menu");
}
