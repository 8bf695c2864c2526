#include "app/uFolders.h"

#include <iostream>

#include "engine/uXdgDirs.h"

namespace fs = std::filesystem;

#ifndef KELVOD_DATA_FROM_BIN
#define KELVOD_DATA_FROM_BIN "../share/kelvod"
#endif

namespace {

bool LooksLikeData(const fs::path& dir) {
  std::error_code ec;
  return fs::is_directory(dir / "level", ec) || fs::is_regular_file(dir / "panel_r.png", ec);
}

}  // namespace

fs::path ExecutableDir(const std::string& executablePath) {
  std::error_code ec;
  fs::path exe = fs::canonical("/proc/self/exe", ec);
  if (ec) exe = fs::absolute(executablePath, ec);
  return exe.parent_path();
}

fs::path FindDataDir(const std::string& executablePath) {
  std::error_code ec;
  const fs::path dir = ExecutableDir(executablePath);
  const fs::path installed = (dir / KELVOD_DATA_FROM_BIN).lexically_normal();
  for (const fs::path& candidate :
       {installed, dir / "data", dir.parent_path() / "data", fs::current_path(ec) / "data"}) {
    if (LooksLikeData(candidate)) return candidate;
  }
  std::cerr << "kelvod: warning: no data folder found beside the program or in the working "
               "directory; using ./data (use --data DIR to name one)\n";
  return "data";
}

bool ResolveFolders(const TOptions& o, const std::string& executablePath, TFolders* f,
                    std::string* error) {
  std::error_code ec;
  if (!o.StateDir.empty() && fs::exists(o.StateDir, ec) && !fs::is_directory(o.StateDir, ec)) {
    *error = "option --state: \"" + o.StateDir + "\" is not a folder";
    return false;
  }
  *f = TFolders{};
  f->State = o.StateDir;
  if (!o.DataDir.empty()) {
    if (!fs::is_directory(o.DataDir, ec)) {
      *error = "option --data: \"" + o.DataDir + "\" is not a folder";
      return false;
    }
    f->Data = o.DataDir;
    f->Catalogues = {f->Data / "locale", ExecutableDir(executablePath) / "locale"};
    return true;
  }
  f->Data = FindDataDir(executablePath);
  f->Catalogues = {f->Data / "locale", ExecutableDir(executablePath) / "locale"};
  const fs::path dataHome = XdgDataHome(), stateHome = XdgStateHome();
  if (dataHome.empty() || (stateHome.empty() && f->State.empty()))
    std::cerr << "kelvod: warning: no home folder (HOME is not set): the levels you make cannot be "
                 "saved and your progress is not kept\n";
  f->PlayerLevels = dataHome.empty() ? fs::path() : dataHome / "kelvod" / "level";
  if (f->State.empty() && !stateHome.empty()) f->State = stateHome / "kelvod";
  return true;
}
