// What the game keeps of the player between runs, in the state folder
// ($XDG_STATE_HOME/kelvod): the levels won ("progress.json") and the
// settings ("settings.json"). Both are small JSON files written with
// SafeWriteFile (a file that is a link is written through to where it
// leads). They are read with ReadFileSafely: a file that is missing,
// unreadable, too large, not a regular file or not one the game wrote counts
// as empty (nothing won, the default settings) and never stops or holds up
// the game; before the first save replaces it, such a file is kept aside as
// "<name>.bad" (or ".bad-2"... next to earlier ones). Temporary files of
// saves cut short are removed as the state is read. Without a state folder
// (tests, runs on a named data folder) everything is kept in memory only.
#pragma once

#include <filesystem>
#include <nlohmann/json.hpp>
#include <set>
#include <string>

class TPlayerState {
 public:
  // `folder` empty: nothing is read or written.
  explicit TPlayerState(std::filesystem::path folder = {});

  // Reads both files; reports a damaged one on stderr.
  void Load();

  // Progress. A level is named by its file name and whether it is one of the
  // player's own (saved in the editor) rather than a shipped one.
  bool Won(const std::string& fileName, bool own) const;
  // Marks a level won (or forgets the mark) and saves the progress.
  void SetWon(const std::string& fileName, bool own, bool won = true);

  // Settings. Each setter saves the settings when the value changes.
  bool SoundMuted() const { return Muted; }
  void SetSoundMuted(bool muted);
  int SoundVolume() const { return Volume; }  // 0 to 100
  void SetSoundVolume(int volume);
  bool FullScreen() const { return Full; }
  void SetFullScreen(bool on);
  // The language the player chose ("ru", "en"; empty: none chosen yet).
  const std::string& LanguageSetting() const { return Lang; }
  void SetLanguageSetting(const std::string& code);

  const std::filesystem::path& Folder() const { return Dir; }
  static constexpr const char* kProgressFile = "progress.json";
  static constexpr const char* kSettingsFile = "settings.json";

 private:
  std::filesystem::path Dir;
  std::set<std::string> WonShipped, WonOwn;
  bool Muted = false;
  int Volume = 100;
  bool Full = false;
  std::string Lang;
  // The files found damaged by Load, to be kept aside before their first save.
  std::set<std::string> Damaged;

  void LoadSettings(const nlohmann::json& settings);
  void SaveProgress();
  void SaveSettings();
  void Save(const char* name, const std::string& text);
};

// The player's state for the running game (set up at start-up, null before
// and in tests that build scenes alone).
extern TPlayerState* PlayerState;
