// The user-interface toolkit: forms, draw rects (sprites cut from an atlas),
// hit shapes and clickable form objects.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "engine/zgl.h"

class tScene;
class TMeFormObject;

// A fixed-size picture with a list of equally sized frames cut from a
// texture, drawn centred on a point.
class TMeDrawRect {
 public:
  TMeDrawRect(zglPTexture texture, int width, int height);
  virtual ~TMeDrawRect() = default;

  int OffsetX;  // -(Width / 2): from the drawing point to the left edge
  int OffsetY;  // -(Height / 2)
  int Width, Height;
  int Tag = 0;         // free for the owner (the map keeps the sprite kind here)
  int LastFrame = -1;  // index of the frame added last
  std::vector<zglTRect> Frames;
  zglPTexture Texture;

  void AddFrame(int x, int y);
  // A frame number the sprite does not have draws frame 0.
  void DrawFrame(int x, int y, int angle, int frame, uint8_t alpha) const;
  void DrawButton(bool enabled, bool pressed, int x, int y, int angle, uint8_t alpha,
                  uint8_t hover) const;
  // Draws a frame stretched over the screen rectangle (x, y, w, h), top-left
  // given, keeping its corners of `border` pixels unstretched: a panel of
  // any size from one small picture.
  void DrawStretched(int frame, int border, int x, int y, int w, int h, uint8_t alpha) const;
  // The source rectangle of a frame, or null when the sprite has no frames.
  const zglTRect* FrameRect(int frame) const;
};

// Button looks made by forms.
class TMeFormDrawRect : public TMeDrawRect {
 public:
  using TMeDrawRect::TMeDrawRect;
};

// An invisible container with an origin and an alpha. It owns its objects,
// draws them in the order they were added and passes them the mouse.
class TMeForm {
 public:
  TMeForm(int x, int y, uint8_t alpha, tScene* owner);
  virtual ~TMeForm();
  TMeForm(const TMeForm&) = delete;
  TMeForm& operator=(const TMeForm&) = delete;

  tScene* Owner;
  std::vector<std::unique_ptr<TMeFormObject>> Objects;
  int X, Y;
  uint8_t Alpha;
  bool Visible = false;  // read and set by the form's owner only

  void AddObject(std::unique_ptr<TMeFormObject> object);
  void ClearObjects();
  // Counts the times the list was emptied, so a walk can tell it was rebuilt.
  uint64_t Generation = 0;

 private:
  std::vector<std::unique_ptr<TMeFormObject>> Retired;

 public:
  virtual void Draw();
  // True when an object was clicked in this tick.
  virtual bool Update(int mouseX, int mouseY);

  // The enabled and visible object under a screen point, the last one drawn
  // there; null for none.
  TMeFormObject* ObjectAt(int mouseX, int mouseY) const;

  // Whether a click seen now may press one of the form's objects. A press
  // counts only for a form that took input in the tick before (or the one
  // before that) or was drawn before the press, so it was on screen when the
  // press began; a pop-up form (one its owner shows with Visible) that a
  // click opened takes no press for kOpenQuietRounds ticks, so the second
  // click of a double click never lands on it.
  bool TakesPresses() const;
  static constexpr uint64_t kOpenQuietRounds = 20;  // 300 ms
  // Takes no press for the next `rounds` ticks (its content changed under the pointer).
  void HoldPresses(uint64_t rounds);

 protected:
  // Called by Update: notes that the form takes input in this tick.
  void NoteInputRound();

 private:
  uint64_t LastRound = 0;   // the input round of the last Update; 0 never
  uint64_t PressesFrom = 0;  // the first round in which a press counts
  uint64_t DrawnRound = 0;   // the input round of the last Draw
  uint64_t DrawnSince = 0;   // the first round of the drawing that goes on until then
};

// Creates a form object and hands it to its form, which owns it.
template <class T, class... Args>
T* AddNew(TMeForm& form, Args&&... args) {
  auto object = std::make_unique<T>(std::forward<Args>(args)...);
  T* raw = object.get();
  form.AddObject(std::move(object));
  return raw;
}

// Whether a point lies on an object; centred on the object's position.
class TMeFormShape {
 public:
  virtual ~TMeFormShape() = default;
  virtual void Grow(int dw, int dh);
  // (x, y) relative to the object's centre; angle in whole degrees.
  virtual bool HitTest(int x, int y, int angle) const;
  virtual void DrawOutline(int x, int y, int angle) const;
};

class TShapeRect : public TMeFormShape {
 public:
  TShapeRect(int width, int height);
  zglTRect Rect;  // relative to the centre
  void Grow(int dw, int dh) override;
  bool HitTest(int x, int y, int angle) const override;
  void DrawOutline(int x, int y, int angle) const override;
};

class TShapeCircle : public TMeFormShape {
 public:
  explicit TShapeCircle(int diameter);
  zglTCircle Circle;
  void Grow(int dw, int dh) override;
  bool HitTest(int x, int y, int angle) const override;
  void DrawOutline(int x, int y, int angle) const override;
};

// A clickable element of a form: a position, a hit shape, a look, and the
// hover and press state that drives the look.
class TMeFormObject {
 public:
  TMeFormObject(int x, int y, TMeFormShape* shape, TMeDrawRect* sprite, TMeForm* form);
  virtual ~TMeFormObject() = default;

  int X, Y;       // centre, relative to the form's origin
  int Angle = 0;  // the look's rotation; the hit test ignores it
  uint8_t PressTimer = 0;
  uint8_t Hover = 0;
  TMeForm* Form;
  TMeFormShape* Shape;   // shared, not owned
  TMeDrawRect* Sprite;   // shared, not owned
  bool Pressed = false;
  bool Enabled = true;
  bool Visible = true;
  std::string Tooltip;  // the control's name, shown while the pointer rests on it

  // The scene that owns the object's form, or null.
  tScene* OwnerScene() const { return Form ? Form->Owner : nullptr; }
  virtual void Click() {}
  virtual void Draw(int offsetX, int offsetY, uint8_t alpha);
  virtual bool UpdatePressed();
  // Mouse in form coordinates; true when the object was clicked in this tick.
  bool Update(int mouseX, int mouseY);

  static constexpr uint8_t kHoverStep = 7;
  static constexpr uint8_t kPressTicks = 7;
};

// A form object with an icon drawn over its look.
class TMeFormObject2 : public TMeFormObject {
 public:
  TMeFormObject2(int x, int y, TMeFormShape* shape, TMeDrawRect* sprite, TMeDrawRect* icon,
                 int iconFrame, TMeForm* form);
  TMeDrawRect* Icon;  // may be null
  int IconFrame;
  void Draw(int offsetX, int offsetY, uint8_t alpha) override;
};
