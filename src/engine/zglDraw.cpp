// The game-facing drawing calls: forwarded to the current backend.
#include "engine/engine.h"

namespace {
zglBackend* Current = nullptr;
}

void eng_SetBackend(zglBackend* backend) { Current = backend; }
zglBackend* eng_Backend() { return Current; }

void csprite2d_Draw(zglPTexture texture, float x, float y, float w, float h, float angle,
                    const zglTRect& cutRect, uint8_t alpha, uint32_t /*fx*/) {
  if (Current) Current->Sprite(texture, x, y, w, h, angle, &cutRect, alpha);
}

void ssprite2d_Draw(zglPTexture texture, float x, float y, float w, float h, float angle,
                    uint8_t alpha, uint32_t /*fx*/) {
  if (Current) Current->Sprite(texture, x, y, w, h, angle, nullptr, alpha);
}

void pr2d_Rect(float x, float y, float w, float h, uint32_t color, uint8_t alpha, uint32_t flags) {
  if (Current) Current->Rect(x, y, w, h, color & 0xFFFFFF, alpha, (flags & PR2D_FILL) != 0);
}

void pr2d_Circle(float x, float y, float radius, uint32_t color, uint8_t alpha, int quality,
                 uint32_t /*fx*/, uint32_t flags) {
  if (Current) Current->Circle(x, y, radius, color & 0xFFFFFF, alpha, quality, flags);
}

void pr2d_Line(float x1, float y1, float x2, float y2, uint32_t color, uint8_t alpha,
               uint32_t flags) {
  if (Current) Current->Line(x1, y1, x2, y2, color & 0xFFFFFF, alpha, (flags & PR2D_SMOOTH) != 0);
}

void text_DrawEx(zglPFont font, float x, float y, float scale, float /*step*/,
                 const std::string& text, uint8_t alpha, uint32_t color, uint32_t flags) {
  if (Current && !text.empty())
    Current->Text(font, x, y, scale, text, alpha, color & 0xFFFFFF, flags);
}

bool col2d_PointInRect(float x, float y, const zglTRect& rect) {
  return x >= rect.X && x < rect.X + rect.W && y >= rect.Y && y < rect.Y + rect.H;
}

bool col2d_PointInCircle(float x, float y, const zglTCircle& circle) {
  float dx = x - circle.cX, dy = y - circle.cY;
  return dx * dx + dy * dy <= circle.Radius * circle.Radius;
}

// --- recording backend ---

void zglRecordingBackend::Sprite(const zglTTexture* texture, float x, float y, float w, float h,
                                 float angle, const zglTRect* cut, uint8_t alpha) {
  zglDrawCall c;
  c.kind = zglDrawCall::SPRITE;
  c.texture = texture;
  c.x = x, c.y = y, c.w = w, c.h = h, c.angle = angle, c.alpha = alpha;
  if (cut) c.hasCut = true, c.cut = *cut;
  Calls.push_back(c);
}

void zglRecordingBackend::Rect(float x, float y, float w, float h, uint32_t color, uint8_t alpha,
                               bool filled) {
  zglDrawCall c;
  c.kind = zglDrawCall::RECT;
  c.x = x, c.y = y, c.w = w, c.h = h, c.color = color, c.alpha = alpha, c.flags = filled;
  Calls.push_back(c);
}

void zglRecordingBackend::Circle(float x, float y, float radius, uint32_t color, uint8_t alpha,
                                 int quality, uint32_t flags) {
  zglDrawCall c;
  c.kind = zglDrawCall::CIRCLE;
  c.x = x, c.y = y, c.w = radius, c.color = color, c.alpha = alpha, c.quality = quality;
  c.flags = flags;
  Calls.push_back(c);
}

void zglRecordingBackend::Line(float x1, float y1, float x2, float y2, uint32_t color,
                               uint8_t alpha, bool smooth) {
  zglDrawCall c;
  c.kind = zglDrawCall::LINE;
  c.x = x1, c.y = y1, c.w = x2, c.h = y2, c.color = color, c.alpha = alpha, c.flags = smooth;
  Calls.push_back(c);
}

void zglRecordingBackend::Text(const zglTFont* font, float x, float y, float scale,
                               const std::string& text, uint8_t alpha, uint32_t color,
                               uint32_t flags) {
  zglDrawCall c;
  c.kind = zglDrawCall::TEXT;
  c.font = font;
  c.x = x, c.y = y, c.w = scale, c.text = text, c.alpha = alpha, c.color = color, c.flags = flags;
  Calls.push_back(c);
}

std::vector<const zglDrawCall*> zglRecordingBackend::TextCalls(const std::string& text) const {
  std::vector<const zglDrawCall*> found;
  for (const auto& c : Calls)
    if (c.kind == zglDrawCall::TEXT && c.text == text) found.push_back(&c);
  return found;
}
