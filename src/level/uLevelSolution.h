// A level's solution: a replay kept beside the level file ("1017.map" has
// "1017.solution"), its ticks counted from the level's start, and the
// demonstration that plays it on the running level in place of the player.
#pragma once

#include <string>
#include <vector>

#include "engine/engine.h"
#include "level/uReplayFile.h"

// "<folder>/1017.solution" for "<folder>/1017.map".
std::string LevelSolutionPath(const std::string& levelPath);

// Reads the solution of the level at `levelPath`. False when there is none;
// false with a message in `error` when there is one that cannot be used (not
// readable, a bad line, or input other than the pointer and the left and
// middle buttons).
bool LoadLevelSolution(const std::string& levelPath, std::vector<TReplayEvent>* events,
                       std::string* error);
// The same for a solution held as text (a shared level's), `name` standing
// for its file in messages. False when `text` is empty.
bool ParseLevelSolution(const std::string& text, const std::string& name, std::vector<TReplayEvent>* events,
                        std::string* error);

// Plays a solution as a demonstration: tick by tick it puts the solution's
// mouse in place of the player's while the level runs, and the player's back
// afterwards, so the player's own mouse still reaches the buttons around the
// field (a "Стоп") but never the level. Ticks count from 1, the first tick
// after the level's start, as in the solution file.
class TDemoPlayback {
 public:
  explicit TDemoPlayback(std::vector<TReplayEvent> events);
  // Runs one tick of the level (`step`) with the demonstration's mouse.
  template <typename Step>
  void Tick(Step&& step) {
    const zglMouseState player = BeginTick();
    step();
    EndTick(player);
  }
  // Every event has been played.
  bool Finished() const { return Player.Finished(); }
  uint64_t Ticks() const { return TickCount; }

 private:
  zglMouseState BeginTick();
  void EndTick(const zglMouseState& player);
  TReplayPlayer Player;
  zglMouseState Mouse;  // the demonstration's own, between its ticks
  uint64_t TickCount = 0;
};
