// Drawing with an SDL renderer. Textures and rendered captions are made on
// first use and cached for the renderer's lifetime.
#include <algorithm>
#include <cmath>
#include <numbers>
#include <map>
#include <unordered_map>
#include <utility>
#include <vector>

#include "engine/zglInternal.h"

namespace {

constexpr int kDiscSize = 256;         // size of the cached anti-aliased disc
constexpr size_t kMaxCachedTexts = 512;

SDL_Color ToColor(uint32_t rgb, uint8_t alpha) {
  return SDL_Color{static_cast<Uint8>((rgb >> 16) & 0xFF), static_cast<Uint8>((rgb >> 8) & 0xFF),
                   static_cast<Uint8>(rgb & 0xFF), alpha};
}

SDL_Vertex Vertex(float x, float y, SDL_Color c, float u = 0, float v = 0) {
  return SDL_Vertex{SDL_FPoint{x, y}, c, SDL_FPoint{u, v}};
}

// A white disc whose edge fades out over about one pixel at any scale we use.
SDL_Surface* MakeDiscSurface() {
  SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, kDiscSize, kDiscSize, 32,
                                                  SDL_PIXELFORMAT_RGBA32);
  if (!s) return nullptr;
  const float r = kDiscSize / 2.0f;
  auto* px = static_cast<Uint8*>(s->pixels);
  for (int y = 0; y < kDiscSize; ++y) {
    for (int x = 0; x < kDiscSize; ++x) {
      float dx = x + 0.5f - r, dy = y + 0.5f - r;
      float d = std::sqrt(dx * dx + dy * dy);
      float a = std::clamp((r - d) / 2.0f, 0.0f, 1.0f);
      Uint8* p = px + y * s->pitch + x * 4;
      p[0] = p[1] = p[2] = 255;
      p[3] = static_cast<Uint8>(a * 255.0f + 0.5f);
    }
  }
  return s;
}

}  // namespace

struct zglSdlBackend::Impl {
  SDL_Renderer* R = nullptr;
  std::unordered_map<const zglTTexture*, SDL_Texture*> Textures;
  std::map<std::pair<const zglTFont*, std::string>, SDL_Texture*> Texts;
  SDL_Texture* Disc = nullptr;

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
    if (!Disc) {
      SDL_Surface* s = MakeDiscSurface();
      if (!s) return nullptr;
      Disc = SDL_CreateTextureFromSurface(R, s);
      SDL_FreeSurface(s);
      if (Disc) {
        SDL_SetTextureBlendMode(Disc, SDL_BLENDMODE_BLEND);
        SDL_SetTextureScaleMode(Disc, SDL_ScaleModeLinear);
      }
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

  // A line of the given core width with a one-pixel feathered edge on each side.
  void SoftLine(float x1, float y1, float x2, float y2, SDL_Color c, float width) {
    float dx = x2 - x1, dy = y2 - y1;
    float len = std::sqrt(dx * dx + dy * dy);
    if (len < 1e-4f) return;
    float nx = -dy / len, ny = dx / len;
    float h = width / 2, f = h + 1.0f;
    SDL_Color clear = c;
    clear.a = 0;
    SDL_Vertex v[8] = {
        Vertex(x1 + nx * f, y1 + ny * f, clear), Vertex(x1 + nx * h, y1 + ny * h, c),
        Vertex(x1 - nx * h, y1 - ny * h, c),     Vertex(x1 - nx * f, y1 - ny * f, clear),
        Vertex(x2 + nx * f, y2 + ny * f, clear), Vertex(x2 + nx * h, y2 + ny * h, c),
        Vertex(x2 - nx * h, y2 - ny * h, c),     Vertex(x2 - nx * f, y2 - ny * f, clear)};
    static const int idx[18] = {0, 1, 4, 1, 5, 4, 1, 2, 5, 2, 6, 5, 2, 3, 6, 3, 7, 6};
    SDL_RenderGeometry(R, nullptr, v, 8, idx, 18);
  }
};

zglSdlBackend::zglSdlBackend(SDL_Renderer* renderer) : P(new Impl) {
  P->R = renderer;
  SDL_SetRenderDrawBlendMode(renderer, SDL_BLENDMODE_BLEND);
}

zglSdlBackend::~zglSdlBackend() {
  for (auto& [k, t] : P->Textures)
    if (t) SDL_DestroyTexture(t);
  P->ClearTexts();
  if (P->Disc) SDL_DestroyTexture(P->Disc);
  delete P;
}

void zglSdlBackend::Sprite(const zglTTexture* texture, float x, float y, float w, float h,
                           float angle, const zglTRect* cut, uint8_t alpha) {
  SDL_Texture* tex = P->TextureOf(texture);
  if (!tex || alpha == 0) return;
  SDL_SetTextureAlphaMod(tex, alpha);
  SDL_FRect dst{x, y, w, h};
  if (cut) {
    SDL_Rect src{static_cast<int>(cut->X), static_cast<int>(cut->Y), static_cast<int>(cut->W),
                 static_cast<int>(cut->H)};
    SDL_RenderCopyExF(P->R, tex, &src, &dst, angle, nullptr, SDL_FLIP_NONE);
  } else {
    SDL_RenderCopyExF(P->R, tex, nullptr, &dst, angle, nullptr, SDL_FLIP_NONE);
  }
}

void zglSdlBackend::Rect(float x, float y, float w, float h, uint32_t color, uint8_t alpha,
                         bool filled) {
  SDL_Color c = ToColor(color, alpha);
  SDL_SetRenderDrawColor(P->R, c.r, c.g, c.b, c.a);
  SDL_FRect r{x, y, w, h};
  if (filled)
    SDL_RenderFillRectF(P->R, &r);
  else
    SDL_RenderDrawRectF(P->R, &r);
}

void zglSdlBackend::Circle(float x, float y, float radius, uint32_t color, uint8_t alpha,
                           int quality, uint32_t flags) {
  if (alpha == 0 || !(radius > 0)) return;
  SDL_Color c = ToColor(color, alpha);
  int n = std::clamp(quality, 3, 128);
  if ((flags & PR2D_FILL) && (flags & PR2D_SMOOTH)) {
    if (SDL_Texture* disc = P->DiscTexture()) {
      SDL_SetTextureColorMod(disc, c.r, c.g, c.b);
      SDL_SetTextureAlphaMod(disc, alpha);
      SDL_FRect dst{x - radius, y - radius, radius * 2, radius * 2};
      SDL_RenderCopyF(P->R, disc, nullptr, &dst);
    }
    return;
  }
  std::vector<SDL_FPoint> ring(n);
  for (int i = 0; i < n; ++i) {
    float a = 2.0f * std::numbers::pi_v<float> * i / n;
    ring[i] = SDL_FPoint{x + radius * std::cos(a), y + radius * std::sin(a)};
  }
  if (flags & PR2D_FILL) {
    std::vector<SDL_Vertex> v;
    std::vector<int> idx;
    v.push_back(Vertex(x, y, c));
    for (int i = 0; i < n; ++i) v.push_back(Vertex(ring[i].x, ring[i].y, c));
    for (int i = 0; i < n; ++i) idx.insert(idx.end(), {0, 1 + i, 1 + (i + 1) % n});
    SDL_RenderGeometry(P->R, nullptr, v.data(), static_cast<int>(v.size()), idx.data(),
                       static_cast<int>(idx.size()));
    return;
  }
  for (int i = 0; i < n; ++i) {
    const SDL_FPoint& a = ring[i];
    const SDL_FPoint& b = ring[(i + 1) % n];
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
