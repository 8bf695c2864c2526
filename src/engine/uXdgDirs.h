// The user's own base folders, as the XDG base directory convention names
// them: where programs keep the files a user makes ($XDG_DATA_HOME) and the
// state they keep between runs ($XDG_STATE_HOME).
#pragma once

#include <filesystem>

// $XDG_DATA_HOME when it holds an absolute path, else $HOME/.local/share;
// empty when neither is set.
std::filesystem::path XdgDataHome();
// $XDG_STATE_HOME when it holds an absolute path, else $HOME/.local/state;
// empty when neither is set.
std::filesystem::path XdgStateHome();
