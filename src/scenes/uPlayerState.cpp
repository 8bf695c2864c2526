#include "scenes/uPlayerState.h"

#include <algorithm>
#include <iostream>
#include <nlohmann/json.hpp>
#include <string_view>

#include "engine/uSafeFile.h"
#include "engine/uUtf8.h"
#include "ui/uLang.h"

namespace fs = std::filesystem;
using nlohmann::json;

TPlayerState* PlayerState = nullptr;

namespace {

constexpr int kFormat = 1;

// The most each file may hold: far more than the game ever writes (the
// progress of ten thousand levels is about 200 KB), and little enough that a
// damaged or hostile file never costs the start any time or memory.
size_t SizeLimit(std::string_view name) {
  return name == TPlayerState::kProgressFile ? size_t{512} << 10 : size_t{16} << 10;
}

// Reads a JSON object from `path`: MISSING, OK, or anything else (not a
// regular file, too large, not a JSON object) as damage, with the reason.
TFileRead ReadObject(const fs::path& path, size_t limit, json* out, std::string* why) {
  std::string text;
  TFileRead read = ReadFileSafely(path.string(), limit, &text, why);
  if (read != TFileRead::OK) return read;
  *out = json::parse(text, nullptr, false);
  if (out->is_object()) return TFileRead::OK;
  *why = "it is not a file the game wrote";
  return TFileRead::FAILED;
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

bool Flag(const json& object, const char* key, bool otherwise) {
  auto it = object.find(key);
  return it != object.end() && it->is_boolean() ? it->get<bool>() : otherwise;
}

}  // namespace

TPlayerState::TPlayerState(fs::path folder) : Dir(std::move(folder)) {}

void TPlayerState::Load() {
  if (Dir.empty()) return;
  RemoveStaleTemporaries(Dir.string());
  for (const char* name : {kProgressFile, kSettingsFile}) {
    json j;
    std::string why;
    TFileRead read = ReadObject(Dir / name, SizeLimit(name), &j, &why);
    if (read == TFileRead::MISSING) continue;
    if (read != TFileRead::OK) {
      std::cerr << "kelvod: " << (Dir / name).string() << ": " << why << "; going on without it\n";
      Damaged.insert(name);
      continue;
    }
    if (std::string_view(name) == kProgressFile) {
      WonShipped = Names(j, "won");
      WonOwn = Names(j, "won_own");
    } else {
      LoadSettings(j);
    }
  }
}

// A value of the wrong type, or out of range, keeps the default.
void TPlayerState::LoadSettings(const json& j) {
  Muted = Flag(j, "sound_muted", false);
  Full = Flag(j, "fullscreen", false);
  auto volume = j.find("volume");
  if (volume != j.end() && volume->is_number_integer() && *volume >= 0 && *volume <= 100)
    Volume = volume->get<int>();
  auto lang = j.find("lang");
  if (lang != j.end() && lang->is_string() && IsLanguageCode(lang->get<std::string>()))
    Lang = lang->get<std::string>();
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

void TPlayerState::SetSoundVolume(int volume) {
  volume = std::clamp(volume, 0, 100);
  if (Volume == volume) return;
  Volume = volume;
  SaveSettings();
}

void TPlayerState::SetFullScreen(bool on) {
  if (Full == on) return;
  Full = on;
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
  json settings{{"format", kFormat}, {"sound_muted", Muted}, {"volume", Volume},
                {"fullscreen", Full}};
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
    std::string why;
    if (KeepAside(path.string(), &why).empty() && fs::symlink_status(path, ec).type() != fs::file_type::not_found) {
      std::cerr << "kelvod: " << path.string() << ": cannot keep it aside (" << why << "); not saving over it\n";
      return;
    }
    Damaged.erase(name);
  }
  std::string error;
  if (!SafeWriteFile(path.string(), text + "\n", &error))
    std::cerr << "kelvod: " << path.string() << ": cannot save: " << error << "\n";
}
