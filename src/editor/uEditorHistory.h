// The editor's undo and redo: every state of the level the designer made,
// kept as the bytes a save would write, so going back is exact.
#pragma once

#include <cstddef>
#include <deque>
#include <string>

// What a save writes: the level file's bytes and the hint beside it.
struct TLevelState {
  std::string MapBytes;
  std::string Hint;
  bool operator==(const TLevelState&) const = default;
};

class TEditorHistory {
 public:
  static constexpr size_t kMaxSteps = 200;

  // Forgets every step: `state` is where the history starts.
  void Reset(const TLevelState& state);
  // The level is now `state`: when it differs from the last one, that one
  // becomes a step to undo and the steps to redo are forgotten. True when a
  // step was made.
  bool Commit(const TLevelState& state);
  // The state to go back (or forward) to, which becomes the current one; null
  // when there is none.
  const TLevelState* Undo();
  const TLevelState* Redo();

  const TLevelState& Current() const { return Now; }
  size_t UndoSteps() const { return Past.size(); }
  size_t RedoSteps() const { return Future.size(); }

 private:
  std::deque<TLevelState> Past;    // oldest first
  std::deque<TLevelState> Future;  // next redo first
  TLevelState Now;
};
