#include "editor/uEditorHistory.h"

void TEditorHistory::Reset(const TLevelState& state) {
  Past.clear();
  Future.clear();
  Now = state;
}

bool TEditorHistory::Commit(const TLevelState& state) {
  if (state == Now) return false;
  Past.push_back(std::move(Now));
  if (Past.size() > kMaxSteps) Past.pop_front();
  Future.clear();
  Now = state;
  return true;
}

const TLevelState* TEditorHistory::Undo() {
  if (Past.empty()) return nullptr;
  Future.push_front(std::move(Now));
  Now = std::move(Past.back());
  Past.pop_back();
  return &Now;
}

const TLevelState* TEditorHistory::Redo() {
  if (Future.empty()) return nullptr;
  Past.push_back(std::move(Now));
  Now = std::move(Future.front());
  Future.pop_front();
  return &Now;
}
