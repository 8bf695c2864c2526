// The author's proof of a level: test play in the editor records the
// designer's mouse tick by tick from the level's start, and a win makes the
// recording the level's solution, named after the level bytes it was won on.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/engine.h"
#include "level/uReplayFile.h"

class TEditorProof {
 public:
  // Test play starts on a level whose file bytes are `mapBytes`.
  void Start(std::string mapBytes);
  // Test play ended without a win: the recording is dropped.
  void Stop();
  // The mouse the running level reads in its next tick.
  void Tick(const zglMouseState& mouse);
  // Test play was won: the recording becomes the proof of the bytes played.
  void Won();
  bool Recording() const { return Active; }
  // The won recording as the text of a solution file holding `fileBytes`
  // (its proof line first) when it was won on `playedBytes` (what the editor
  // encodes of that file); "" otherwise.
  std::string SolutionFor(std::string_view playedBytes, std::string_view fileBytes) const;

 private:
  void Add(TReplayEvent::Kind kind, int button = 0);

  bool Active = false;
  uint64_t Ticks = 0;
  zglMouseState Last;
  std::string Bytes;
  std::vector<TReplayEvent> Events;
  std::string WonBytes;  // the level bytes of the last win
  std::string WonText;   // its solution, without a proof line
};
