// Where a run of the game finds and keeps its files: the data folder it came
// with (the shipped art and levels, read only), the player's own level folder
// and the state folder with progress and settings.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "app/uCommandLine.h"

struct TFolders {
  std::filesystem::path Data;
  // Unset: the data folder's level folder holds the player's levels too.
  // Empty: the player has no folder (no home folder), so nothing can be saved.
  std::optional<std::filesystem::path> PlayerLevels;
  std::filesystem::path State;  // empty: progress and settings in memory only
  // Where the translations are looked for: the data folder's locale/ (an
  // installed game, the browser's packed data), then locale/ beside the
  // executable (a build tree, whatever data folder it plays).
  std::vector<std::filesystem::path> Catalogues;
};

// The folders of a run. With `--data DIR`, DIR is the one folder for levels,
// read and saved alike, and progress is kept in memory; otherwise the data
// folder is the one installed beside the executable (or the source tree's),
// and the player's levels and state go to their XDG folders
// ($XDG_DATA_HOME/kelvod/level, $XDG_STATE_HOME/kelvod). `--state DIR` names
// the state folder in either case. False with a message on a bad command line.
bool ResolveFolders(const TOptions& options, const std::string& executablePath, TFolders* folders,
                    std::string* error);

// The data folder of an installed game (relative to its executable), beside
// the executable or one folder up (build/kelvod in a source tree), else in the
// working directory.
std::filesystem::path FindDataDir(const std::string& executablePath);
// The folder the running executable is in.
std::filesystem::path ExecutableDir(const std::string& executablePath);
