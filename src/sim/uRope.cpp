#include "sim/uRope.h"

#include "sim/uWorld.h"

TRope::TRope(TMeDrawRect* sprite, TMapObj* objectA, TMapObj* objectB, int offsetAX, int offsetAY,
             int offsetBX, int offsetBY)
    : ObjectA(objectA), ObjectB(objectB), OffsetAX(offsetAX), OffsetAY(offsetAY),
      OffsetBX(offsetBX), OffsetBY(offsetBY) {
  Sprite = sprite;
}

TRope::TRope(const TRope& s)
    : TMapObjProt(s), ObjectA(s.ObjectA), ObjectB(s.ObjectB), OffsetAX(s.OffsetAX),
      OffsetAY(s.OffsetAY), OffsetBX(s.OffsetBX), OffsetBY(s.OffsetBY) {}

TRope::~TRope() = default;

bool TRope::AttachEnd(TMapObj* object, int offsetX, int offsetY, bool atCentre) {
  if (!object) return false;
  if (atCentre) offsetX = offsetY = 0;
  if (!ObjectA) {
    ObjectA = object;
    OffsetAX = offsetX;
    OffsetAY = offsetY;
    return false;
  }
  if (object != ObjectA) {
    ObjectB = object;
    OffsetBX = offsetX;
    OffsetBY = offsetY;
    return true;
  }
  return false;
}

b2Vec2 TRope::PointA() const {
  if (!ObjectA) return b2Vec2(0, 0);
  return b2Vec2(static_cast<float>(ObjectA->X - OffsetAX), static_cast<float>(ObjectA->Y - OffsetAY));
}

b2Vec2 TRope::PointB() const {
  if (!ObjectB) return b2Vec2(0, 0);
  return b2Vec2(static_cast<float>(ObjectB->X - OffsetBX), static_cast<float>(ObjectB->Y - OffsetBY));
}

void TRope::DrawEditor(int, int) {}
void TRope::DrawGame() {}
void TRope::DrawShape(int, int) {}

void TRope::Update(int ox, int oy) {
  SpriteDX = ox;
  SpriteDY = oy;
}

bool TRope::HitTest(int, int) { return false; }

void TRope::CreatePhysics(TWorld*) { Segments.clear(); SegmentHeat.clear(); }

bool TRope::LaserHit(b2Body*, uint8_t) { return false; }

void TRope::ForgetPhysics() {
  Segments.clear();
  SegmentHeat.clear();
}

std::unique_ptr<TMapObjProt> TRope::Clone() const { return std::make_unique<TRope>(*this); }

void TRope::BurnThrough(size_t) {}
