// A level's hint: one or two short lines (UTF-8) that tell a new player what
// the level is about, kept beside the level file as NNNN.hint.
#pragma once

#include <string>

constexpr size_t kMaxHintLines = 2;
constexpr size_t kMaxHintBytes = 400;

// The hint file of a level file: the same name with ".hint" for ".map".
std::string HintPathFor(const std::string& levelPath);
// The hint as it is shown: line ends as "\n", no line break at the end, at
// most kMaxHintLines lines and kMaxHintBytes bytes, bad UTF-8 replaced.
// "" when the level has no hint or it cannot be read.
std::string NormalizeHint(const std::string& text);
std::string LoadLevelHint(const std::string& levelPath);
// The hint a player is shown in `language`: a shipped level may have one per
// language beside it (NNNN.en.hint); without one, and for the player's own
// levels, the level's hint (NNNN.hint), whatever the language.
std::string LoadShownHint(const std::string& levelPath, bool shipped, const std::string& language);
// Writes the hint beside the level (an empty hint removes the file). False
// with the reason in `error` when it cannot be written or removed.
bool SaveLevelHint(const std::string& levelPath, const std::string& hint, std::string* error);
