// Frames drawn outside a window's loop: offscreen in SDL's software renderer
// (headless --render, screenshots, frame benchmarks) or in a hidden window
// with SDL's GPU renderer (frame benchmarks); and pictures written as PNG.
#include <SDL_image.h>
#ifdef KELVOD_LIBPNG
#include <png.h>
#endif

#include <cstring>
#include <memory>
#include <vector>

#include "engine/uSafeFile.h"
#include "engine/zglInternal.h"

struct zglFrameTarget::Impl {
  SDL_Window* Window = nullptr;
  SDL_Surface* Surface = nullptr;  // offscreen: the picture itself
  SDL_Renderer* Renderer = nullptr;
  std::unique_ptr<zglSdlBackend> Backend;
  bool VideoStarted = false;

  ~Impl() {
    Backend.reset();  // its textures belong to the renderer
    if (Renderer) SDL_DestroyRenderer(Renderer);
    if (Surface) SDL_FreeSurface(Surface);
    if (Window) SDL_DestroyWindow(Window);
    if (VideoStarted) SDL_QuitSubSystem(SDL_INIT_VIDEO);
  }
};

namespace {

std::string Reason(const char* what) { return std::string(what) + ": " + SDL_GetError(); }


// Encodes RGB24 pixels as PNG. Speed counts more than size here: no row
// filters and light compression make a screenshot several times faster to
// write than SDL_image does, for about a fifth more bytes. Without libpng
// (the browser build) SDL_image encodes it.
bool EncodePng(SDL_Surface* rgb, std::vector<unsigned char>* out, std::string* error) {
#ifdef KELVOD_LIBPNG
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(rgb->w);
  image.height = static_cast<png_uint_32>(rgb->h);
  image.format = PNG_FORMAT_RGB;
  image.flags = PNG_IMAGE_FLAG_FAST;
  png_alloc_size_t size = PNG_IMAGE_PNG_SIZE_MAX(image);
  out->resize(size);
  if (!png_image_write_to_memory(&image, out->data(), &size, 0, rgb->pixels, rgb->pitch,
                                 nullptr)) {
    *error = std::string("cannot encode the picture as PNG: ") + image.message;
    png_image_free(&image);
    return false;
  }
  out->resize(size);
  return true;
#else
  // Room for the pixels with alpha, unpacked, and the file's own parts.
  out->resize(static_cast<size_t>(rgb->w + 1) * static_cast<size_t>(rgb->h) * 4 + 65536);
  SDL_RWops* rw = SDL_RWFromMem(out->data(), static_cast<int>(out->size()));
  bool ok = rw && IMG_SavePNG_RW(rgb, rw, 0) == 0;
  const Sint64 size = rw ? SDL_RWtell(rw) : -1;
  if (rw) SDL_RWclose(rw);
  // A picture that filled the room may have been cut short.
  if (!ok || size <= 0 || static_cast<size_t>(size) >= out->size()) {
    *error = std::string("cannot encode the picture as PNG: ") + IMG_GetError();
    return false;
  }
  out->resize(static_cast<size_t>(size));
  return true;
#endif
}

}  // namespace

zglFrameTarget::zglFrameTarget(std::unique_ptr<Impl> impl) : P(std::move(impl)) {
  SDL_SetRenderDrawBlendMode(P->Renderer, SDL_BLENDMODE_BLEND);
  P->Backend = std::make_unique<zglSdlBackend>(P->Renderer);
}

zglFrameTarget::~zglFrameTarget() = default;

std::unique_ptr<zglFrameTarget> zglFrameTarget::Offscreen(int width, int height,
                                                          std::string* error) {
  eng_InitLibraries();
  auto impl = std::make_unique<Impl>();
  // An RGB target: pictures come out opaque whatever the drawing's alpha.
  impl->Surface = SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_RGB888);
  if (!impl->Surface) {
    *error = Reason("cannot make an offscreen picture");
    return nullptr;
  }
  impl->Renderer = SDL_CreateSoftwareRenderer(impl->Surface);
  if (!impl->Renderer) {
    *error = Reason("cannot draw offscreen");
    return nullptr;
  }
  return std::unique_ptr<zglFrameTarget>(new zglFrameTarget(std::move(impl)));
}

std::unique_ptr<zglFrameTarget> zglFrameTarget::HiddenWindow(int width, int height,
                                                             std::string* error) {
  eng_InitLibraries();
  auto impl = std::make_unique<Impl>();
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    *error = Reason("cannot open a window");
    return nullptr;
  }
  impl->VideoStarted = true;
  SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "linear");
  impl->Window = SDL_CreateWindow("kelvod", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED,
                                  width, height, SDL_WINDOW_HIDDEN);
  if (!impl->Window) {
    *error = Reason("cannot open a window");
    return nullptr;
  }
  impl->Renderer = SDL_CreateRenderer(impl->Window, -1, SDL_RENDERER_ACCELERATED);
  if (!impl->Renderer) {
    *error = Reason("no GPU renderer for the window");
    return nullptr;
  }
  SDL_RenderSetLogicalSize(impl->Renderer, width, height);
  return std::unique_ptr<zglFrameTarget>(new zglFrameTarget(std::move(impl)));
}

void zglFrameTarget::DrawFrame() {
  zglBackend* previous = eng_Backend();
  eng_SetBackend(P->Backend.get());
  SDL_SetRenderDrawColor(P->Renderer, 0, 0, 0, 255);
  SDL_RenderClear(P->Renderer);
  eng_DrawCallback();
  if (P->Window) {
    // Reading a pixel back waits for the GPU, so a frame is timed whole.
    Uint32 pixel = 0;
    SDL_Rect one{0, 0, 1, 1};
    SDL_RenderReadPixels(P->Renderer, &one, SDL_PIXELFORMAT_ARGB8888, &pixel, 4);
  }
  SDL_RenderPresent(P->Renderer);
  eng_SetBackend(previous);
}

bool zglFrameTarget::SavePng(const std::string& path, std::string* error) const {
  if (!P->Surface) {
    *error = "only an offscreen picture can be written";
    return false;
  }
  SDL_Surface* rgb = SDL_ConvertSurfaceFormat(P->Surface, SDL_PIXELFORMAT_RGB24, 0);
  if (!rgb) {
    *error = Reason("cannot convert the picture");
    return false;
  }
  std::vector<unsigned char> png;
  bool ok = EncodePng(rgb, &png, error);
  SDL_FreeSurface(rgb);
  std::string why;
  if (!ok) return false;
  if (WriteFileChecked(path, std::string_view(reinterpret_cast<const char*>(png.data()), png.size()), &why))
    return true;
  *error = "cannot write \"" + path + "\": " + why;
  return false;
}

uint32_t zglFrameTarget::Pixel(int x, int y) const {
  SDL_Surface* s = P->Surface;
  if (!s || x < 0 || y < 0 || x >= s->w || y >= s->h) return 0;
  Uint32 value = *reinterpret_cast<const Uint32*>(static_cast<const Uint8*>(s->pixels) +
                                                  y * s->pitch + x * 4);
  Uint8 r = 0, g = 0, b = 0;
  SDL_GetRGB(value, s->format, &r, &g, &b);
  return static_cast<uint32_t>(r) << 16 | static_cast<uint32_t>(g) << 8 | b;
}

std::string zglFrameTarget::Description() const {
  SDL_RendererInfo info{};
  std::string name = SDL_GetRendererInfo(P->Renderer, &info) == 0 ? info.name : "unknown renderer";
  if (P->Window) name += std::string(", video driver ") + SDL_GetCurrentVideoDriver();
  return name;
}

bool eng_SaveScreenshot(const std::string& path, int width, int height, std::string* error) {
  zglFrameTarget* rendered = eng_RenderedTarget();
  if (rendered && rendered->P->Surface && rendered->P->Surface->w == width &&
      rendered->P->Surface->h == height) {
    rendered->DrawFrame();
    return rendered->SavePng(path, error);
  }
  std::unique_ptr<zglFrameTarget> target = zglFrameTarget::Offscreen(width, height, error);
  if (!target) return false;
  target->DrawFrame();
  return target->SavePng(path, error);
}
