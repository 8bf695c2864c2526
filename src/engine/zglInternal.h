// Shared between the engine's own source files; the game never includes it.
#pragma once

#include <SDL.h>
#include <SDL_ttf.h>

#include <functional>
#include <string>
#include <vector>

#include "engine/engine.h"

struct zglTTexture {
  std::string Path;
  SDL_Surface* Surface = nullptr;  // RGBA32; null when the file could not be loaded
  bool HasAlpha = false;           // the file itself had an alpha channel
  ~zglTTexture();
};

struct zglTFont {
  std::string Path;
  TTF_Font* Font = nullptr;  // null when the font could not be loaded
  ~zglTFont();
};

// Draws into an SDL renderer: a window's, or a software one on a surface.
class zglSdlBackend : public zglBackend {
 public:
  explicit zglSdlBackend(SDL_Renderer* renderer);
  ~zglSdlBackend() override;
  zglSdlBackend(const zglSdlBackend&) = delete;
  zglSdlBackend& operator=(const zglSdlBackend&) = delete;

  void Sprite(const zglTTexture* texture, float x, float y, float w, float h, float angle,
              const zglTRect* cut, uint8_t alpha) override;
  void Rect(float x, float y, float w, float h, uint32_t color, uint8_t alpha,
            bool filled) override;
  void Circle(float x, float y, float radius, uint32_t color, uint8_t alpha, int quality,
              uint32_t flags) override;
  void Line(float x1, float y1, float x2, float y2, uint32_t color, uint8_t alpha,
            bool smooth) override;
  void Text(const zglTFont* font, float x, float y, float scale, const std::string& text,
            uint8_t alpha, uint32_t color, uint32_t flags) override;
  bool HoldsPicture(const zglPicture& picture, uint64_t version) override;
  bool BeginPicture(const zglPicture& picture, uint64_t version) override;
  void EndPicture() override;
  void Picture(const zglPicture& picture, int x, int y) override;
  void ForgetPicture(uint64_t id) override;

 private:
  struct Impl;
  Impl* P;
};

// Backends that keep pictures register, to be told when a picture goes.
void eng_AddPictureKeeper(zglBackend* backend);
void eng_RemovePictureKeeper(zglBackend* backend);

// --- shape pixels (zglShapes.cpp) ---
// A ring is one pixel solid across, with a one-pixel fade on either side.
constexpr float kRingHalfWidth = 1.5f;
// A white square of `size` pixels holding a disc that fills it, its edge
// fading over about two pixels.
SDL_Surface* eng_MakeDiscSurface(int size);
// A white square of `size` pixels holding a ring of `radius` around (cx, cy),
// in pixels from its top left corner.
SDL_Surface* eng_MakeRingSurface(int size, float cx, float cy, float radius);
// The pixels whose centres lie inside a convex polygon, as one rectangle per
// row, of those within a pixel of `view`.
void eng_PolygonRows(const std::vector<SDL_FPoint>& polygon, std::vector<SDL_Rect>* rows,
                     const SDL_FRect& view);

// The offscreen picture a headless run with render drew into, if any.
zglFrameTarget* eng_RenderedTarget();

// Runs the program's draw callback, if there is one.
void eng_DrawCallback();

// Input: applies one SDL event of a window to the input state and reports
// each change the player made (for recording).
using ReportInput = std::function<void(const zglInputEvent&)>;
void eng_HandleInputEvent(const SDL_Event& event, const ReportInput& report);
void eng_ResetInput();

// Loads SDL_image and SDL_ttf once; safe to call repeatedly.
void eng_InitLibraries();
void eng_FreeResources();
// Closes the audio device and forgets every sound.
void eng_FreeSounds();
