#include "engine/uXdgDirs.h"

#include <cstdlib>

namespace fs = std::filesystem;

namespace {

// A relative path in the variable is no folder at all by the convention: it
// is ignored like an unset one.
fs::path BaseDir(const char* variable, const char* underHome) {
  const char* set = std::getenv(variable);
  if (set && fs::path(set).is_absolute()) return set;
  const char* home = std::getenv("HOME");
  if (home && fs::path(home).is_absolute()) return fs::path(home) / underHome;
  return {};
}

}  // namespace

fs::path XdgDataHome() { return BaseDir("XDG_DATA_HOME", ".local/share"); }
fs::path XdgStateHome() { return BaseDir("XDG_STATE_HOME", ".local/state"); }
