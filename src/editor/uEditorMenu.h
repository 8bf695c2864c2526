// The editor's file menu: a new map, save and open through the level
// chooser, back to the main menu, close, and share a proven level.
#pragma once

#include <memory>

#include "ui/uButtonEM.h"
#include "ui/uMeForm.h"

class TEditor;

class THintField;

class TEditorMenu : public TMeForm {
 public:
  TEditorMenu(int x, int y, TEditor* editor);
  ~TEditorMenu() override;

  TEditor* Editor;  // not owned
  THintField* HintField;  // below the buttons; owned by the form

 private:
  std::unique_ptr<TMeFormDrawRect> ButtonSprite;
  std::unique_ptr<TShapeRect> ButtonShape;
  std::unique_ptr<TShapeRect> FieldShape;
  std::unique_ptr<TMeDrawRect> FieldLook;
};

// The level's hint, one or two lines for the player: a click starts typing.
class THintField : public TMeFormObject {
 public:
  static constexpr int kWidth = 560, kHeight = 64, kTextWidth = 530;
  THintField(int x, int y, TMeFormShape* shape, TMeDrawRect* look, TMeForm* form)
      : TMeFormObject(x, y, shape, look, form) {}
  void Click() override;
  void Draw(int offsetX, int offsetY, uint8_t alpha) override;
};

// "Новый": empties the map.
class TButtonEMNew : public TButtonEM {
 public:
  using TButtonEM::TButtonEM;
  void Click() override;
};

// "Сохранить": the level chooser in save mode.
class TButtonEMSave : public TButtonEM {
 public:
  using TButtonEM::TButtonEM;
  void Click() override;
};

// "Открыть": the level chooser in open mode.
class TButtonEMOpen : public TButtonEM {
 public:
  using TButtonEM::TButtonEM;
  void Click() override;
};

// "В меню": back to the main menu.
class TButtonEMBack : public TButtonEM {
 public:
  using TButtonEM::TButtonEM;
  void Click() override;
};

class TButtonEMShare : public TButtonEM {
 public:
  using TButtonEM::TButtonEM;
  void Click() override;
};
