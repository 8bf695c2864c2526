#include "ui/uMeForm.h"

#include <algorithm>
#include <cmath>

#include "engine/engine.h"
#include "ui/uSounds.h"

namespace {
constexpr float kDegToRad = 0.017453292f;
constexpr float kPi = 3.141592654f;
constexpr uint32_t kWhite = 0xFFFFFF;
}  // namespace

// --- TMeDrawRect ---

TMeDrawRect::TMeDrawRect(zglPTexture texture, int width, int height)
    : OffsetX(-(width / 2)), OffsetY(-(height / 2)), Width(width), Height(height),
      Texture(texture) {}

void TMeDrawRect::AddFrame(int x, int y) {
  Frames.push_back(zglTRect{static_cast<float>(x), static_cast<float>(y),
                            static_cast<float>(Width), static_cast<float>(Height)});
  LastFrame = static_cast<int>(Frames.size()) - 1;
}

const zglTRect* TMeDrawRect::FrameRect(int frame) const {
  if (Frames.empty()) return nullptr;
  if (frame < 0 || frame >= static_cast<int>(Frames.size())) frame = 0;
  return &Frames[frame];
}

void TMeDrawRect::DrawFrame(int x, int y, int angle, int frame, uint8_t alpha) const {
  const zglTRect* cut = FrameRect(frame);
  if (!cut) return;
  csprite2d_Draw(Texture, static_cast<float>(x + OffsetX), static_cast<float>(y + OffsetY),
                 static_cast<float>(Width), static_cast<float>(Height), static_cast<float>(angle),
                 *cut, alpha);
}

void TMeDrawRect::DrawStretched(int frame, int border, int x, int y, int w, int h,
                                uint8_t alpha) const {
  const zglTRect* cut = FrameRect(frame);
  if (!cut) return;
  const float b = static_cast<float>(std::min({border, w / 2, h / 2}));
  // Column and row edges in the source and on the screen.
  const float sx[4] = {cut->X, cut->X + b, cut->X + cut->W - b, cut->X + cut->W};
  const float sy[4] = {cut->Y, cut->Y + b, cut->Y + cut->H - b, cut->Y + cut->H};
  const float dx[4] = {static_cast<float>(x), x + b, x + w - b, static_cast<float>(x + w)};
  const float dy[4] = {static_cast<float>(y), y + b, y + h - b, static_cast<float>(y + h)};
  for (int row = 0; row < 3; ++row)
    for (int col = 0; col < 3; ++col) {
      const zglTRect part{sx[col], sy[row], sx[col + 1] - sx[col], sy[row + 1] - sy[row]};
      const float pw = dx[col + 1] - dx[col], ph = dy[row + 1] - dy[row];
      if (pw > 0 && ph > 0) csprite2d_Draw(Texture, dx[col], dy[row], pw, ph, 0, part, alpha);
    }
}

void TMeDrawRect::DrawButton(bool enabled, bool pressed, int x, int y, int angle, uint8_t alpha,
                             uint8_t hover) const {
  if (!enabled) {
    DrawFrame(x, y, angle, 3, alpha);
  } else if (pressed) {
    DrawFrame(x, y, angle, 2, alpha);
  } else {
    DrawFrame(x, y, angle, 0, alpha);
    int a = hover + alpha - 255;
    if (a > 0) DrawFrame(x, y, angle, 1, static_cast<uint8_t>(std::min(a, 255)));
  }
}

// --- TMeForm ---

TMeForm::TMeForm(int x, int y, uint8_t alpha, tScene* owner)
    : Owner(owner), X(x), Y(y), Alpha(alpha) {}

TMeForm::~TMeForm() = default;

void TMeForm::AddObject(std::unique_ptr<TMeFormObject> object) {
  object->Form = this;
  Objects.push_back(std::move(object));
}

void TMeForm::ClearObjects() {
  ++Generation;
  // The objects may be in the middle of their own Update (a click that
  // rebuilds its form): keep them alive until the form's next walk.
  for (auto& o : Objects) Retired.push_back(std::move(o));
  Objects.clear();
}

void TMeForm::Draw() {
  const uint64_t now = eng_InputRound();
  if (DrawnRound + 1 < now) DrawnSince = now;
  DrawnRound = now;
  Retired.clear();
  for (auto& o : Objects)
    if (o->Visible) o->Draw(X, Y, Alpha);
}

void TMeForm::NoteInputRound() {
  const uint64_t now = eng_InputRound();
  // A form updated in the first tick has been on screen since start-up; one
  // that missed a single tick (its owner skipped it after another control
  // took the click) was still on screen.
  if ((LastRound == 0 && now > 1) || now > LastRound + 2) {
    // Back on screen (or there for the first time) in this tick. A form
    // drawn since before the last tick (under a fade, or while fading in)
    // was seen already: no click opened it, and it takes a new press at once.
    const uint64_t press = eng_PressRound(M_BLEFT);
    const bool seen = DrawnRound == now && DrawnSince < now;
    const bool openedByClick = Visible && press != 0 && press + 1 >= now;
    const uint64_t wait = seen ? 0 : openedByClick ? kOpenQuietRounds : 1;
    PressesFrom = std::max(PressesFrom, now + wait);
  }
  LastRound = now;
}

TMeFormObject* TMeForm::ObjectAt(int mouseX, int mouseY) const {
  for (auto it = Objects.rbegin(); it != Objects.rend(); ++it) {
    TMeFormObject* o = it->get();
    if (o->Enabled && o->Visible && o->Shape && o->Shape->HitTest(mouseX - X - o->X, mouseY - Y - o->Y, 0))
      return o;
  }
  return nullptr;
}

void TMeForm::HoldPresses(uint64_t rounds) {
  PressesFrom = std::max(PressesFrom, eng_InputRound() + rounds);
}

bool TMeForm::TakesPresses() const { return eng_InputRound() >= PressesFrom; }

bool TMeForm::Update(int mouseX, int mouseY) {
  Retired.clear();
  NoteInputRound();
  const int fx = mouseX - X, fy = mouseY - Y;
  bool clicked = false;
  // A click may rebuild the list (a form that is shown again rebuilds its
  // buttons): stop walking as soon as it changed.
  const uint64_t generation = Generation;
  for (size_t i = 0; i < Objects.size(); ++i) {
    TMeFormObject* o = Objects[i].get();
    if (o->Enabled && o->Visible && o->Update(fx, fy)) clicked = true;
    if (Generation != generation) break;
  }
  return clicked;
}

// --- shapes ---

void TMeFormShape::Grow(int, int) {}
bool TMeFormShape::HitTest(int, int, int) const { return false; }
void TMeFormShape::DrawOutline(int, int, int) const {}

TShapeRect::TShapeRect(int width, int height)
    : Rect{static_cast<float>(-(width / 2)), static_cast<float>(-(height / 2)),
           static_cast<float>(width), static_cast<float>(height)} {}

void TShapeRect::Grow(int dw, int dh) {
  Rect.X -= static_cast<float>(dw / 2);
  Rect.Y -= static_cast<float>(dh / 2);
  Rect.W += static_cast<float>(dw);
  Rect.H += static_cast<float>(dh);
}

bool TShapeRect::HitTest(int x, int y, int angle) const {
  if (angle != 0) {
    // Turn the point back into the rectangle's own frame.
    float a = static_cast<float>(angle) * kDegToRad;
    float c = std::cos(a), s = std::sin(a);
    float fx = static_cast<float>(x), fy = static_cast<float>(y);
    int rx = static_cast<int>(std::trunc(c * fx + s * fy));
    int ry = static_cast<int>(std::trunc(c * fy - s * fx));
    x = rx;
    y = ry;
  }
  return col2d_PointInRect(static_cast<float>(x), static_cast<float>(y), Rect);
}

void TShapeRect::DrawOutline(int x, int y, int angle) const {
  const float cx = static_cast<float>(x), cy = static_cast<float>(y);
  pr2d_Circle(cx, cy, 4, kWhite, 255, 32, 0);
  float hw = Rect.W / 2, hh = Rect.H / 2;
  float r = std::sqrt(hw * hw + hh * hh) + 5;
  float t = std::atan2(-hw, -hh);
  float b = -static_cast<float>(angle) * kDegToRad;
  auto point = [&](float phi) { return std::pair{cx + r * std::sin(phi), cy + r * std::cos(phi)}; };
  std::pair<float, float> p[4] = {point(t + b), point(b - t), point(b + kPi + t),
                                  point(b + kPi - t)};
  for (auto& q : p) pr2d_Circle(q.first, q.second, 3, kWhite, 255, 32, 0);
  for (int i = 0; i < 4; ++i) {
    auto& a = p[i];
    auto& c = p[(i + 1) % 4];
    pr2d_Line(a.first, a.second, c.first, c.second, kWhite, 255, 0);
  }
}

TShapeCircle::TShapeCircle(int diameter)
    : Circle{0.0f, 0.0f, static_cast<float>(diameter / 2)} {}

void TShapeCircle::Grow(int dw, int) { Circle.Radius += static_cast<float>(dw / 2); }

bool TShapeCircle::HitTest(int x, int y, int) const {
  return col2d_PointInCircle(static_cast<float>(x), static_cast<float>(y), Circle);
}

void TShapeCircle::DrawOutline(int x, int y, int) const {
  float cx = static_cast<float>(x) + Circle.cX, cy = static_cast<float>(y) + Circle.cY;
  pr2d_Circle(cx, cy, Circle.Radius + 5, kWhite, 255, 32, 0);
  pr2d_Circle(cx, cy, 4, kWhite, 255, 32, 0);
}

// --- form objects ---

TMeFormObject::TMeFormObject(int x, int y, TMeFormShape* shape, TMeDrawRect* sprite, TMeForm* form)
    : X(x), Y(y), Form(form), Shape(shape), Sprite(sprite) {}

bool TMeFormObject::Update(int mouseX, int mouseY) {
  bool clicked = false;
  if (Shape && Shape->HitTest(mouseX - X, mouseY - Y, 0)) {
    Hover = Hover < 245 ? static_cast<uint8_t>(Hover + kHoverStep) : 255;
    // A press on a control is the control's, whether or not it counts.
    if (mouse_Click(M_BLEFT)) eng_ClaimPress(M_BLEFT);
    if (mouse_Click(M_BLEFT) && (!Form || Form->TakesPresses())) {
      PlaySound(TSound::Click);
      Click();
      PressTimer = kPressTicks;
      clicked = true;
    }
  } else {
    Hover = Hover > kHoverStep ? static_cast<uint8_t>(Hover - kHoverStep) : 0;
  }
  Pressed = UpdatePressed();
  return clicked;
}

bool TMeFormObject::UpdatePressed() {
  if (PressTimer > 0) --PressTimer;
  return PressTimer > 0;
}

void TMeFormObject::Draw(int offsetX, int offsetY, uint8_t alpha) {
  if (Sprite) Sprite->DrawButton(Enabled, Pressed, X + offsetX, Y + offsetY, Angle, alpha, Hover);
}

TMeFormObject2::TMeFormObject2(int x, int y, TMeFormShape* shape, TMeDrawRect* sprite,
                               TMeDrawRect* icon, int iconFrame, TMeForm* form)
    : TMeFormObject(x, y, shape, sprite, form), Icon(icon), IconFrame(iconFrame) {}

void TMeFormObject2::Draw(int offsetX, int offsetY, uint8_t alpha) {
  TMeFormObject::Draw(offsetX, offsetY, alpha);
  if (Icon) Icon->DrawFrame(X + offsetX, Y + offsetY, Angle, IconFrame, alpha);
}
