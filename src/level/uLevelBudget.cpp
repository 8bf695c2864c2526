#include "level/uLevelBudget.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "level/uMap.h"
#include "sim/uRope.h"
#include "sim/uWorld.h"
#include "ui/uLang.h"

namespace {

// Box2D widens every box by this much before it looks for contacts.
constexpr float kMargin = 0.1f;

struct TBox {
  float MinX, MinY, MaxX, MaxY;
  bool Overlaps(const TBox& o) const {
    return MinX < o.MaxX && o.MinX < MaxX && MinY < o.MaxY && o.MinY < MaxY;
  }
};

TBox BoxAround(float x, float y, float hx, float hy) {
  return {x - hx - kMargin, y - hy - kMargin, x + hx + kMargin, y + hy + kMargin};
}

// The box of an object's hit shape, turned by its angle, at its design position.
TBox BoxOf(const TMapObj& o) {
  const float x = static_cast<float>(o.X), y = static_cast<float>(o.Y);
  if (auto* r = dynamic_cast<const TShapeRect*>(o.Shape.get())) {
    const float a = static_cast<float>(o.Angle) * kDegToRad;
    const float c = std::fabs(std::cos(a)), s = std::fabs(std::sin(a));
    return BoxAround(x, y, (r->Rect.W * c + r->Rect.H * s) / 2, (r->Rect.W * s + r->Rect.H * c) / 2);
  }
  const auto* circle = dynamic_cast<const TShapeCircle*>(o.Shape.get());
  const float radius = circle ? circle->Circle.Radius : 1.0f;
  return BoxAround(x, y, radius, radius);
}

struct TSegmentBox {
  TBox Box;
  const TMapObj* JoinedTo;  // the end object a first or last segment is jointed to
  const TMapObj* JoinedTo2;
};

// The boxes of a rope's segments, as its chain will be built.
void AddSegmentBoxes(const TRope& rope, std::vector<TSegmentBox>* out) {
  const b2Vec2 a = rope.PointA(), b = rope.PointB();
  const int n = TRope::SegmentCount(a, b);
  const b2Vec2 step = (1.0f / static_cast<float>(std::max(n, 1))) * (b - a);
  for (int k = 0; k < n; ++k) {
    const b2Vec2 p = a + static_cast<float>(k) * step, q = p + step;
    TSegmentBox s{{std::min(p.x, q.x) - kMargin, std::min(p.y, q.y) - kMargin,
                   std::max(p.x, q.x) + kMargin, std::max(p.y, q.y) + kMargin},
                  k == 0 ? rope.ObjectA : nullptr,
                  k == n - 1 ? rope.ObjectB : nullptr};
    out->push_back(s);
  }
}

// Pairs that make contacts: an object with another when either is dynamic,
// and a rope segment with an object it is not jointed to (segments are edges,
// which never touch each other).
int CountOverlaps(const TMap& map) {
  std::vector<TBox> boxes;
  for (const auto& o : map.Objects) boxes.push_back(BoxOf(*o));
  std::vector<TSegmentBox> segments;
  for (const auto& r : map.Ropes)
    if (r->ObjectA && r->ObjectB) AddSegmentBoxes(*r, &segments);
  int pairs = 0;
  for (size_t i = 0; i < boxes.size(); ++i) {
    const TMapObj* a = map.Objects[i].get();
    for (size_t j = i + 1; j < boxes.size(); ++j)
      if ((a->Dynamic || map.Objects[j]->Dynamic) && boxes[i].Overlaps(boxes[j])) ++pairs;
    for (const TSegmentBox& s : segments)
      if (s.JoinedTo != a && s.JoinedTo2 != a && s.Box.Overlaps(boxes[i])) ++pairs;
  }
  return pairs;
}

std::string Over(int64_t count, int64_t limit, const std::string& what) {
  return std::to_string(count) + " " + what + " (at most " + std::to_string(limit) + ")";
}

std::string OverRu(int64_t count, int64_t limit, const std::string& what) {
  return TrF("Уровень слишком сложен. %s: %s, можно не больше %s",
             {what, std::to_string(count), std::to_string(limit)});
}

}  // namespace

TLevelCost MeasureLevel(const TMap& map) {
  TLevelCost cost;
  cost.Objects = static_cast<int>(map.Objects.size());
  for (const auto& o : map.Objects) cost.DrawnArea += int64_t{o->Width} * o->Height;
  cost.Ropes = static_cast<int>(map.Ropes.size());
  for (const auto& r : map.Ropes) {
    if (r->ObjectA && r->ObjectB) cost.RopeSegments += TRope::SegmentCount(r->PointA(), r->PointB());
  }
  if (cost.Objects <= TLevelBudget::kObjects && cost.Ropes <= TLevelBudget::kRopes &&
      cost.RopeSegments <= TLevelBudget::kRopeSegments)
    cost.Overlaps = CountOverlaps(map);
  return cost;
}

std::string OverBudget(const TLevelCost& c) {
  if (c.Objects > TLevelBudget::kObjects) return Over(c.Objects, TLevelBudget::kObjects, "objects");
  if (c.Ropes > TLevelBudget::kRopes) return Over(c.Ropes, TLevelBudget::kRopes, "ropes");
  if (c.RopeSegments > TLevelBudget::kRopeSegments)
    return Over(c.RopeSegments, TLevelBudget::kRopeSegments, "rope segments");
  if (c.Overlaps > TLevelBudget::kOverlaps)
    return Over(c.Overlaps, TLevelBudget::kOverlaps, "pairs of bodies placed on top of each other");
  if (c.DrawnArea > TLevelBudget::kDrawnArea)
    return Over(c.DrawnArea, TLevelBudget::kDrawnArea, "square pixels of objects to draw");
  return "";
}

std::string OverBudgetText(const TLevelCost& c) {
  if (c.Objects > TLevelBudget::kObjects) return OverRu(c.Objects, TLevelBudget::kObjects, Tr("Объектов"));
  if (c.Ropes > TLevelBudget::kRopes) return OverRu(c.Ropes, TLevelBudget::kRopes, Tr("Верёвок"));
  if (c.RopeSegments > TLevelBudget::kRopeSegments)
    return OverRu(c.RopeSegments, TLevelBudget::kRopeSegments, Tr("Звеньев верёвок"));
  if (c.Overlaps > TLevelBudget::kOverlaps)
    return OverRu(c.Overlaps, TLevelBudget::kOverlaps, Tr("Пар тел друг на друге"));
  if (c.DrawnArea > TLevelBudget::kDrawnArea)
    return OverRu(c.DrawnArea, TLevelBudget::kDrawnArea, Tr("Площадь предметов"));
  return "";
}
