// A rope joins two map objects with a chain of short jointed segments; hot
// beams burn segments through, dropping the side that hangs from a dynamic object.
#pragma once

#include <box2d/box2d.h>

#include <vector>

#include "sim/uMapObj.h"

class TRope : public TMapObjProt {
 public:
  TRope(TMeDrawRect* sprite, TMapObj* objectA, TMapObj* objectB, int offsetAX, int offsetAY,
        int offsetBX, int offsetBY);
  // A copy: the same sprite, objects and offsets, no segments.
  TRope(const TRope& source);
  ~TRope() override;

  std::vector<b2Body*> Segments;     // from ObjectA's end to ObjectB's; owned by the world
  std::vector<int32_t> SegmentHeat;  // one per segment
  bool DropA = false;  // ObjectA was dynamic at the start and its side is still on
  bool DropB = false;
  TMapObj* ObjectA = nullptr;  // not owned
  TMapObj* ObjectB = nullptr;
  int OffsetAX = 0, OffsetAY = 0;  // ObjectA's X, Y minus the first attachment point
  int OffsetBX = 0, OffsetBY = 0;

  static constexpr float kMaxSegmentLength = 20.0f;

  // Attaches the next free end to `object` (the editor's rope tool); true when
  // the rope became complete.
  bool AttachEnd(TMapObj* object, int offsetX, int offsetY, bool atCentre);
  // The number of segments of a chain from `a` to `b`: the span cut into
  // equal pieces of at most kMaxSegmentLength; none for ends that coincide.
  static int SegmentCount(b2Vec2 a, b2Vec2 b);
  // The attachment points at the objects' design positions.
  b2Vec2 PointA() const;
  b2Vec2 PointB() const;
  // The point halfway between the two attachment points; false (and nothing
  // set) while an end is free.
  bool MiddleOfEnds(int* x, int* y) const;
  // Puts the rope's own position there (drawing it in the editor does the same).
  void FollowEnds();

  void DrawEditor(int ox, int oy) override;
  void DrawGame() override;
  void DrawShape(int ox, int oy) override;
  void Update(int ox, int oy) override;
  bool HitTest(int x, int y) override;
  void CreatePhysics(TWorld* world) override;
  bool LaserHit(b2Body* body, uint8_t kind) override;
  void ForgetPhysics() override;
  std::unique_ptr<TMapObjProt> Clone() const override;
  const char* ClassName() const override { return "TRope"; }

 protected:
  void BurnThrough(size_t index);
};
