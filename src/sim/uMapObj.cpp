#include "sim/uMapObj.h"

#include <algorithm>
#include <cstdint>
#include <nlohmann/json.hpp>

#include "sim/uWorld.h"

int SaneAngle(int64_t angle) {
  constexpr int64_t kTenTurns = 3600;
  if (angle >= -kTenTurns && angle <= kTenTurns) return static_cast<int>(angle);
  return static_cast<int>((angle % 360 + 360) % 360);
}

// --- TMapObjProt: the base does nothing ---

void TMapObjProt::DrawEditor(int, int) {}
void TMapObjProt::DrawGame() {}
void TMapObjProt::DrawShape(int, int) {}
void TMapObjProt::Update(int, int) {}
bool TMapObjProt::HitTest(int, int) { return false; }
void TMapObjProt::CreatePhysics(TWorld*) {}
bool TMapObjProt::LaserHit(b2Body*, uint8_t) { return false; }

// --- TMapObj ---

namespace {

std::unique_ptr<TMeFormShape> CopyShape(const TMeFormShape* shape) {
  if (auto* r = dynamic_cast<const TShapeRect*>(shape))
    return std::make_unique<TShapeRect>(static_cast<int>(r->Rect.W), static_cast<int>(r->Rect.H));
  if (auto* c = dynamic_cast<const TShapeCircle*>(shape))
    return std::make_unique<TShapeCircle>(2 * static_cast<int>(c->Circle.Radius));
  return std::make_unique<TMeFormShape>();
}

}  // namespace

TMapObj::TMapObj(TMeDrawRect* sprite, std::unique_ptr<TMeFormShape> shape) : Shape(std::move(shape)) {
  Sprite = sprite;
  if (sprite) {
    SpriteDX = sprite->OffsetX;
    SpriteDY = sprite->OffsetY;
    Width = sprite->Width;
    Height = sprite->Height;
  }
}

TMapObj::TMapObj(const TMapObj& s)
    : TMapObjProt(s), Angle(s.Angle), Shape(CopyShape(s.Shape.get())), Interactive(s.Interactive),
      Dynamic(s.Dynamic), Width(s.Width), Height(s.Height), Frame(s.Frame) {}

TMapObj::~TMapObj() = default;

TObjectSize CheckObjectSize(bool circle, int64_t shapeW, int64_t shapeH, int64_t width, int64_t height) {
  if (circle) shapeH = shapeW;
  if (width <= 0 || height <= 0 || shapeW < kMinShapeSize || shapeH < kMinShapeSize)
    return TObjectSize::TOO_SMALL;
  const int64_t across = circle ? 2 * shapeW : std::max(shapeW, shapeH);
  if (across > kMaxObjectSize || width > kMaxObjectSize || height > kMaxObjectSize)
    return TObjectSize::TOO_LARGE;
  return TObjectSize::OK;
}

TObjectSize TMapObj::Resize(int dw, int dh) {
  if (Width + dw <= 8 || Height + dh <= 8) return TObjectSize::TOO_SMALL;
  int64_t shapeW = kMinShapeSize, shapeH = kMinShapeSize;
  const bool circle = dynamic_cast<const TShapeCircle*>(Shape.get()) != nullptr;
  if (auto* r = dynamic_cast<const TShapeRect*>(Shape.get()))
    shapeW = static_cast<int64_t>(r->Rect.W) + dw, shapeH = static_cast<int64_t>(r->Rect.H) + dh;
  else if (auto* c = dynamic_cast<const TShapeCircle*>(Shape.get()))
    shapeW = static_cast<int64_t>(c->Circle.Radius) + dw / 2;
  const TObjectSize size = CheckObjectSize(circle, shapeW, shapeH, int64_t{Width} + dw, int64_t{Height} + dh);
  if (size != TObjectSize::OK) return size;
  Shape->Grow(dw, dh);
  SpriteDX -= dw / 2;
  SpriteDY -= dh / 2;
  Width += dw;
  Height += dh;
  return size;
}

void TMapObj::DrawSpriteAt(float x, float y, float angle) const {
  if (!Sprite) return;
  const zglTRect* cut = Sprite->FrameRect(Frame);
  if (!cut) return;
  csprite2d_Draw(Sprite->Texture, x, y, static_cast<float>(Width), static_cast<float>(Height),
                 angle, *cut, 255);
}

void TMapObj::DrawEditor(int ox, int oy) {
  DrawSpriteAt(static_cast<float>(ox + X + SpriteDX), static_cast<float>(oy + Y + SpriteDY),
               static_cast<float>(Angle));
}

void TMapObj::DrawGame() { DrawSpriteAt(DrawX, DrawY, DrawAngle); }

void TMapObj::DrawShape(int ox, int oy) { Shape->DrawOutline(ox + X, oy + Y, Angle); }

void TMapObj::Update(int ox, int oy) {
  if (!Body) return;
  DrawAngle = Body->GetAngle() * kRadToDeg;
  DrawX = static_cast<float>(ox) + Body->GetPosition().x + static_cast<float>(SpriteDX);
  DrawY = static_cast<float>(oy) + Body->GetPosition().y + static_cast<float>(SpriteDY);
}

bool TMapObj::HitTest(int x, int y) { return Shape->HitTest(x - X, y - Y, Angle); }

void TMapObj::CreatePhysics(TWorld* world) {
  World = world;
  Body = world->CreateBody(X, Y, Angle, Shape.get(), Dynamic);
  TWorld::SetObject(Body, this);
}

bool TMapObj::LaserHit(b2Body*, uint8_t) { return Frame == 2; }

void TMapObj::ForgetPhysics() {
  Body = nullptr;
  World = nullptr;
}

std::unique_ptr<TMapObjProt> TMapObj::Clone() const { return std::make_unique<TMapObj>(*this); }

void TMapObj::DumpState(nlohmann::json& j) const {
  j["class"] = ClassName();
  j["x"] = X;
  j["y"] = Y;
  j["angle"] = Angle;
  j["width"] = Width;
  j["height"] = Height;
  j["sprite_dx"] = SpriteDX;
  j["sprite_dy"] = SpriteDY;
  j["sprite_kind"] = Sprite ? nlohmann::json(Sprite->Tag) : nlohmann::json();
  j["frame"] = Frame;
  j["dynamic"] = Dynamic;
  j["interactive"] = Interactive;
  if (auto* c = dynamic_cast<const TShapeCircle*>(Shape.get())) {
    j["shape"] = "CIRC";
    j["shape_w"] = j["shape_h"] = static_cast<int>(c->Circle.Radius);
  } else if (auto* r = dynamic_cast<const TShapeRect*>(Shape.get())) {
    j["shape"] = "RECT";
    j["shape_w"] = static_cast<int>(r->Rect.W);
    j["shape_h"] = static_cast<int>(r->Rect.H);
  }
  j["draw_x"] = DrawX;
  j["draw_y"] = DrawY;
  j["draw_angle"] = DrawAngle;
  if (Body) {
    j["body"] = {{"x", Body->GetPosition().x},
                 {"y", Body->GetPosition().y},
                 {"angle", Body->GetAngle()},
                 {"awake", Body->IsAwake()},
                 {"enabled", Body->IsEnabled()}};
  } else {
    j["body"] = nullptr;
  }
}
