#include "app/uReplay.h"

bool TReplayRecorder::Open(const std::string& path, std::string* error) {
  Out.open(path, std::ios::out | std::ios::trunc);
  if (!Out) {
    *error = path + ": cannot write the recording";
    return false;
  }
  Out << "# kelvod input recording: <tick> move|press|release|click|key|text|quit ...\n";
  return true;
}

void TReplayRecorder::FlushMove() {
  if (PendingMove && Out) Out << FormatReplayEvent(*PendingMove) << "\n";
  PendingMove.reset();
}

void TReplayRecorder::Record(uint64_t tick, const zglInputEvent& in) {
  if (!Out) return;
  TReplayEvent e;
  e.Tick = tick;
  if (in.kind == zglInputEvent::MOVE) {
    if (PendingMove && PendingMove->Tick != tick) FlushMove();
    e.kind = TReplayEvent::MOVE, e.X = in.x, e.Y = in.y;
    PendingMove = e;
    return;
  }
  FlushMove();
  switch (in.kind) {
    case zglInputEvent::PRESS: e.kind = TReplayEvent::PRESS, e.Button = in.button; break;
    case zglInputEvent::RELEASE: e.kind = TReplayEvent::RELEASE, e.Button = in.button; break;
    case zglInputEvent::KEY_DOWN: e.kind = TReplayEvent::KEY, e.Key = in.key, e.Down = true; break;
    case zglInputEvent::KEY_UP: e.kind = TReplayEvent::KEY, e.Key = in.key, e.Down = false; break;
    case zglInputEvent::TEXT: e.kind = TReplayEvent::TEXT, e.Text = in.text; break;
    case zglInputEvent::QUIT: e.kind = TReplayEvent::QUIT; break;
    default: return;
  }
  // Flushed at once, so a crash loses none of what the player did.
  Out << FormatReplayEvent(e) << "\n" << std::flush;
}

void TReplayRecorder::Close() {
  FlushMove();
  if (Out.is_open()) Out.close();
}
