#include "scenes/uPlayerState.h"

#include <algorithm>
#include <chrono>
#include <iostream>
#include <nlohmann/json.hpp>
#include <string_view>

#include "engine/uSafeFile.h"
#include "engine/uUtf8.h"
#include "ui/uLang.h"

#ifndef __EMSCRIPTEN__
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

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

// The object `key` of `object`, or an empty one.
const json& Member(const json& object, const char* key) {
  static const json kNone = json::object();
  auto it = object.find(key);
  return it != object.end() && it->is_object() ? *it : kNone;
}

// When `key` last changed, by `times` (0 when it does not say).
int64_t TimeOf(const json& times, const std::string& key) {
  auto it = times.find(key);
  return it != times.end() && it->is_number_integer() ? it->get<int64_t>() : 0;
}

// The time of a change: the clock in milliseconds, and always later than this
// copy's previous change, so two changes in one millisecond keep their order.
int64_t ChangeTime() {
  static int64_t last = 0;
  const auto now = std::chrono::duration_cast<std::chrono::milliseconds>(
      std::chrono::system_clock::now().time_since_epoch()).count();
  last = std::max<int64_t>(now, last + 1);
  return last;
}

// While it lives, the other copies of the game wait to read or save the
// state; ends with the process, however it ends. In a browser tab the page
// brings the other tabs' files in between the game's frames instead.
class TFolderLock {
 public:
  explicit TFolderLock([[maybe_unused]] const fs::path& folder) {
#ifndef __EMSCRIPTEN__
    Fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (Fd >= 0) flock(Fd, LOCK_EX);
#endif
  }
  ~TFolderLock() {
#ifndef __EMSCRIPTEN__
    if (Fd >= 0) close(Fd);
#endif
  }
  TFolderLock(const TFolderLock&) = delete;
  TFolderLock& operator=(const TFolderLock&) = delete;

 private:
  [[maybe_unused]] int Fd = -1;
};

}  // namespace

TPlayerState::TPlayerState(fs::path folder) : Dir(std::move(folder)) {}

void TPlayerState::Load() {
  if (Dir.empty()) return;
  RemoveStaleTemporaries(Dir.string());
  TFolderLock lock(Dir);
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
    if (std::string_view(name) == kProgressFile)
      TakeProgress(j, true);
    else
      TakeSettings(j, true);
  }
}

bool TPlayerState::Refresh() {
  if (Dir.empty()) return false;
  const bool progress = Sync(kProgressFile, false);
  const bool settings = Sync(kSettingsFile, false);
  return progress || settings;
}

namespace {

// The marks a progress file holds under `names` (the won levels) and
// `changed[names]` (when each mark was set, also for levels no longer won).
std::map<std::string, std::pair<bool, int64_t>> StoredMarks(const json& stored, const char* names) {
  std::map<std::string, std::pair<bool, int64_t>> marks;
  const json& times = Member(Member(stored, "changed"), names);
  for (auto it = times.begin(); it != times.end(); ++it) marks[it.key()] = {false, TimeOf(times, it.key())};
  for (const std::string& name : Names(stored, names)) marks[name] = {true, TimeOf(times, name)};
  return marks;
}

}  // namespace

bool TPlayerState::TakeProgress(const json& stored, bool all) {
  bool changed = false;
  for (auto [key, marks] : {std::pair{"won", &WonShipped}, std::pair{"won_own", &WonOwn}}) {
    for (const auto& [name, mark] : StoredMarks(stored, key)) {
      TMark& mine = (*marks)[name];
      const auto [won, time] = mark;
      if (!all && (time < mine.Changed || (time == mine.Changed && !won))) continue;
      changed = changed || mine.Won != won;
      mine = {won, time};
    }
  }
  return changed;
}

// A value of the wrong type, or out of range, is left as it is.
bool TPlayerState::TakeSettings(const json& j, bool all) {
  const json& times = Member(j, "changed");
  const auto newer = [&](const char* key) {
    if (!j.contains(key)) return false;
    const int64_t time = TimeOf(times, key);
    if (!all && time < SettingChanged[key]) return false;
    SettingChanged[key] = time;
    return true;
  };
  const auto before = std::make_tuple(Muted, Full, Volume, Lang);
  if (newer("sound_muted")) Muted = Flag(j, "sound_muted", Muted);
  if (newer("fullscreen")) Full = Flag(j, "fullscreen", Full);
  auto volume = j.find("volume");
  if (newer("volume") && volume->is_number_integer() && *volume >= 0 && *volume <= 100)
    Volume = volume->get<int>();
  auto lang = j.find("lang");
  if (newer("lang") && lang->is_string() && IsLanguageCode(lang->get<std::string>()))
    Lang = lang->get<std::string>();
  return before != std::make_tuple(Muted, Full, Volume, Lang);
}

bool TPlayerState::Won(const std::string& fileName, bool own) const {
  const TMarks& marks = own ? WonOwn : WonShipped;
  auto it = marks.find(SanitizeUtf8(fileName));
  return it != marks.end() && it->second.Won;
}

void TPlayerState::SetWon(const std::string& fileName, bool own, bool won) {
  // Kept by the name as the chooser shows it: the progress file is JSON, which
  // holds only valid UTF-8, and a level named in an old code page is still won.
  const std::string name = SanitizeUtf8(fileName);
  if (Won(name, own) == won) return;
  (own ? WonOwn : WonShipped)[name] = {won, ChangeTime()};
  Sync(kProgressFile, true);
}

void TPlayerState::SetSoundMuted(bool muted) {
  if (Muted == muted) return;
  Muted = muted;
  SaveSettingChange("sound_muted");
}

void TPlayerState::SetSoundVolume(int volume) {
  volume = std::clamp(volume, 0, 100);
  if (Volume == volume) return;
  Volume = volume;
  SaveSettingChange("volume");
}

void TPlayerState::SetFullScreen(bool on) {
  if (Full == on) return;
  Full = on;
  SaveSettingChange("fullscreen");
}

void TPlayerState::SetLanguageSetting(const std::string& code) {
  if (Lang == code) return;
  Lang = code;
  SaveSettingChange("lang");
}

void TPlayerState::SaveSettingChange(const char* key) {
  SettingChanged[key] = ChangeTime();
  Sync(kSettingsFile, true);
}

json TPlayerState::ProgressJson() const {
  json progress{{"format", kFormat}};
  json& changed = progress["changed"] = json::object();
  for (auto [key, marks] : {std::pair{"won", &WonShipped}, std::pair{"won_own", &WonOwn}}) {
    json& won = progress[key] = json::array();
    json& times = changed[key] = json::object();
    for (const auto& [name, mark] : *marks) {
      if (mark.Won) won.push_back(name);
      if (mark.Changed) times[name] = mark.Changed;
    }
  }
  return progress;
}

json TPlayerState::SettingsJson() const {
  json settings{{"format", kFormat}, {"sound_muted", Muted}, {"volume", Volume}, {"fullscreen", Full}};
  if (!Lang.empty()) settings["lang"] = Lang;
  json& changed = settings["changed"] = json::object();
  for (const auto& [key, time] : SettingChanged)
    if (time) changed[key] = time;
  return settings;
}

bool TPlayerState::Sync(const char* name, bool force) {
  if (Dir.empty()) return false;
  std::error_code ec;
  fs::create_directories(Dir, ec);
  TFolderLock lock(Dir);
  const bool progress = std::string_view(name) == kProgressFile;
  json stored;
  std::string why;
  TFileRead read = ReadObject(Dir / name, SizeLimit(name), &stored, &why);
  bool changed = false;
  if (read == TFileRead::OK) {
    Damaged.erase(name);  // another copy kept the damaged one aside already
    changed = progress ? TakeProgress(stored, false) : TakeSettings(stored, false);
  } else if (read != TFileRead::MISSING && !Damaged.count(name)) {
    std::cerr << "kelvod: " << (Dir / name).string() << ": " << why << "; saving without it\n";
    Damaged.insert(name);
  }
  const json mine = progress ? ProgressJson() : SettingsJson();
  if (force || (read == TFileRead::OK && mine != stored)) Save(name, mine.dump(2));
  return changed;
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
