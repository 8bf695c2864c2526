// The pixels of the shapes the backend caches or fills row by row: the
// anti-aliased disc, anti-aliased rings and the rows of a filled polygon.
#include <algorithm>
#include <cmath>

#include "engine/zglInternal.h"

namespace {

SDL_Surface* WhiteSurface(int size) {
  return SDL_CreateRGBSurfaceWithFormat(0, size, size, 32, SDL_PIXELFORMAT_RGBA32);
}

// Fills a white surface's alpha with `alpha(dx, dy)`, the offsets of each
// pixel's centre from (cx, cy).
template <class F>
void FillAlpha(SDL_Surface* s, float cx, float cy, F alpha) {
  auto* px = static_cast<Uint8*>(s->pixels);
  for (int y = 0; y < s->h; ++y) {
    Uint8* p = px + y * s->pitch;
    for (int x = 0; x < s->w; ++x, p += 4) {
      p[0] = p[1] = p[2] = 255;
      p[3] = static_cast<Uint8>(alpha(x + 0.5f - cx, y + 0.5f - cy) * 255.0f + 0.5f);
    }
  }
}

}  // namespace

SDL_Surface* eng_MakeDiscSurface(int size) {
  SDL_Surface* s = WhiteSurface(size);
  if (!s) return nullptr;
  const float r = size / 2.0f;
  FillAlpha(s, r, r, [r](float dx, float dy) {
    return std::clamp((r - std::sqrt(dx * dx + dy * dy)) / 2.0f, 0.0f, 1.0f);
  });
  return s;
}

SDL_Surface* eng_MakeRingSurface(int size, float cx, float cy, float radius) {
  SDL_Surface* s = WhiteSurface(size);
  if (!s) return nullptr;
  // Across the ring: one pixel solid, then a one-pixel fade on each side.
  FillAlpha(s, cx, cy, [radius](float dx, float dy) {
    float off = std::abs(std::sqrt(dx * dx + dy * dy) - radius);
    return std::clamp(kRingHalfWidth - off, 0.0f, 1.0f);
  });
  return s;
}

void eng_PolygonRows(const std::vector<SDL_FPoint>& polygon, std::vector<SDL_Rect>* rows,
                     const SDL_FRect& view) {
  rows->clear();
  if (polygon.size() < 3) return;
  float top = polygon[0].y, bottom = polygon[0].y;
  for (const SDL_FPoint& p : polygon) top = std::min(top, p.y), bottom = std::max(bottom, p.y);
  // Only the rows and columns on the picture.
  top = std::max(top, view.y - 1), bottom = std::min(bottom, view.y + view.h + 1);
  // Rows whose pixel centres lie inside; within a row, the same for columns.
  for (int y = static_cast<int>(std::ceil(top - 0.5f)); y + 0.5f < bottom; ++y) {
    const float yc = y + 0.5f;
    float left = INFINITY, right = -INFINITY;
    for (size_t i = 0; i < polygon.size(); ++i) {
      const SDL_FPoint& a = polygon[i];
      const SDL_FPoint& b = polygon[(i + 1) % polygon.size()];
      if ((a.y <= yc) == (b.y <= yc)) continue;  // the edge does not cross this row
      float x = a.x + (yc - a.y) / (b.y - a.y) * (b.x - a.x);
      left = std::min(left, x);
      right = std::max(right, x);
    }
    if (!(left < right)) continue;
    left = std::max(left, view.x - 1), right = std::min(right, view.x + view.w + 1);
    if (!(left < right)) continue;
    int x0 = static_cast<int>(std::ceil(left - 0.5f));
    int x1 = static_cast<int>(std::ceil(right - 0.5f));
    if (x1 > x0) rows->push_back(SDL_Rect{x0, y, x1 - x0, 1});
  }
}

