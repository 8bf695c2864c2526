// The command line: window or headless run, data folder, replays, outputs.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct TOptions {
  std::string DataDir;   // empty: look beside the executable, then in the working directory
  std::string StateDir;  // progress and settings; empty: the player's state folder (in memory with --data)
  bool Headless = false;
  bool Render = false;  // headless: draw every frame offscreen, as a window would
  uint64_t Ticks = 0;
  std::string Replay, Record, Screenshot, Dump, SoundLog;
  std::optional<uint32_t> Seed;
  std::optional<int32_t> Level;
  std::string Open;                 // a share code, a link holding one, or a level file to play
  std::optional<int32_t> Share;     // with --headless: print the share code of this level
  std::string Lang;  // --lang: the language shown; empty: the player's (a window) or Russian
  bool Help = false;
  bool Version = false;
};

// False with a message naming the option when the command line is bad.
bool ParseCommandLine(const std::vector<std::string>& args, TOptions* options, std::string* error);
std::string UsageText();
