// Drawing with an SDL renderer. Textures and rendered captions are made on
// first use and cached for the renderer's lifetime.
#include <algorithm>
#include <cmath>
#include <compare>
#include <numbers>
#include <map>
#include <unordered_map>
#include <utility>
#include <vector>

#include "engine/zglInternal.h"

namespace {

constexpr int kDiscSize = 256;         // size of the cached anti-aliased disc
constexpr size_t kMaxCachedTexts = 512;
constexpr float kMaxCachedRing = 100;  // larger rings are drawn as geometry
constexpr size_t kMaxRingPixels = size_t{4} << 20;  // about 16 MB of ring textures
constexpr float kMaxLinePiece = 24;   // soft lines are drawn in pieces at most this long
constexpr float kFarAway = 1e6f;      // shapes beyond this many pixels are not drawn
constexpr int kTile = 256;             // see FillSeeThrough
constexpr size_t kMaxTiles = 16;
constexpr int kFadeAfterUses = 3;      // see FadedTexture
constexpr size_t kMaxFaded = 256;
constexpr size_t kMaxFadedPixels = size_t{4} << 20;
constexpr size_t kMaxScaled = 256;     // see ScaledTexture
constexpr size_t kMaxScaledPixels = size_t{4} << 20;

SDL_Color ToColor(uint32_t rgb, uint8_t alpha) {
  return SDL_Color{static_cast<Uint8>((rgb >> 16) & 0xFF), static_cast<Uint8>((rgb >> 8) & 0xFF),
                   static_cast<Uint8>(rgb & 0xFF), alpha};
}

SDL_Vertex Vertex(float x, float y, SDL_Color c, float u = 0, float v = 0) {
  return SDL_Vertex{SDL_FPoint{x, y}, c, SDL_FPoint{u, v}};
}

// A blended texture from a surface, or null; frees the surface.
SDL_Texture* BlendedTexture(SDL_Renderer* r, SDL_Surface* s) {
  if (!s) return nullptr;
  SDL_Texture* t = SDL_CreateTextureFromSurface(r, s);
  SDL_FreeSurface(s);
  if (t) SDL_SetTextureBlendMode(t, SDL_BLENDMODE_BLEND);
  return t;
}

// A copy of `src` of a picture with its alpha multiplied by `alpha`, as the
// renderer's alpha modulation does it.
SDL_Surface* MakeFaded(const SDL_Surface* from, const SDL_Rect& src, uint8_t alpha) {
  SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, src.w, src.h, 32, SDL_PIXELFORMAT_RGBA32);
  if (!s) return nullptr;
  for (int y = 0; y < src.h; ++y) {
    const auto* in = static_cast<const Uint8*>(from->pixels) + (src.y + y) * from->pitch + src.x * 4;
    auto* out = static_cast<Uint8*>(s->pixels) + y * s->pitch;
    for (int x = 0; x < src.w; ++x, in += 4, out += 4) {
      out[0] = in[0], out[1] = in[1], out[2] = in[2];
      out[3] = static_cast<Uint8>(in[3] * alpha / 255);
    }
  }
  return s;
}

}  // namespace

struct zglSdlBackend::Impl {
  SDL_Renderer* R = nullptr;
  // SDL's software renderer rasterises geometry half a pixel up and to the
  // left of where its copies and rectangles land. Shapes it used to draw as
  // geometry are moved the same way, so the pictures keep their look.
  float GeometryShift = 0;
  bool Software = false;
  std::unordered_map<const zglTTexture*, SDL_Texture*> Textures;
  std::map<std::pair<const zglTFont*, std::string>, SDL_Texture*> Texts;
  SDL_Texture* Disc = nullptr;
  zglTTexture DiscPicture;  // its pixels, for the scaled copies
  struct Ring {
    SDL_Texture* Texture = nullptr;
    int Size = 0;
  };
  std::unordered_map<uint32_t, Ring> Rings;  // by radius and the centre's place in its pixel
  size_t RingPixels = 0;
  struct FadedKey {
    const zglTTexture* Picture;
    int X, Y, W, H;
    uint8_t Alpha;
    auto operator<=>(const FadedKey&) const = default;
  };
  struct Faded {
    SDL_Texture* Texture = nullptr;
    int Uses = 0;
  };
  std::map<FadedKey, Faded> FadedCopies;
  size_t FadedPixels = 0;
  struct ScaledKey {
    const zglTTexture* Picture;
    int X, Y, W, H;  // the part of it
    uint8_t Faded;   // the alpha built in (255: none)
    int ToW, ToH;
    auto operator<=>(const ScaledKey&) const = default;
  };
  struct Scaled {
    SDL_Texture* Texture = nullptr;
    int Uses = 0;
    bool Opaque = false;  // every pixel's alpha is 255: copied without blending
  };
  std::map<ScaledKey, Scaled> ScaledCopies;
  size_t ScaledPixels = 0;
  std::unordered_map<uint32_t, SDL_Texture*> Tiles;  // by colour
  struct Held {
    SDL_Texture* Texture = nullptr;
    uint64_t Version = 0;
    int W = 0, H = 0;  // in the target's own pixels
  };
  std::unordered_map<uint64_t, Held> Pictures;  // by the picture's id
  struct Target {
    SDL_Texture* Texture;  // null: the frame itself
    float ScaleX, ScaleY;
  };
  std::vector<Target> Targets;  // where drawing went before each picture begun
  std::vector<SDL_FPoint> Polygon;  // scratch space, kept to spare allocations
  std::vector<SDL_Rect> Rows;
  std::vector<SDL_Vertex> Vertices;
  std::vector<int> Indices;

  SDL_Texture* TextureOf(const zglTTexture* t) {
    auto it = Textures.find(t);
    if (it != Textures.end()) return it->second;
    SDL_Texture* tex = nullptr;
    if (t && t->Surface) {
      tex = SDL_CreateTextureFromSurface(R, t->Surface);
      if (tex) SDL_SetTextureBlendMode(tex, SDL_BLENDMODE_BLEND);
    }
    Textures[t] = tex;
    return tex;
  }

  SDL_Texture* DiscTexture() {
    if (!Disc && (DiscPicture.Surface = eng_MakeDiscSurface(kDiscSize))) {
      Disc = SDL_CreateTextureFromSurface(R, DiscPicture.Surface);
      if (Disc) SDL_SetTextureBlendMode(Disc, SDL_BLENDMODE_BLEND);
      if (Disc) SDL_SetTextureScaleMode(Disc, SDL_ScaleModeLinear);
    }
    return Disc;
  }

  SDL_Texture* TextTexture(const zglTFont* font, const std::string& text) {
    auto key = std::make_pair(font, text);
    auto it = Texts.find(key);
    if (it != Texts.end()) return it->second;
    if (Texts.size() >= kMaxCachedTexts) ClearTexts();
    SDL_Texture* tex = nullptr;
    if (SDL_Surface* s = TTF_RenderUTF8_Blended(font->Font, text.c_str(), SDL_Color{255, 255, 255, 255})) {
      tex = SDL_CreateTextureFromSurface(R, s);
      SDL_FreeSurface(s);
      if (tex) SDL_SetTextureBlendMode(tex, SDL_BLENDMODE_BLEND);
    }
    Texts[key] = tex;
    return tex;
  }

  void ClearTexts() {
    for (auto& [k, t] : Texts)
      if (t) SDL_DestroyTexture(t);
    Texts.clear();
  }

  void ClearFaded() {
    for (auto& [k, f] : FadedCopies)
      if (f.Texture) SDL_DestroyTexture(f.Texture);
    FadedCopies.clear();
    FadedPixels = 0;
  }

  // The software renderer blends a picture several times slower when it also
  // has to apply an alpha to it. A part of a picture drawn again and again at
  // the same alpha (a dimmed panel) gets a copy with that alpha built in.
  // Null: draw the picture itself with the alpha.
  SDL_Texture* FadedTexture(const zglTTexture* t, const SDL_Rect& src, uint8_t alpha) {
    if (!Software || alpha == 255 || !t || !t->Surface) return nullptr;
    if (src.x < 0 || src.y < 0 || src.w <= 0 || src.h <= 0 || src.x + src.w > t->Surface->w ||
        src.y + src.h > t->Surface->h)
      return nullptr;
    const FadedKey key{t, src.x, src.y, src.w, src.h, alpha};
    const size_t pixels = static_cast<size_t>(src.w) * static_cast<size_t>(src.h);
    if (!FadedCopies.count(key) && FadedCopies.size() >= kMaxFaded) ClearFaded();
    Faded& f = FadedCopies[key];
    if (f.Texture || ++f.Uses != kFadeAfterUses) return f.Texture;
    if (FadedPixels + pixels > kMaxFadedPixels) return nullptr;
    f.Texture = BlendedTexture(R, MakeFaded(t->Surface, src, alpha));
    if (f.Texture) FadedPixels += pixels;
    return f.Texture;
  }

  void ClearScaled() {
    for (auto& [k, c] : ScaledCopies)
      if (c.Texture) SDL_DestroyTexture(c.Texture);
    ScaledCopies.clear();
    ScaledPixels = 0;
  }

  // The part `src` of a picture (with `faded` built into its alpha) scaled
  // to `w` by `h` as the renderer scales it when it copies.
  static SDL_Surface* MakeScaled(const zglTTexture* t, const SDL_Rect& src, uint8_t faded, int w, int h,
                                 SDL_ScaleMode mode) {
    SDL_Surface* part = faded != 255 ? MakeFaded(t->Surface, src, faded)
        : SDL_CreateRGBSurfaceWithFormatFrom(static_cast<Uint8*>(t->Surface->pixels) + src.y * t->Surface->pitch + src.x * 4,
                                             src.w, src.h, 32, t->Surface->pitch, SDL_PIXELFORMAT_RGBA32);
    SDL_Surface* to = SDL_CreateRGBSurfaceWithFormat(0, w, h, 32, SDL_PIXELFORMAT_RGBA32);
    bool ok = part && to;
    if (ok) {
      SDL_SetSurfaceBlendMode(part, SDL_BLENDMODE_NONE);
      ok = (mode == SDL_ScaleModeNearest ? SDL_BlitScaled(part, nullptr, to, nullptr)
                                         : SDL_SoftStretchLinear(part, nullptr, to, nullptr)) == 0;
    }
    if (part) SDL_FreeSurface(part);
    if (!ok && to) SDL_FreeSurface(to), to = nullptr;
    return to;
  }

  // The software renderer scales a picture anew each time it copies it
  // scaled. A part of a picture copied again and again at the same size (a
  // panel stretched from a small piece of the atlas, the title) gets a copy
  // of that size, which is then copied as it is; an opaque one without
  // blending. Null: copy it scaled. (SDL blends a copy at full alpha through
  // other code than a scaled one, which rounds a half-covered pixel's
  // colour the other way at times: those differ by one step at most.)
  SDL_Texture* ScaledTexture(const zglTTexture* t, SDL_Texture* from, const SDL_Rect& src, uint8_t faded,
                             const SDL_FRect& dst, uint8_t alpha) {
    if (!Software || !t || !t->Surface || !(dst.w >= 1 && dst.h >= 1 && dst.w * dst.h <= kMaxScaledPixels / 8))
      return nullptr;
    float sx = 1, sy = 1;
    SDL_RenderGetScale(R, &sx, &sy);
    const int w = static_cast<int>(dst.w), h = static_cast<int>(dst.h);
    if (sx != 1 || sy != 1 || (w == src.w && h == src.h)) return nullptr;
    if (src.x < 0 || src.y < 0 || src.w <= 0 || src.h <= 0 || src.x + src.w > t->Surface->w ||
        src.y + src.h > t->Surface->h)
      return nullptr;
    const ScaledKey key{t, src.x, src.y, src.w, src.h, faded, w, h};
    if (!ScaledCopies.count(key) && ScaledCopies.size() >= kMaxScaled) {
      // Sizes seen once or twice (a glow growing, a swarm's particles) go first.
      std::erase_if(ScaledCopies, [](const auto& entry) { return !entry.second.Texture; });
      if (ScaledCopies.size() >= kMaxScaled) ClearScaled();
    }
    Scaled& c = ScaledCopies[key];
    if (!c.Texture && ++c.Uses == kFadeAfterUses) MakeScaledTexture(c, t, from, src, faded, w, h);
    if (!c.Texture) return nullptr;
    SDL_SetTextureBlendMode(c.Texture, c.Opaque && alpha == 255 ? SDL_BLENDMODE_NONE : SDL_BLENDMODE_BLEND);
    return c.Texture;
  }

  void MakeScaledTexture(Scaled& c, const zglTTexture* t, SDL_Texture* from, const SDL_Rect& src,
                         uint8_t faded, int w, int h) {
    const size_t pixels = static_cast<size_t>(w) * static_cast<size_t>(h);
    if (ScaledPixels + pixels > kMaxScaledPixels) return;
    SDL_ScaleMode mode = SDL_ScaleModeNearest;
    SDL_GetTextureScaleMode(from, &mode);
    SDL_Surface* s = MakeScaled(t, src, faded, w, h, mode);
    if (!s) return;
    c.Opaque = true;
    for (int y = 0; y < s->h && c.Opaque; ++y) {
      const Uint8* p = static_cast<const Uint8*>(s->pixels) + y * s->pitch + 3;
      for (int x = 0; x < s->w && c.Opaque; ++x, p += 4) c.Opaque = *p == 255;
    }
    c.Texture = BlendedTexture(R, s);
    if (c.Texture) ScaledPixels += pixels;
  }

  void ClearTiles() {
    for (auto& [k, t] : Tiles)
      if (t) SDL_DestroyTexture(t);
    Tiles.clear();
  }

  // An opaque square of one colour, drawn see-through with an alpha of its own.
  SDL_Texture* Tile(SDL_Color c) {
    const uint32_t key = static_cast<uint32_t>(c.r) << 16 | static_cast<uint32_t>(c.g) << 8 | c.b;
    auto it = Tiles.find(key);
    if (it != Tiles.end()) return it->second;
    if (Tiles.size() >= kMaxTiles) ClearTiles();
    SDL_Texture* tile = nullptr;
    if (SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, kTile, kTile, 32, SDL_PIXELFORMAT_RGB888)) {
      SDL_FillRect(s, nullptr, SDL_MapRGB(s->format, c.r, c.g, c.b));
      tile = BlendedTexture(R, s);
    }
    return Tiles[key] = tile;
  }

  // The software renderer blends a see-through rectangle pixel by pixel; an
  // opaque picture copied with an alpha goes through its faster path, twice
  // as fast. Large see-through fills (the fade between scenes, the dimmed
  // screen under a pop-up) are copied from tiles of their colour when the
  // rectangle is whole pixels and nothing is scaled. False: fill it.
  bool FillSeeThrough(const SDL_FRect& r, SDL_Color c) {
    if (!Software || !(r.w > 0 && r.h > 0 && r.w * r.h >= kTile * kTile)) return false;
    float sx = 1, sy = 1;
    SDL_RenderGetScale(R, &sx, &sy);
    SDL_Rect view;
    SDL_RenderGetViewport(R, &view);
    if (sx != 1 || sy != 1 || view.x != 0 || view.y != 0) return false;
    if (r.x != std::floor(r.x) || r.y != std::floor(r.y) || r.w != std::floor(r.w) ||
        r.h != std::floor(r.h))
      return false;
    // Only the part on the picture, in whole pixels.
    const float w = static_cast<float>(view.w), h = static_cast<float>(view.h);
    const float x0 = std::clamp(r.x, 0.0f, w), x1 = std::clamp(r.x + r.w, 0.0f, w);
    const float y0 = std::clamp(r.y, 0.0f, h), y1 = std::clamp(r.y + r.h, 0.0f, h);
    SDL_Texture* tile = Tile(c);
    if (!tile) return false;
    SDL_SetTextureAlphaMod(tile, c.a);
    for (int y = static_cast<int>(y0); y < static_cast<int>(y1); y += kTile)
      for (int x = static_cast<int>(x0); x < static_cast<int>(x1); x += kTile) {
        SDL_Rect src{0, 0, std::min(kTile, static_cast<int>(x1) - x),
                     std::min(kTile, static_cast<int>(y1) - y)};
        SDL_Rect dst{x, y, src.w, src.h};
        SDL_RenderCopy(R, tile, &src, &dst);
      }
    return true;
  }

  void ClearRings() {
    for (auto& [k, ring] : Rings)
      if (ring.Texture) SDL_DestroyTexture(ring.Texture);
    Rings.clear();
    RingPixels = 0;
  }

  // An outline circle copied from a ring texture made once per radius (to
  // 1/8 pixel) and place of the centre within its pixel (to 1/4 pixel), so
  // it lands where the geometry would. False when the ring is too large.
  bool DrawRing(float x, float y, float radius, SDL_Color c) {
    if (!(radius <= kMaxCachedRing)) return false;
    const float left = std::floor(x), top = std::floor(y);
    const int qx = static_cast<int>(std::lround((x - left) * 4));
    const int qy = static_cast<int>(std::lround((y - top) * 4));
    const int qr = static_cast<int>(std::lround(radius * 8));
    const uint32_t key = static_cast<uint32_t>(qr) << 8 | static_cast<uint32_t>(qx) << 4 |
                         static_cast<uint32_t>(qy);
    const int half = static_cast<int>(std::ceil(qr / 8.0f + kRingHalfWidth)) + 1;
    auto it = Rings.find(key);
    if (it == Rings.end()) {
      Ring ring;
      ring.Size = 2 * half + 2;
      if (RingPixels + static_cast<size_t>(ring.Size * ring.Size) > kMaxRingPixels) ClearRings();
      ring.Texture = BlendedTexture(R, eng_MakeRingSurface(ring.Size, half + qx / 4.0f,
                                                         half + qy / 4.0f, qr / 8.0f));
      RingPixels += static_cast<size_t>(ring.Size * ring.Size);
      it = Rings.emplace(key, ring).first;
    }
    const Ring& ring = it->second;
    if (!ring.Texture) return false;
    SDL_SetTextureColorMod(ring.Texture, c.r, c.g, c.b);
    SDL_SetTextureAlphaMod(ring.Texture, c.a);
    const float size = static_cast<float>(ring.Size);
    SDL_FRect dst{left - static_cast<float>(half), top - static_cast<float>(half), size, size};
    SDL_RenderCopyF(R, ring.Texture, nullptr, &dst);
    return true;
  }

  // The part of the drawing surface that is seen, in the game's pixels.
  SDL_FRect View() const {
    SDL_Rect v{0, 0, 0, 0};
    SDL_RenderGetViewport(R, &v);
    return SDL_FRect{0, 0, static_cast<float>(v.w), static_cast<float>(v.h)};
  }

  // Copies `src` of `tex` (all of it when null) into `dst` turned by `angle`
  // degrees about its centre. The software renderer scales and turns a
  // scratch copy of the whole destination before it cuts away what lies off
  // the picture: an object far larger than the screen cost seconds and
  // gigabytes a frame. So a copy that reaches past the picture's edge is cut
  // first to the whole source pixels whose part of the destination can be
  // seen, turned about the same centre: the picture is the same, and a
  // frame costs about what it shows.
  void Copy(SDL_Texture* tex, const SDL_Rect* src, const SDL_FRect& dst, float angle) {
    const float hw = dst.w / 2, hh = dst.h / 2, cx = dst.x + hw, cy = dst.y + hh;
    const float turn = angle * std::numbers::pi_v<float> / 180, c = std::cos(turn), s = std::sin(turn);
    const float ex = std::abs(hw * c) + std::abs(hh * s), ey = std::abs(hw * s) + std::abs(hh * c);
    const SDL_FRect view = View();
    SDL_Rect from{0, 0, 0, 0};
    if (src) from = *src;
    else if (SDL_QueryTexture(tex, nullptr, nullptr, &from.w, &from.h) != 0) return;
    if (!(cx - ex < -1 || cy - ey < -1 || cx + ex > view.w + 1 || cy + ey > view.h + 1) ||
        from.w <= 0 || from.h <= 0 || !(dst.w > 0 && dst.h > 0)) {
      Turned(tex, src, dst, angle, nullptr);
      return;
    }
    if (!(cx + ex > 0 && cy + ey > 0 && cx - ex < view.w && cy - ey < view.h)) return;  // unseen, or not a number
    // The picture's corners in the destination's own unturned frame, from its top left.
    float x0 = INFINITY, y0 = INFINITY, x1 = -INFINITY, y1 = -INFINITY;
    for (const SDL_FPoint q : {SDL_FPoint{0, 0}, {view.w, 0}, {0, view.h}, {view.w, view.h}}) {
      const float dx = q.x - cx, dy = q.y - cy;
      const float lx = dx * c + dy * s + hw, ly = -dx * s + dy * c + hh;
      x0 = std::min(x0, lx), x1 = std::max(x1, lx), y0 = std::min(y0, ly), y1 = std::max(y1, ly);
    }
    // Out to whole source pixels, within the source.
    const float kx = dst.w / static_cast<float>(from.w), ky = dst.h / static_cast<float>(from.h);
    const int px0 = std::clamp(static_cast<int>(std::floor(x0 / kx)), 0, from.w);
    const int px1 = std::clamp(static_cast<int>(std::ceil(x1 / kx)), 0, from.w);
    const int py0 = std::clamp(static_cast<int>(std::floor(y0 / ky)), 0, from.h);
    const int py1 = std::clamp(static_cast<int>(std::ceil(y1 / ky)), 0, from.h);
    if (px0 >= px1 || py0 >= py1) return;
    const SDL_Rect part{from.x + px0, from.y + py0, px1 - px0, py1 - py0};
    const float left = static_cast<float>(px0) * kx, top = static_cast<float>(py0) * ky;
    const SDL_FRect to{dst.x + left, dst.y + top, static_cast<float>(part.w) * kx, static_cast<float>(part.h) * ky};
    const SDL_FPoint centre{hw - left, hh - top};  // the whole destination's, from the part's top left
    Turned(tex, &part, to, angle, &centre);
  }

  void Turned(SDL_Texture* tex, const SDL_Rect* src, const SDL_FRect& dst, float angle, const SDL_FPoint* centre) {
    if (angle == 0)
      SDL_RenderCopyF(R, tex, src, &dst);
    else
      SDL_RenderCopyExF(R, tex, src, &dst, angle, centre, SDL_FLIP_NONE);
  }

  // A filled polygon, one rectangle per row of pixels: the software
  // renderer draws each triangle through a scratch picture of its own.
  void FillPolygon(SDL_Color c) {
    for (SDL_FPoint& p : Polygon) p.x += GeometryShift, p.y += GeometryShift;
    eng_PolygonRows(Polygon, &Rows, View());
    if (Rows.empty()) return;
    SDL_SetRenderDrawColor(R, c.r, c.g, c.b, c.a);
    SDL_RenderFillRects(R, Rows.data(), static_cast<int>(Rows.size()));
  }

  // Lines of the given core width with a one-pixel feathered edge on each
  // side, in pieces short enough that no triangle covers much more than the
  // line itself.
  void SoftLine(float x1, float y1, float x2, float y2, SDL_Color c, float width) {
    float dx = x2 - x1, dy = y2 - y1;
    float len = std::sqrt(dx * dx + dy * dy);
    if (!(len >= 1e-4f)) return;
    float nx = -dy / len, ny = dx / len;
    float h = width / 2, f = h + 1.0f;
    SDL_Color clear = c;
    clear.a = 0;
    const int pieces = static_cast<int>(std::min(4096.0f, std::ceil(len / kMaxLinePiece)));
    Vertices.clear();
    Indices.clear();
    for (int k = 0; k <= pieces; ++k) {
      float t = static_cast<float>(k) / static_cast<float>(pieces);
      float x = x1 + dx * t, y = y1 + dy * t;
      Vertices.insert(Vertices.end(),
                      {Vertex(x + nx * f, y + ny * f, clear), Vertex(x + nx * h, y + ny * h, c),
                       Vertex(x - nx * h, y - ny * h, c), Vertex(x - nx * f, y - ny * f, clear)});
      if (k == 0) continue;
      const int a = 4 * (k - 1), b = 4 * k;
      for (int side = 0; side < 3; ++side)
        Indices.insert(Indices.end(), {a + side, a + side + 1, b + side, a + side + 1,
                                       b + side + 1, b + side});
    }
    SDL_RenderGeometry(R, nullptr, Vertices.data(), static_cast<int>(Vertices.size()),
                       Indices.data(), static_cast<int>(Indices.size()));
  }

  // A picture's size in the pixels of where it is drawn now: a window scaled
  // up (full screen) gets a picture as sharp as drawing straight into it.
  SDL_Point PictureSize(const zglPicture& p) const {
    float sx = 1, sy = 1;
    SDL_RenderGetScale(R, &sx, &sy);
    return SDL_Point{static_cast<int>(std::ceil(static_cast<float>(p.Width) * sx)),
                     static_cast<int>(std::ceil(static_cast<float>(p.Height) * sy))};
  }

  // The format of the frame's own pixels: a copy in it needs no conversion.
  Uint32 FrameFormat() const {
    if (!Software) return SDL_PIXELFORMAT_ARGB8888;
    if (SDL_Window* w = SDL_RenderGetWindow(R)) {
      const Uint32 f = SDL_GetWindowPixelFormat(w);
      if (f != SDL_PIXELFORMAT_UNKNOWN) return f;
    }
    return SDL_PIXELFORMAT_RGB888;
  }

  void ForgetPicture(uint64_t id) {
    auto it = Pictures.find(id);
    if (it == Pictures.end()) return;
    if (it->second.Texture) SDL_DestroyTexture(it->second.Texture);
    Pictures.erase(it);
  }

  // Makes `texture` (null: the frame) the place drawing goes, at that scale.
  void DrawInto(const Target& t) {
    SDL_SetRenderTarget(R, t.Texture);
    if (t.Texture) SDL_RenderSetScale(R, t.ScaleX, t.ScaleY);
  }
};

zglSdlBackend::zglSdlBackend(SDL_Renderer* renderer) : P(new Impl) {
  eng_AddPictureKeeper(this);
  P->R = renderer;
  SDL_RendererInfo info{};
  if (SDL_GetRendererInfo(renderer, &info) == 0 && (info.flags & SDL_RENDERER_SOFTWARE))
    P->Software = true, P->GeometryShift = -0.5f;
  SDL_SetRenderDrawBlendMode(renderer, SDL_BLENDMODE_BLEND);
}

zglSdlBackend::~zglSdlBackend() {
  eng_RemovePictureKeeper(this);
  if (!P->Targets.empty()) SDL_SetRenderTarget(P->R, nullptr);
  for (auto& [id, held] : P->Pictures)
    if (held.Texture) SDL_DestroyTexture(held.Texture);
  for (auto& [k, t] : P->Textures)
    if (t) SDL_DestroyTexture(t);
  P->ClearTexts();
  P->ClearRings();
  P->ClearFaded();
  P->ClearScaled();
  P->ClearTiles();
  if (P->Disc) SDL_DestroyTexture(P->Disc);
  delete P;
}

void zglSdlBackend::Sprite(const zglTTexture* texture, float x, float y, float w, float h,
                           float angle, const zglTRect* cut, uint8_t alpha) {
  SDL_Texture* tex = P->TextureOf(texture);
  if (!tex || alpha == 0) return;
  SDL_FRect dst{x, y, w, h};
  SDL_Rect src{0, 0, texture->Surface->w, texture->Surface->h};
  if (cut)
    src = SDL_Rect{static_cast<int>(cut->X), static_cast<int>(cut->Y), static_cast<int>(cut->W),
                   static_cast<int>(cut->H)};
  const SDL_Rect* from = &src;
  uint8_t builtIn = 255;
  if (SDL_Texture* faded = P->FadedTexture(texture, src, alpha)) {
    tex = faded, builtIn = alpha, alpha = 255, from = nullptr;
  }
  if (angle == 0)
    if (SDL_Texture* scaled = P->ScaledTexture(texture, tex, src, builtIn, dst, alpha)) {
      tex = scaled, from = nullptr;
      dst.w = std::floor(dst.w), dst.h = std::floor(dst.h);
    }
  SDL_SetTextureAlphaMod(tex, alpha);
  P->Copy(tex, from, dst, angle);
}

void zglSdlBackend::Rect(float x, float y, float w, float h, uint32_t color, uint8_t alpha,
                         bool filled) {
  SDL_Color c = ToColor(color, alpha);
  SDL_SetRenderDrawColor(P->R, c.r, c.g, c.b, c.a);
  SDL_FRect r{x, y, w, h};
  if (filled) {
    // Only the part on the picture (a huge rectangle would overflow its pixels).
    const SDL_FRect view = P->View();
    const float x0 = std::max(x, view.x - 1), y0 = std::max(y, view.y - 1);
    const float x1 = std::min(x + w, view.x + view.w + 1), y1 = std::min(y + h, view.y + view.h + 1);
    if (!(x0 < x1 && y0 < y1)) return;
    if (x0 != x || y0 != y || x1 != x + w || y1 != y + h) r = SDL_FRect{x0, y0, x1 - x0, y1 - y0};
  }
  if (!filled) {
    SDL_RenderDrawRectF(P->R, &r);
  } else if (alpha == 255) {
    // Opaque: a plain fill gives the same pixels as blending, much faster.
    SDL_SetRenderDrawBlendMode(P->R, SDL_BLENDMODE_NONE);
    SDL_RenderFillRectF(P->R, &r);
    SDL_SetRenderDrawBlendMode(P->R, SDL_BLENDMODE_BLEND);
  } else if (!P->FillSeeThrough(r, c)) {
    SDL_RenderFillRectF(P->R, &r);
  }
}

void zglSdlBackend::Circle(float x, float y, float radius, uint32_t color, uint8_t alpha,
                           int quality, uint32_t flags) {
  // Nothing that far off is seen; and it would overflow the renderer's pixels.
  if (alpha == 0 || !(radius > 0) || !(std::abs(x) < kFarAway && std::abs(y) < kFarAway) ||
      !(radius < kFarAway))
    return;
  SDL_Color c = ToColor(color, alpha);
  if ((flags & PR2D_FILL) && (flags & PR2D_SMOOTH)) {
    if (SDL_Texture* disc = P->DiscTexture()) {
      SDL_FRect dst{x - radius, y - radius, radius * 2, radius * 2};
      const SDL_Rect whole{0, 0, kDiscSize, kDiscSize};
      if (SDL_Texture* scaled = P->ScaledTexture(&P->DiscPicture, disc, whole, 255, dst, alpha))
        disc = scaled, dst.w = std::floor(dst.w), dst.h = std::floor(dst.h);
      SDL_SetTextureColorMod(disc, c.r, c.g, c.b);
      SDL_SetTextureAlphaMod(disc, alpha);
      P->Copy(disc, nullptr, dst, 0);
    }
    return;
  }
  const float shift = P->GeometryShift;
  if (!(flags & PR2D_FILL) && P->DrawRing(x + shift, y + shift, radius, c)) return;
  const int n = std::clamp(quality, 3, 128);
  P->Polygon.resize(n);
  for (int i = 0; i < n; ++i) {
    float a = 2.0f * std::numbers::pi_v<float> * i / n;
    P->Polygon[i] = SDL_FPoint{x + radius * std::cos(a), y + radius * std::sin(a)};
  }
  if (flags & PR2D_FILL) {
    P->FillPolygon(c);
    return;
  }
  for (int i = 0; i < n; ++i) {
    const SDL_FPoint& a = P->Polygon[i];
    const SDL_FPoint& b = P->Polygon[(i + 1) % n];
    P->SoftLine(a.x, a.y, b.x, b.y, c, 1.0f);
  }
}

void zglSdlBackend::Line(float x1, float y1, float x2, float y2, uint32_t color, uint8_t alpha,
                         bool smooth) {
  if (alpha == 0) return;
  SDL_Color c = ToColor(color, alpha);
  if (smooth) {
    P->SoftLine(x1, y1, x2, y2, c, 1.5f);
  } else {
    SDL_SetRenderDrawColor(P->R, c.r, c.g, c.b, c.a);
    SDL_RenderDrawLineF(P->R, x1, y1, x2, y2);
  }
}
void zglSdlBackend::Text(const zglTFont* font, float x, float y, float scale,
                         const std::string& text, uint8_t alpha, uint32_t color, uint32_t flags) {
  if (!font || !font->Font || alpha == 0) return;
  SDL_Texture* tex = P->TextTexture(font, text);
  if (!tex) return;
  int w = 0, h = 0;
  SDL_QueryTexture(tex, nullptr, nullptr, &w, &h);
  float dw = w * scale, dh = h * scale;
  float left = (flags & TEXT_HALIGN_CENTER) ? x - dw / 2 : x;
  float top = (flags & TEXT_VALIGN_CENTER) ? y - dh / 2 : y;
  SDL_Color c = ToColor(color, alpha);
  SDL_SetTextureColorMod(tex, c.r, c.g, c.b);
  SDL_SetTextureAlphaMod(tex, alpha);
  SDL_FRect dst{std::round(left), std::round(top), dw, dh};
  SDL_RenderCopyF(P->R, tex, nullptr, &dst);
}

bool zglSdlBackend::HoldsPicture(const zglPicture& picture, uint64_t version) {
  auto it = P->Pictures.find(picture.Id);
  if (it == P->Pictures.end() || it->second.Version != version || !it->second.Texture) return false;
  const SDL_Point size = P->PictureSize(picture);
  return it->second.W == size.x && it->second.H == size.y;
}

bool zglSdlBackend::BeginPicture(const zglPicture& picture, uint64_t version) {
  const SDL_Point size = P->PictureSize(picture);
  Impl::Held& held = P->Pictures[picture.Id];
  if (!held.Texture || held.W != size.x || held.H != size.y) {
    if (held.Texture) SDL_DestroyTexture(held.Texture);
    held = Impl::Held{};
    held.Texture = SDL_CreateTexture(P->R, P->FrameFormat(), SDL_TEXTUREACCESS_TARGET, size.x, size.y);
    if (!held.Texture) {
      P->Pictures.erase(picture.Id);
      return false;
    }
    SDL_SetTextureBlendMode(held.Texture, SDL_BLENDMODE_NONE);
    held.W = size.x, held.H = size.y;
  }
  float sx = 1, sy = 1;
  SDL_RenderGetScale(P->R, &sx, &sy);
  P->Targets.push_back(Impl::Target{SDL_GetRenderTarget(P->R), sx, sy});
  P->DrawInto(Impl::Target{held.Texture, sx, sy});
  held.Version = version;
  // As a frame starts: black, opaque.
  SDL_SetRenderDrawColor(P->R, 0, 0, 0, 255);
  SDL_RenderClear(P->R);
  return true;
}

void zglSdlBackend::EndPicture() {
  if (P->Targets.empty()) return;
  P->DrawInto(P->Targets.back());
  P->Targets.pop_back();
}

void zglSdlBackend::Picture(const zglPicture& picture, int x, int y) {
  auto it = P->Pictures.find(picture.Id);
  if (it == P->Pictures.end() || !it->second.Texture) return;
  const SDL_Rect dst{x, y, picture.Width, picture.Height};
  SDL_RenderCopy(P->R, it->second.Texture, nullptr, &dst);
}

void zglSdlBackend::ForgetPicture(uint64_t id) { P->ForgetPicture(id); }
