// The editor's file menu: a new map, save and open through the level
// chooser, back to the main menu, and close.
#pragma once

#include <memory>

#include "ui/uButtonEM.h"
#include "ui/uMeForm.h"

class TEditor;

class TEditorMenu : public TMeForm {
 public:
  TEditorMenu(int x, int y, TEditor* editor);
  ~TEditorMenu() override;

  TEditor* Editor;  // not owned

 private:
  std::unique_ptr<TMeFormDrawRect> ButtonSprite;
  std::unique_ptr<TShapeRect> ButtonShape;
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
