// Replay files: input events by tick, read for headless runs, tests, the
// levels' solutions and their demonstrations, and the player that applies
// them to the engine's input tick by tick.
#pragma once

#include <cstdint>
#include <istream>
#include <string>
#include <vector>

#include "engine/engine.h"

struct TReplayEvent {
  enum Kind { MOVE, PRESS, RELEASE, CLICK, KEY, TEXT, QUIT } kind = MOVE;
  uint64_t Tick = 0;
  int X = 0, Y = 0;   // MOVE
  int Button = 0;     // PRESS, RELEASE, CLICK: M_BLEFT or M_BMIDDLE
  int Key = 0;        // KEY: a code with a name (eng_KeyName)
  bool Down = false;  // KEY
  std::string Text;   // TEXT: typed characters, UTF-8
  int Line = 0;       // where it stands in its file
};

// Pointer positions a replay may hold; anything beyond is not a recording.
constexpr int kReplayCoordinateLimit = 100000;

// Reads events from `in`. On a bad line, returns false with a message naming
// `name`, the line number and what is wrong.
bool ParseReplay(std::istream& in, const std::string& name, std::vector<TReplayEvent>* events,
                 std::string* error);
bool LoadReplay(const std::string& path, std::vector<TReplayEvent>* events, std::string* error);

// One event as a line of a replay file (without the newline).
std::string FormatReplayEvent(const TReplayEvent& e);

// Applies the events of each tick to the engine's input just before it runs.
class TReplayPlayer {
 public:
  explicit TReplayPlayer(std::vector<TReplayEvent> events) : Events(std::move(events)) {}
  // Adds an event after the others (input made up as the game runs).
  void Add(const TReplayEvent& e) { Events.push_back(e); }
  void BeforeTick(uint64_t tick);
  // True once every event has been applied (a click's release included).
  bool Finished() const { return Next >= Events.size() && !PendingRelease[0] && !PendingRelease[1]; }

 private:
  std::vector<TReplayEvent> Events;
  size_t Next = 0;
  bool PendingRelease[2] = {false, false};
};

