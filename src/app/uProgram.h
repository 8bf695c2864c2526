// The program entry: command line, start-up, the engine callbacks and the
// outputs written after the last tick.
#pragma once

#include <string>
#include <vector>

// Exit status: 0 done, 1 a failure (window, outputs), 2 a bad command line or replay.
int KelvodMain(const std::vector<std::string>& args, const std::string& executablePath);

// The engine callbacks.
void OnLoad();
void OnDraw();
void OnTimer();
void OnExit();
