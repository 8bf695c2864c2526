#include "level/uLevelHint.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sstream>

#include "engine/uSafeFile.h"
#include "engine/uUtf8.h"

std::string HintPathFor(const std::string& levelPath) {
  const size_t dot = levelPath.find_last_of('.');
  const size_t slash = levelPath.find_last_of('/');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
    return levelPath + ".hint";
  return levelPath.substr(0, dot) + ".hint";
}

std::string NormalizeHint(const std::string& text) {
  size_t cut = std::min(text.size(), kMaxHintBytes);
  // Never cut a character in two.
  while (cut < text.size() && cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
  std::string lines;
  for (char c : text.substr(0, cut))
    if (c != '\r') lines += c;
  std::string out;
  std::istringstream in(lines);
  size_t count = 0;
  for (std::string line; count < kMaxHintLines && std::getline(in, line); ++count)
    out += (count ? "\n" : "") + line;
  while (!out.empty() && (out.back() == '\n' || out.back() == ' ')) out.pop_back();
  return SanitizeUtf8(out);
}

namespace {

// Enough to see a character cut at the limit; a hint that is no regular file
// (a pipe) is no hint.
std::string ReadHintFile(const std::string& path) {
  std::string text;
  const TFileRead read = ReadFileSafely(path, kMaxHintBytes + 4, &text);
  return read == TFileRead::OK || read == TFileRead::TOO_LARGE ? NormalizeHint(text) : "";
}

}  // namespace

std::string LoadLevelHint(const std::string& levelPath) { return ReadHintFile(HintPathFor(levelPath)); }

std::string LoadShownHint(const std::string& levelPath, bool shipped, const std::string& language) {
  if (shipped && !language.empty()) {
    const std::string hint = HintPathFor(levelPath);  // ends in ".hint"
    std::string translated = ReadHintFile(hint.substr(0, hint.size() - 4) + language + ".hint");
    if (!translated.empty()) return translated;
  }
  return LoadLevelHint(levelPath);
}

bool SaveLevelHint(const std::string& levelPath, const std::string& hint, std::string* error) {
  const std::string path = HintPathFor(levelPath);
  const std::string text = NormalizeHint(hint);
  if (!text.empty()) return SafeWriteFile(path, text + "\n", error);
  if (std::remove(path.c_str()) == 0) {
    eng_FilesChanged();
    return true;
  }
  if (errno == ENOENT) return true;
  if (error) *error = std::strerror(errno);
  return false;
}
