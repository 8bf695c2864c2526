// The system clipboard, for share codes. Headless runs (and a machine without
// a clipboard) keep the text in memory, so a run can paste what it copied.
#include <SDL.h>

#include "engine/engine.h"

#ifdef __EMSCRIPTEN__
#include <emscripten.h>
#endif

namespace {
std::string MemoryClipboard;
}

#ifdef __EMSCRIPTEN__
// The page's clipboard; the click that asked for it is recent enough to allow it.
EM_JS(void, kelvod_copy_text, (const char* text), {
  if (navigator.clipboard) navigator.clipboard.writeText(UTF8ToString(text)).catch(() => {});
});
#endif

void eng_SetClipboardText(const std::string& text) {
  MemoryClipboard = text;
#ifdef __EMSCRIPTEN__
  kelvod_copy_text(text.c_str());
#else
  if (SDL_WasInit(SDL_INIT_VIDEO)) SDL_SetClipboardText(text.c_str());
#endif
}

std::string eng_ClipboardText() {
#ifndef __EMSCRIPTEN__
  if (SDL_WasInit(SDL_INIT_VIDEO) && SDL_HasClipboardText()) {
    char* text = SDL_GetClipboardText();
    std::string copy = text ? text : "";
    SDL_free(text);
    return copy;
  }
#endif
  return MemoryClipboard;
}
