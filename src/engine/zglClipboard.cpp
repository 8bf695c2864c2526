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
// The page's clipboard; the click that asked for it is recent enough to allow
// it in most browsers. Where the browser refuses (a page served over plain
// http has no clipboard at all), the page shows the text to copy by hand.
EM_JS(int, kelvod_copy_text, (const char* text), {
  var copied = UTF8ToString(text);
  var refused = function() { if (Module.onCopyFailed) Module.onCopyFailed(copied); };
  if (!navigator.clipboard || !navigator.clipboard.writeText) {
    refused();
    return 0;
  }
  navigator.clipboard.writeText(copied).catch(refused);
  return 1;
});
// The page's address without its query or fragment: where a shared link leads.
EM_JS(int, kelvod_page_address, (char* out, int size), {
  var address = location.origin + location.pathname;
  stringToUTF8(address, out, size);
  return lengthBytesUTF8(address);
});
#endif

bool eng_SetClipboardText(const std::string& text) {
  MemoryClipboard = text;
#ifdef __EMSCRIPTEN__
  return kelvod_copy_text(text.c_str()) != 0;
#else
  return !SDL_WasInit(SDL_INIT_VIDEO) || SDL_SetClipboardText(text.c_str()) == 0;
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

std::string eng_PageAddress() {
#ifdef __EMSCRIPTEN__
  char address[2048];
  const int length = kelvod_page_address(address, sizeof address);
  if (length > 0 && length < static_cast<int>(sizeof address)) return address;
#endif
  return "";
}
