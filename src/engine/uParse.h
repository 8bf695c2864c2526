// Whole numbers in text (command-line options, replay lines, level scripts).
#pragma once

#include <charconv>
#include <string_view>

// True when the whole of `text` is a number that fits in T; only then is it
// stored in *value. An empty text, a sign or space around the digits, or a
// number out of T's range is refused.
template <class T>
bool ParseNumber(std::string_view text, T* value) {
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, *value);
  return ec == std::errc() && ptr == end && !text.empty();
}
