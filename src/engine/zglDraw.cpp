// The game-facing drawing calls: forwarded to the current backend.
#include <algorithm>
#include <vector>

#include "engine/zglInternal.h"

namespace {
zglBackend* Current = nullptr;
bool PictureCache = true;
uint64_t LastPictureId = 0;
// Backends that may hold pictures, told when one goes.
std::vector<zglBackend*> Keepers;
// For each pic_Begin that returned true: whether its content goes straight
// into the frame (no pic_End call for the backend then).
std::vector<bool> Straight;
}  // namespace

void eng_AddPictureKeeper(zglBackend* backend) { Keepers.push_back(backend); }
void eng_RemovePictureKeeper(zglBackend* backend) { std::erase(Keepers, backend); }
void eng_SetPictureCache(bool on) { PictureCache = on; }

struct zglPicture::Layer {
  std::vector<zglDrawCall> Calls;
  uint64_t Version = 0;
};

zglPicture::zglPicture(int width, int height)
    : Width(std::max(1, width)), Height(std::max(1, height)), Id(++LastPictureId),
      Drawn(std::make_unique<Layer>()) {}

zglPicture::~zglPicture() {
  for (zglBackend* b : Keepers) b->ForgetPicture(Id);
}

bool pic_Begin(const zglPicture& picture, uint64_t version) {
  if (Current && PictureCache && Current->HoldsPicture(picture, version)) return false;
  Straight.push_back(!(Current && PictureCache && Current->BeginPicture(picture, version)));
  return true;
}

void pic_End() {
  if (Straight.empty()) return;
  const bool straight = Straight.back();
  Straight.pop_back();
  if (!straight && Current) Current->EndPicture();
}

void pic_Draw(const zglPicture& picture, int x, int y) {
  if (Current && PictureCache) Current->Picture(picture, x, y);
}

void pic_Layer(zglPicture& picture, const std::function<void()>& content) {
  if (!Current || !PictureCache) {
    content();
    return;
  }
  zglRecordingBackend now(true);
  now.Calls.reserve(picture.Drawn->Calls.size());
  zglBackend* to = Current;
  Current = &now;
  content();
  Current = to;
  if (now.Calls != picture.Drawn->Calls) {
    picture.Drawn->Calls = std::move(now.Calls);
    ++picture.Drawn->Version;
  }
  if (pic_Begin(picture, picture.Drawn->Version)) {
    now.Calls.swap(picture.Drawn->Calls);  // drawn from, then kept again
    now.Replay(*Current);
    now.Calls.swap(picture.Drawn->Calls);
    pic_End();
  }
  pic_Draw(picture, 0, 0);
}

void eng_SetBackend(zglBackend* backend) {
  Current = backend;
  Straight.clear();
}
zglBackend* eng_Backend() { return Current; }

void csprite2d_Draw(zglPTexture texture, float x, float y, float w, float h, float angle,
                    const zglTRect& cutRect, uint8_t alpha) {
  if (Current) Current->Sprite(texture, x, y, w, h, angle, &cutRect, alpha);
}

void ssprite2d_Draw(zglPTexture texture, float x, float y, float w, float h, float angle,
                    uint8_t alpha) {
  if (Current) Current->Sprite(texture, x, y, w, h, angle, nullptr, alpha);
}

void pr2d_Rect(float x, float y, float w, float h, uint32_t color, uint8_t alpha, uint32_t flags) {
  if (Current) Current->Rect(x, y, w, h, color & 0xFFFFFF, alpha, (flags & PR2D_FILL) != 0);
}

void pr2d_Circle(float x, float y, float radius, uint32_t color, uint8_t alpha, int quality,
                 uint32_t flags) {
  if (Current) Current->Circle(x, y, radius, color & 0xFFFFFF, alpha, quality, flags);
}

void pr2d_Line(float x1, float y1, float x2, float y2, uint32_t color, uint8_t alpha,
               uint32_t flags) {
  if (Current) Current->Line(x1, y1, x2, y2, color & 0xFFFFFF, alpha, (flags & PR2D_SMOOTH) != 0);
}

void text_DrawEx(zglPFont font, float x, float y, float scale, const std::string& text,
                 uint8_t alpha, uint32_t color, uint32_t flags) {
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

bool zglRecordingBackend::BeginPicture(const zglPicture& picture, uint64_t version) {
  if (!KeepsPictures) return false;
  zglDrawCall c;
  c.kind = zglDrawCall::PICTURE_BEGIN;
  c.picture = &picture, c.pictureId = picture.Id, c.version = version;
  Calls.push_back(c);
  return true;
}

void zglRecordingBackend::EndPicture() {
  zglDrawCall c;
  c.kind = zglDrawCall::PICTURE_END;
  Calls.push_back(c);
}

void zglRecordingBackend::Picture(const zglPicture& picture, int x, int y) {
  if (!KeepsPictures) return;
  zglDrawCall c;
  c.kind = zglDrawCall::PICTURE;
  c.picture = &picture, c.pictureId = picture.Id;
  c.x = static_cast<float>(x), c.y = static_cast<float>(y);
  Calls.push_back(c);
}

bool zglDrawCall::operator==(const zglDrawCall& o) const {
  return kind == o.kind && texture == o.texture && font == o.font && x == o.x && y == o.y &&
         w == o.w && h == o.h && angle == o.angle && hasCut == o.hasCut &&
         (!hasCut || (cut.X == o.cut.X && cut.Y == o.cut.Y && cut.W == o.cut.W && cut.H == o.cut.H)) &&
         alpha == o.alpha && color == o.color && flags == o.flags && quality == o.quality &&
         text == o.text && pictureId == o.pictureId && version == o.version;
}

// The index of the PICTURE_END that closes the picture begun at `begin`.
static size_t PictureEnd(const std::vector<zglDrawCall>& calls, size_t begin) {
  int depth = 0;
  for (size_t i = begin; i < calls.size(); ++i) {
    if (calls[i].kind == zglDrawCall::PICTURE_BEGIN) ++depth;
    if (calls[i].kind == zglDrawCall::PICTURE_END && --depth == 0) return i;
  }
  return calls.size();
}

void zglRecordingBackend::Replay(zglBackend& to) const {
  std::vector<bool> straight;  // as in pic_Begin
  for (size_t i = 0; i < Calls.size(); ++i) {
    const zglDrawCall& c = Calls[i];
    switch (c.kind) {
      case zglDrawCall::SPRITE:
        to.Sprite(c.texture, c.x, c.y, c.w, c.h, c.angle, c.hasCut ? &c.cut : nullptr, c.alpha);
        break;
      case zglDrawCall::RECT: to.Rect(c.x, c.y, c.w, c.h, c.color, c.alpha, c.flags != 0); break;
      case zglDrawCall::CIRCLE:
        to.Circle(c.x, c.y, c.w, c.color, c.alpha, c.quality, c.flags);
        break;
      case zglDrawCall::LINE: to.Line(c.x, c.y, c.w, c.h, c.color, c.alpha, c.flags != 0); break;
      case zglDrawCall::TEXT: to.Text(c.font, c.x, c.y, c.w, c.text, c.alpha, c.color, c.flags); break;
      case zglDrawCall::PICTURE_BEGIN:
        if (to.HoldsPicture(*c.picture, c.version))
          i = PictureEnd(Calls, i);  // nothing to draw
        else
          straight.push_back(!to.BeginPicture(*c.picture, c.version));
        break;
      case zglDrawCall::PICTURE_END:
        if (!straight.empty() && !straight.back()) to.EndPicture();
        if (!straight.empty()) straight.pop_back();
        break;
      case zglDrawCall::PICTURE:
        to.Picture(*c.picture, static_cast<int>(c.x), static_cast<int>(c.y));
        break;
    }
  }
}

std::vector<const zglDrawCall*> zglRecordingBackend::TextCalls(const std::string& text) const {
  std::vector<const zglDrawCall*> found;
  for (const auto& c : Calls)
    if (c.kind == zglDrawCall::TEXT && c.text == text) found.push_back(&c);
  return found;
}
