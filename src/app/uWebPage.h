// What the page around the browser build (tools/web/shell.html) asks of the
// game besides its texts: whether a file the player brings in is a level.
#pragma once

#include <string>
#include <string_view>

// What "Загрузить уровень" makes of a file: refused with the reason (in the
// game's language), or taken, with the numbers of the records the game
// skips when it reads the level ("3, 7"; empty when none).
struct TLevelImport {
  bool Taken = false;
  std::string Reason;
  std::string Skipped;
};

// A file is a level when it is whole records of 80 bytes, no more than a
// level may hold, at least one of them an object or rope the game reads,
// and within the level budget. `name` names the file in the reason.
TLevelImport CheckImportedLevel(std::string_view bytes, const std::string& name);
