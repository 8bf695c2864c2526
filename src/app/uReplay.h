// Recording a player's input in a window as a replay file (the format and
// its player are in level/uReplayFile.h).
#pragma once

#include <fstream>
#include <optional>
#include <string>

#include "level/uReplayFile.h"

// Writes the player's input as a replay. Pointer moves within one tick are
// merged into the last one.
class TReplayRecorder {
 public:
  // False with a message when the file cannot be written.
  bool Open(const std::string& path, std::string* error);
  void Record(uint64_t tick, const zglInputEvent& e);
  void Close();

 private:
  void FlushMove();
  std::ofstream Out;
  std::optional<TReplayEvent> PendingMove;
};
