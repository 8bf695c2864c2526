// The game's state as JSON, for tests, level solutions and bug reports.
#pragma once

#include <nlohmann/json.hpp>
#include <string>

nlohmann::json BuildDump();
// False with a message when the file cannot be written.
bool WriteDump(const std::string& path, std::string* error);
