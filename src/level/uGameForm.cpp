#include "level/uGameForm.h"

#include "sim/uMapObj.h"
#include "sim/uWorld.h"
#include "ui/uAtlas.h"

TGameForm::TGameForm(int x, int y, uint8_t alpha, tScene* owner, TMap* map)
    : TMeForm(x, y, alpha, owner), ButtonShape(std::make_unique<TShapeCircle>(32)),
      ButtonSprite(MakeAtlasSprite<TMeFormDrawRect>(Atlas::SmallButton)),
      IconSprite(MakeAtlasSprite(Atlas::TurnIcons)), Map(map) {}

TGameForm::~TGameForm() = default;

void TGameForm::AddObjectButtons(TMapObj* object) {
  const float step = 15 * kDegToRad;
  auto add = [&](int dx, int frame, float rotate) {
    auto* b = AddNew<TButtonGF>(*this, object->X + dx, object->Y, ButtonShape.get(),
                                ButtonSprite.get(), IconSprite.get(), frame, this);
    b->RotateStep = rotate;
    b->Target = object;
  };
  add(-50, 0, step);
  add(50, 1, -step);
}

void TButtonGF::Click() {
  if (!Target || !Target->Body) return;
  b2Body* body = Target->Body;
  body->SetTransform(body->GetPosition(), body->GetAngle() + RotateStep);
  // A sleeping body would stay as turned, hanging in the air, until
  // something touched it.
  body->SetAwake(true);
}

void TGameForm::RemoveButtonsFor(const TMapObj* object) {
  bool any = false;
  for (auto& o : Objects)
    if (auto* b = dynamic_cast<TButtonGF*>(o.get()); b && b->Target == object) any = true;
  if (!any) return;
  std::vector<std::unique_ptr<TMeFormObject>> keep;
  for (auto& o : Objects) {
    auto* b = dynamic_cast<TButtonGF*>(o.get());
    if (!b || b->Target != object) keep.push_back(std::move(o));
  }
  ClearObjects();
  for (auto& o : keep) AddObject(std::move(o));
}
