#include "level/uLevelSolution.h"

#include <filesystem>
#include <sstream>
#include <system_error>

namespace fs = std::filesystem;

std::string LevelSolutionPath(const std::string& levelPath) {
  return fs::path(levelPath).replace_extension(".solution").string();
}

namespace {

// Keeps `events` only when they are mouse input and there is some.
bool CheckSolutionEvents(const std::string& name, std::vector<TReplayEvent>* events, std::string* error) {
  for (const TReplayEvent& e : *events) {
    const bool mouse = e.kind == TReplayEvent::MOVE || e.kind == TReplayEvent::PRESS ||
                       e.kind == TReplayEvent::RELEASE || e.kind == TReplayEvent::CLICK;
    if (!mouse) {
      *error = name + ":" + std::to_string(e.Line) + ": a solution plays the mouse only";
      events->clear();
      return false;
    }
  }
  if (events->empty()) *error = name + ": the solution holds no input";
  return !events->empty();
}

}  // namespace

bool LoadLevelSolution(const std::string& levelPath, std::vector<TReplayEvent>* events,
                       std::string* error) {
  events->clear();
  error->clear();
  const std::string path = LevelSolutionPath(levelPath);
  std::error_code ec;
  if (!fs::is_regular_file(path, ec)) return false;
  if (!LoadReplay(path, events, error)) return false;
  return CheckSolutionEvents(path, events, error);
}

bool ParseLevelSolution(const std::string& text, const std::string& name, std::vector<TReplayEvent>* events,
                        std::string* error) {
  events->clear();
  error->clear();
  if (text.empty()) return false;
  std::istringstream in(text);
  if (!ParseReplay(in, name, events, error)) return false;
  return CheckSolutionEvents(name, events, error);
}

TDemoPlayback::TDemoPlayback(std::vector<TReplayEvent> events) : Player(std::move(events)) {}

zglMouseState TDemoPlayback::BeginTick() {
  const zglMouseState player = eng_GetMouse();
  // Clicks last one tick: what the last tick clicked is no longer new.
  for (bool& click : Mouse.Click) click = false;
  eng_PutMouse(Mouse);
  Player.BeforeTick(++TickCount);
  return player;
}

void TDemoPlayback::EndTick(const zglMouseState& player) {
  Mouse = eng_GetMouse();
  eng_PutMouse(player);
}
