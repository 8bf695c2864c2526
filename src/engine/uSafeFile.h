// Writing a file so that a failure never damages what was there before
// (levels now; progress and settings can use it as well).
#pragma once

#include <string>
#include <string_view>

// Writes `bytes` to `path` through a temporary file beside it, flushed to the
// disk and then renamed over `path`: afterwards `path` holds either its old
// content or all of the new. Returns false with the reason in `error` (a
// short phrase such as the system's error text) and removes the temporary
// file when anything fails.
bool SafeWriteFile(const std::string& path, std::string_view bytes, std::string* error);
