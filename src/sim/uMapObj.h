// What every thing placed in a level has in common (TMapObjProt), and the
// plain block (TMapObj): one body with one rectangular or circular hit shape.
#pragma once

#include <box2d/box2d.h>

#include <cstdint>
#include <memory>
#include <nlohmann/json_fwd.hpp>

#include "ui/uMeForm.h"

class TWorld;

// The sizes a level object may have. The editor's size buttons and the level
// file keep to the same rule (CheckObjectSize), so whatever one makes the
// other takes.
constexpr int kMinShapeSize = 2;  // a hit shape's width, height or radius
// The largest sensible object: any width, height or diameter, drawn or hit.
// It is more than the field's diagonal (the field is 630 by 700), so an
// object this size already covers all of it turned any way.
constexpr int kMaxObjectSize = 1000;

enum class TObjectSize { OK, TOO_SMALL, TOO_LARGE };
// Whether an object of these sizes is allowed: a rectangle's hit shape is
// `shapeW` by `shapeH`, a circle's radius is `shapeW`; `width` by `height`
// is the drawn sprite.
TObjectSize CheckObjectSize(bool circle, int64_t shapeW, int64_t shapeH, int64_t width, int64_t height);

// An angle in whole degrees as a level object keeps it: unchanged within ten
// turns either way (angles are not wrapped: a full turn shows as 360, a level
// may hold -45 or 375), otherwise brought into 0..359, so turning an object
// never overflows.
int SaneAngle(int64_t angle);
// `angle` turned by `step` degrees, kept sane.
inline int TurnAngle(int angle, int step) { return SaneAngle(static_cast<int64_t>(angle) + step); }

class TMapObjProt {
 public:
  TMapObjProt() = default;
  TMapObjProt(const TMapObjProt&) = default;
  TMapObjProt& operator=(const TMapObjProt&) = delete;
  virtual ~TMapObjProt() = default;

  int X = 0, Y = 0;              // map position: centre of the hit shape and of the body
  int SpriteDX = 0, SpriteDY = 0;  // sprite's top-left corner relative to (X, Y)
  TMeDrawRect* Sprite = nullptr;   // the map's shared sprite of this kind; not owned

  // Draw at the design position; (ox, oy) is the map origin on screen.
  virtual void DrawEditor(int ox, int oy);
  // Draw where the physics put the object at the last Update.
  virtual void DrawGame();
  // Outline the hit shape at the design position (editor).
  virtual void DrawShape(int ox, int oy);
  // Once per tick while the map runs: read back the physics state and act.
  virtual void Update(int ox, int oy);
  // Is the map point inside the object?
  virtual bool HitTest(int x, int y);
  // Build the object's bodies in the given world; runs at every start of the map.
  virtual void CreatePhysics(TWorld* world);
  // A beam of kind 1 (aiming) or 2 (hot) touches one of the object's bodies;
  // true reflects the beam there.
  virtual bool LaserHit(b2Body* body, uint8_t kind);
  // Forget every body, joint and world pointer: the world is about to go.
  virtual void ForgetPhysics() {}
  // A body of another object is about to be destroyed: forget any pointer to it.
  virtual void ForgetBody(const b2Body*) {}
  // A new object of the same class with the same design (the editor's copy).
  virtual std::unique_ptr<TMapObjProt> Clone() const = 0;
  // The class name, as in state dumps.
  virtual const char* ClassName() const = 0;
};

class TMapObj : public TMapObjProt {
 public:
  // A new object of the editor: at (0, 0), angle 0, dynamic, the sprite's size.
  TMapObj(TMeDrawRect* sprite, std::unique_ptr<TMeFormShape> shape);
  // A copy of another object's design; the shape is a new one of the same kind.
  TMapObj(const TMapObj& source);
  ~TMapObj() override;

  int Angle = 0;  // design rotation, whole degrees
  float DrawX = 0, DrawY = 0;  // screen position of the sprite's top-left corner in play
  float DrawAngle = 0;         // sprite rotation in play, degrees
  std::unique_ptr<TMeFormShape> Shape;
  b2Body* Body = nullptr;  // while the map runs; owned by the world
  bool Interactive = false;
  bool Dynamic = true;
  int Width = 0, Height = 0;  // drawn sprite size
  TWorld* World = nullptr;
  uint8_t Frame = 0;  // 0 black, 1 white, 2 mirror (three-frame sprites only)

  // Grows the object by (dw, dh) keeping it centred; refused as a whole
  // unless both new drawn sizes stay above 8 and the object keeps to the
  // rule above. Returns TOO_LARGE when it was refused for that.
  TObjectSize Resize(int dw, int dh);

  void DrawEditor(int ox, int oy) override;
  void DrawGame() override;
  void DrawShape(int ox, int oy) override;
  void Update(int ox, int oy) override;
  bool HitTest(int x, int y) override;
  void CreatePhysics(TWorld* world) override;
  bool LaserHit(b2Body* body, uint8_t kind) override;
  void ForgetPhysics() override;
  std::unique_ptr<TMapObjProt> Clone() const override;
  const char* ClassName() const override { return "TMapObj"; }
  // The tag (at most six characters) the level file stores the class under.
  static constexpr const char* kTag = "MAPOBJ";
  virtual const char* KindTag() const { return kTag; }
  // Adds this object's state to a state dump object.
  virtual void DumpState(nlohmann::json& out) const;

 protected:
  // Draws frame `Frame` of the sprite with its top-left corner at (x, y).
  void DrawSpriteAt(float x, float y, float angle) const;
};
