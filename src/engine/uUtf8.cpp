#include "engine/uUtf8.h"

namespace {

// Length of the well-formed sequence starting at `at`, or 0.
size_t SequenceLength(std::string_view s, size_t at) {
  const auto byte = [&](size_t i) { return static_cast<unsigned char>(s[i]); };
  const unsigned char b = byte(at);
  if (b < 0x80) return 1;
  size_t n = 0;
  unsigned char lo = 0x80, hi = 0xBF;  // allowed range of the second byte
  if (b >= 0xC2 && b <= 0xDF) n = 2;
  else if (b == 0xE0) n = 3, lo = 0xA0;
  else if (b >= 0xE1 && b <= 0xEC) n = 3;
  else if (b == 0xED) n = 3, hi = 0x9F;  // no surrogates
  else if (b >= 0xEE && b <= 0xEF) n = 3;
  else if (b == 0xF0) n = 4, lo = 0x90;
  else if (b >= 0xF1 && b <= 0xF3) n = 4;
  else if (b == 0xF4) n = 4, hi = 0x8F;  // nothing beyond U+10FFFF
  else return 0;
  if (at + n > s.size()) return 0;
  if (byte(at + 1) < lo || byte(at + 1) > hi) return 0;
  for (size_t i = 2; i < n; ++i)
    if (byte(at + i) < 0x80 || byte(at + i) > 0xBF) return 0;
  return n;
}

}  // namespace

std::string SanitizeUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t at = 0; at < text.size();) {
    const size_t n = SequenceLength(text, at);
    if (n == 0) {
      out += "\xEF\xBF\xBD";
      ++at;
    } else {
      out.append(text.substr(at, n));
      at += n;
    }
  }
  return out;
}
