#include "editor/uEditorProof.h"

#include "level/uShareCode.h"

void TEditorProof::Start(std::string mapBytes) {
  Active = true;
  Ticks = 0;
  Last = zglMouseState{};
  Last.X = Last.Y = -1;  // the first tick always says where the pointer is
  Bytes = std::move(mapBytes);
  Events.clear();
}

void TEditorProof::Stop() {
  Active = false;
  Events.clear();
}

void TEditorProof::Add(TReplayEvent::Kind kind, int button) {
  TReplayEvent e;
  e.kind = kind;
  e.Tick = Ticks;
  e.Button = button;
  e.X = Last.X;
  e.Y = Last.Y;
  Events.push_back(e);
}

void TEditorProof::Tick(const zglMouseState& mouse) {
  if (!Active) return;
  if (++Ticks == 1) {
    // A button still held from the click that started test play belongs to
    // that click, not to the level.
    for (int b = 0; b < 2; ++b) Last.Down[b] = mouse.Down[b];
  }
  if (mouse.X != Last.X || mouse.Y != Last.Y) {
    Last.X = mouse.X, Last.Y = mouse.Y;
    Add(TReplayEvent::MOVE);
  }
  // The left and middle buttons, the ones a solution may hold. A press and
  // release inside one tick is still a click the level saw.
  for (int b = 0; b < 2; ++b) {
    const bool pressedAgain = mouse.Click[b] && Last.Down[b];
    if (mouse.Down[b] != Last.Down[b] || pressedAgain) {
      if (Last.Down[b]) Add(TReplayEvent::RELEASE, b);
      if (mouse.Down[b]) Add(TReplayEvent::PRESS, b);
    } else if (mouse.Click[b] && !mouse.Down[b] && Ticks > 1) {
      Add(TReplayEvent::CLICK, b);
    }
    Last.Down[b] = mouse.Down[b];
  }
}

void TEditorProof::Won() {
  if (!Active) return;
  std::string text;
  for (const TReplayEvent& e : Events) text += FormatReplayEvent(e) + "\n";
  WonBytes = Bytes;
  WonText = text;
  Stop();
}

std::string TEditorProof::SolutionFor(std::string_view playedBytes, std::string_view fileBytes) const {
  if (WonText.empty() || playedBytes != WonBytes) return "";
  return WithProofLine(WonText, fileBytes);
}
