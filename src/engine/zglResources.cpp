// Textures and fonts: loaded once, kept until eng_Reset, never null.
#include <SDL_image.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>
#include <vector>

#include "engine/zglInternal.h"

namespace {

std::vector<std::unique_ptr<zglTTexture>> Textures;
std::vector<std::unique_ptr<zglTFont>> Fonts;
bool LibrariesReady = false;

// A font description file names TrueType files and a pixel size:
//   file=DejaVuSans.ttf
//   file=/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf
//   size=15
// The first named file that exists is used, so a data folder can ship its own
// font (the browser's does) and fall back to the system's. A relative file
// name is taken relative to the description's folder.
bool ReadFontDescription(const std::string& path, std::string* ttf, int* size,
                         std::string* error) {
  std::ifstream in(path);
  if (!in) {
    *error = "cannot open the file";
    return false;
  }
  const std::filesystem::path folder = std::filesystem::path(path).parent_path();
  std::vector<std::string> files;
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    auto eq = line.find('=');
    if (eq == std::string::npos) continue;
    std::string key = line.substr(0, eq), value = line.substr(eq + 1);
    while (!value.empty() && (value.back() == '\r' || value.back() == ' ')) value.pop_back();
    if (key == "file" && !value.empty()) {
      std::filesystem::path p(value);
      files.push_back((p.is_relative() ? folder / p : p).string());
    }
    if (key == "size") *size = std::atoi(value.c_str());
  }
  if (files.empty() || *size <= 0 || *size > 400) {
    *error = "it does not name a font file and a size (file=..., size=...)";
    return false;
  }
  std::error_code ec;
  auto found = std::find_if(files.begin(), files.end(), [&](const std::string& f) {
    return std::filesystem::is_regular_file(f, ec);
  });
  // None there: the last (the system's), and TTF says why it cannot be opened.
  *ttf = found != files.end() ? *found : files.back();
  return true;
}

}  // namespace

zglTTexture::~zglTTexture() {
  if (Surface) SDL_FreeSurface(Surface);
}

zglTFont::~zglTFont() {
  if (Font) TTF_CloseFont(Font);
}

void eng_InitLibraries() {
  if (LibrariesReady) return;
  IMG_Init(IMG_INIT_PNG);
  if (TTF_Init() != 0) std::cerr << "kelvod: text is not available: " << TTF_GetError() << "\n";
  LibrariesReady = true;
}

void eng_FreeResources() {
  Textures.clear();
  Fonts.clear();
}

zglPTexture tex_LoadFromFile(const std::string& path) {
  eng_InitLibraries();
  auto tex = std::make_unique<zglTTexture>();
  tex->Path = path;
  SDL_Surface* loaded = IMG_Load(path.c_str());
  if (!loaded) {
    std::cerr << "kelvod: warning: cannot load image \"" << path << "\": " << IMG_GetError()
              << "; it will not be drawn\n";
  } else {
    tex->HasAlpha = SDL_ISPIXELFORMAT_ALPHA(loaded->format->format) || loaded->format->Amask != 0;
    tex->Surface = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGBA32, 0);
    SDL_FreeSurface(loaded);
  }
  Textures.push_back(std::move(tex));
  return Textures.back().get();
}

zglPFont font_LoadFromFile(const std::string& path) {
  eng_InitLibraries();
  auto font = std::make_unique<zglTFont>();
  font->Path = path;
  std::string ttf, error;
  int size = 0;
  if (!ReadFontDescription(path, &ttf, &size, &error)) {
    std::cerr << "kelvod: warning: cannot load font \"" << path << "\": " << error
              << "; text will not be drawn\n";
  } else if (!(font->Font = TTF_OpenFont(ttf.c_str(), size))) {
    std::cerr << "kelvod: warning: cannot load font \"" << ttf << "\" named by \"" << path
              << "\": " << TTF_GetError() << "; text will not be drawn\n";
  }
  Fonts.push_back(std::move(font));
  return Fonts.back().get();
}

bool eng_CanLoadImage(const std::string& path, std::string* error) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) {
    *error = "it is missing";
    return false;
  }
  eng_InitLibraries();
  SDL_Surface* loaded = IMG_Load(path.c_str());
  if (!loaded) {
    *error = IMG_GetError();
    return false;
  }
  SDL_FreeSurface(loaded);
  return true;
}

bool eng_CanLoadFont(const std::string& path, std::string* error) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) {
    *error = "it is missing";
    return false;
  }
  eng_InitLibraries();
  std::string ttf;
  int size = 0;
  if (!ReadFontDescription(path, &ttf, &size, error)) return false;
  TTF_Font* font = TTF_OpenFont(ttf.c_str(), size);
  if (!font) {
    *error = "the font file \"" + ttf + "\" it names cannot be opened: " + TTF_GetError();
    return false;
  }
  TTF_CloseFont(font);
  return true;
}

float text_GetWidth(zglPFont font, const std::string& text) {
  int w = 0, h = 0;
  if (!font || !font->Font || text.empty() || TTF_SizeUTF8(font->Font, text.c_str(), &w, &h) != 0)
    return 0;
  return static_cast<float>(w);
}

bool eng_FontDraws(zglPFont font, const std::string& character) {
  if (!font || !font->Font || character.empty()) return true;
  // Decode the one UTF-8 character; a malformed one is not drawn.
  const auto lead = static_cast<unsigned char>(character[0]);
  const size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
  if (length == 0 || character.size() != length) return false;
  Uint32 code = length == 1 ? lead : lead & (0xFF >> (length + 1));
  for (size_t i = 1; i < length; ++i) code = (code << 6) | (static_cast<unsigned char>(character[i]) & 0x3F);
  return TTF_GlyphIsProvided32(font->Font, code) != 0;
}

bool eng_TextureInfo(zglPTexture texture, zglTextureInfo* info) {
  if (!texture || !texture->Surface) return false;
  info->Width = texture->Surface->w;
  info->Height = texture->Surface->h;
  info->HasAlpha = texture->HasAlpha;
  return true;
}

uint8_t eng_TextureAlpha(zglPTexture texture, int x, int y) {
  if (!texture || !texture->Surface) return 0;
  SDL_Surface* s = texture->Surface;
  if (x < 0 || y < 0 || x >= s->w || y >= s->h) return 0;
  const auto* row = static_cast<const uint8_t*>(s->pixels) + y * s->pitch;
  return row[x * 4 + 3];  // RGBA32 keeps alpha in the fourth byte
}
