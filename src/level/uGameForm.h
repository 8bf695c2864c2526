// The in-play form of a map: two round buttons per interactive object that
// turn its body by 15 degrees either way.
#pragma once

#include <memory>

#include "ui/uMeForm.h"

class TMap;
class TMapObj;

class TGameForm : public TMeForm {
 public:
  // Button positions are map coordinates: the map puts the form at its origin.
  TGameForm(int x, int y, uint8_t alpha, tScene* owner, TMap* map);
  ~TGameForm() override;

  std::unique_ptr<TShapeCircle> ButtonShape;     // radius 16
  std::unique_ptr<TMeFormDrawRect> ButtonSprite;  // small round button
  std::unique_ptr<TMeDrawRect> IconSprite;        // the two turn directions
  TMap* Map;

  // Adds the pair of turn buttons for `object`, 50 pixels left and right of it.
  void AddObjectButtons(TMapObj* object);
  void Clear() { ClearObjects(); }
  // Removes the buttons that turn `object` (it is leaving the map).
  void RemoveButtonsFor(const TMapObj* object);
};

class TButtonGF : public TMeFormObject2 {
 public:
  using TMeFormObject2::TMeFormObject2;
  float RotateStep = 0;       // radians
  TMapObj* Target = nullptr;  // the object it turns (does nothing once its body is gone)
  void Click() override;
};
