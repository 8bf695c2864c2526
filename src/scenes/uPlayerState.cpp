#include "scenes/uPlayerState.h"

#include <fstream>
#include <iostream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string_view>

#include "engine/uSafeFile.h"
#include "engine/uUtf8.h"
#include "ui/uLang.h"

namespace fs = std::filesystem;
using nlohmann::json;

TPlayerState* PlayerState = nullptr;

namespace {

constexpr int kFormat = 1;

enum class TRead { MISSING, DAMAGED, OK };

// Reads a JSON object from `path`; anything else is damage.
TRead ReadObject(const fs::path& path, json* out) {
  std::error_code ec;
  if (!fs::exists(path, ec) && !ec) return TRead::MISSING;
  std::ifstream in(path, std::ios::binary);
  if (!in) return TRead::DAMAGED;
  std::stringstream text;
  text << in.rdbuf();
  *out = json::parse(text.str(), nullptr, false);
  return out->is_object() ? TRead::OK : TRead::DAMAGED;
}

// The strings of the array `key` of `object`; other entries are skipped.
std::set<std::string> Names(const json& object, const char* key) {
  std::set<std::string> names;
  auto it = object.find(key);
  if (it == object.end() || !it->is_array()) return names;
  for (const auto& name : *it)
    if (name.is_string()) names.insert(name.get<std::string>());
  return names;
}

}  // namespace

TPlayerState::TPlayerState(fs::path folder) : Dir(std::move(folder)) {}

void TPlayerState::Load() {
  if (Dir.empty()) return;
  for (const char* name : {kProgressFile, kSettingsFile}) {
    json j;
    TRead read = ReadObject(Dir / name, &j);
    if (read == TRead::DAMAGED) {
      std::cerr << "kelvod: " << (Dir / name).string()
                << ": cannot be read or is damaged; going on without it\n";
      Damaged.insert(name);
    }
    if (read != TRead::OK) continue;
    if (std::string_view(name) == kProgressFile) {
      WonShipped = Names(j, "won");
      WonOwn = Names(j, "won_own");
    } else {
      auto muted = j.find("sound_muted");
      Muted = muted != j.end() && muted->is_boolean() && muted->get<bool>();
      auto lang = j.find("lang");
      if (lang != j.end() && lang->is_string() && IsLanguageCode(lang->get<std::string>()))
        Lang = lang->get<std::string>();
    }
  }
}

bool TPlayerState::Won(const std::string& fileName, bool own) const {
  return (own ? WonOwn : WonShipped).count(SanitizeUtf8(fileName)) > 0;
}

void TPlayerState::SetWon(const std::string& fileName, bool own, bool won) {
  // Kept by the name as the chooser shows it: the progress file is JSON, which
  // holds only valid UTF-8, and a level named in an old code page is still won.
  const std::string name = SanitizeUtf8(fileName);
  std::set<std::string>& names = own ? WonOwn : WonShipped;
  if (names.count(name) == static_cast<size_t>(won)) return;
  if (won)
    names.insert(name);
  else
    names.erase(name);
  SaveProgress();
}

void TPlayerState::SetSoundMuted(bool muted) {
  if (Muted == muted) return;
  Muted = muted;
  SaveSettings();
}

void TPlayerState::SetLanguageSetting(const std::string& code) {
  if (Lang == code) return;
  Lang = code;
  SaveSettings();
}

void TPlayerState::SaveProgress() {
  Save(kProgressFile, json{{"format", kFormat}, {"won", WonShipped}, {"won_own", WonOwn}}.dump(2));
}

void TPlayerState::SaveSettings() {
  json settings{{"format", kFormat}, {"sound_muted", Muted}};
  if (!Lang.empty()) settings["lang"] = Lang;
  Save(kSettingsFile, settings.dump(2));
}

void TPlayerState::Save(const char* name, const std::string& text) {
  if (Dir.empty()) return;
  const fs::path path = Dir / name;
  std::error_code ec;
  fs::create_directories(Dir, ec);
  if (Damaged.count(name)) {
    // Never write over a file that could not be read: keep it for the player.
    fs::path aside = path;
    aside += ".bad";
    fs::rename(path, aside, ec);
    std::error_code gone;
    if (ec && fs::exists(path, gone)) {
      std::cerr << "kelvod: " << path.string() << ": cannot keep it aside (" << ec.message()
                << "); not saving over it\n";
      return;
    }
    Damaged.erase(name);
  }
  std::string error;
  if (!SafeWriteFile(path.string(), text + "\n", &error))
    std::cerr << "kelvod: " << path.string() << ": cannot save: " << error << "\n";
}
