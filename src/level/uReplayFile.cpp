#include "level/uReplayFile.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include "engine/uParse.h"

namespace {

bool ButtonName(const std::string& word, int* button) {
  if (word == "left") *button = M_BLEFT;
  else if (word == "middle") *button = M_BMIDDLE;
  else return false;
  return true;
}

bool InRange(int v) { return v >= -kReplayCoordinateLimit && v <= kReplayCoordinateLimit; }

std::string ParseKey(const std::vector<std::string>& w, TReplayEvent* e) {
  if (w.size() != 4) return "expected \"<tick> key <name> down|up\"";
  e->Key = eng_KeyByName(w[2]);
  if (e->Key < 0)
    return "unknown key \"" + w[2] +
           "\" (shift, ctrl, a..z, return, escape, delete, backspace or f1..f12)";
  if (w[3] != "down" && w[3] != "up") return "expected down or up after the key, not \"" + w[3] + "\"";
  e->Down = w[3] == "down";
  e->kind = TReplayEvent::KEY;
  return "";
}

// Parses one event line (`w` its words, `rest` what follows the event word);
// on failure returns what is wrong.
std::string ParseWords(const std::vector<std::string>& w, const std::string& rest, TReplayEvent* e) {
  if (w.size() < 2) return "expected \"<tick> <event> ...\"";
  if (!ParseNumber(w[0], &e->Tick) || e->Tick < 1)
    return "the tick \"" + w[0] + "\" is not a whole number of 1 or more";
  const std::string& kind = w[1];
  auto count = [&](size_t n) { return w.size() == n; };
  if (kind == "move") {
    if (!count(4)) return "expected \"<tick> move <x> <y>\"";
    if (!ParseNumber(w[2], &e->X) || !ParseNumber(w[3], &e->Y)) return "the pointer position is not two whole numbers";
    if (!InRange(e->X) || !InRange(e->Y))
      return "the pointer position is beyond -" + std::to_string(kReplayCoordinateLimit) + ".." +
             std::to_string(kReplayCoordinateLimit);
    e->kind = TReplayEvent::MOVE;
  } else if (kind == "press" || kind == "release" || kind == "click") {
    if (!count(3)) return "expected \"<tick> " + kind + " left|middle\"";
    if (!ButtonName(w[2], &e->Button)) return "unknown mouse button \"" + w[2] + "\" (left or middle)";
    e->kind = kind == "press" ? TReplayEvent::PRESS
              : kind == "release" ? TReplayEvent::RELEASE : TReplayEvent::CLICK;
  } else if (kind == "key") {
    return ParseKey(w, e);
  } else if (kind == "text") {
    if (rest.empty()) return "expected \"<tick> text <characters>\"";
    e->Text = rest;
    e->kind = TReplayEvent::TEXT;
  } else if (kind == "quit") {
    if (!count(2)) return "expected \"<tick> quit\"";
    e->kind = TReplayEvent::QUIT;
  } else {
    return "unknown event \"" + kind + "\" (move, press, release, click, key, text or quit)";
  }
  return "";
}

// What follows the second word of a line and the one space after it.
std::string RestAfterEvent(const std::string& line) {
  size_t at = line.find_first_not_of(" \t");
  for (int word = 0; word < 2 && at != std::string::npos; ++word) {
    at = line.find_first_of(" \t", at);
    if (word == 0 && at != std::string::npos) at = line.find_first_not_of(" \t", at);
  }
  return at == std::string::npos ? "" : line.substr(at + 1);
}

}  // namespace

bool ParseReplay(std::istream& in, const std::string& name, std::vector<TReplayEvent>* events,
                 std::string* error) {
  events->clear();
  std::string line;
  int number = 0;
  uint64_t lastTick = 0;
  while (std::getline(in, line)) {
    ++number;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::istringstream words(line);
    std::vector<std::string> w;
    for (std::string word; words >> word;) w.push_back(word);
    if (w.empty() || w[0][0] == '#') continue;
    TReplayEvent e;
    e.Line = number;
    std::string problem = ParseWords(w, RestAfterEvent(line), &e);
    if (problem.empty() && e.Tick < lastTick)
      problem = "tick " + std::to_string(e.Tick) + " comes after tick " + std::to_string(lastTick) +
                "; ticks must not decrease";
    if (!problem.empty()) {
      *error = name + ":" + std::to_string(number) + ": " + problem;
      return false;
    }
    lastTick = e.Tick;
    events->push_back(e);
  }
  return true;
}

bool LoadReplay(const std::string& path, std::vector<TReplayEvent>* events, std::string* error) {
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec)) {
    *error = path + ": is a folder, not a replay file";
    return false;
  }
  std::ifstream in(path);
  if (!in) {
    *error = path + ": cannot read the replay file";
    return false;
  }
  return ParseReplay(in, path, events, error);
}

std::string FormatReplayEvent(const TReplayEvent& e) {
  std::string t = std::to_string(e.Tick) + " ";
  const char* button = e.Button == M_BMIDDLE ? "middle" : "left";
  switch (e.kind) {
    case TReplayEvent::MOVE: return t + "move " + std::to_string(e.X) + " " + std::to_string(e.Y);
    case TReplayEvent::PRESS: return t + "press " + button;
    case TReplayEvent::RELEASE: return t + "release " + button;
    case TReplayEvent::CLICK: return t + "click " + button;
    case TReplayEvent::KEY: return t + "key " + eng_KeyName(e.Key) + (e.Down ? " down" : " up");
    case TReplayEvent::TEXT: return t + "text " + e.Text;
    case TReplayEvent::QUIT: return t + "quit";
  }
  return t;
}

void TReplayPlayer::BeforeTick(uint64_t tick) {
  for (int b = 0; b < 2; ++b) {
    if (PendingRelease[b]) eng_SetButton(b, false);
    PendingRelease[b] = false;
  }
  while (Next < Events.size() && Events[Next].Tick <= tick) {
    const TReplayEvent& e = Events[Next++];
    switch (e.kind) {
      case TReplayEvent::MOVE: eng_SetMouse(e.X, e.Y); break;
      case TReplayEvent::PRESS: eng_SetButton(e.Button, true); break;
      case TReplayEvent::RELEASE: eng_SetButton(e.Button, false); break;
      case TReplayEvent::CLICK:
        eng_SetButton(e.Button, false);
        eng_SetButton(e.Button, true);
        PendingRelease[e.Button] = true;
        break;
      case TReplayEvent::KEY: eng_SetKey(e.Key, e.Down); break;
      case TReplayEvent::TEXT: eng_AddText(e.Text); break;
      case TReplayEvent::QUIT: eng_RequestClose(); break;
    }
  }
}

