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
//
// Several copies of the game (two windows, two browser tabs) may share the
// folder. Every value is kept with the time it last changed ("changed" in
// each file), and every save reads the file again and keeps, value by value,
// the newer change: a level won in one window stays won when another saves,
// and a setting changed in one is never put back by another that did not
// touch it. On a tie a win is kept. The read and the write take turns with
// the other copies' through a lock on the folder.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <nlohmann/json.hpp>
#include <set>
#include <string>

class TPlayerState {
 public:
  // `folder` empty: nothing is read or written.
  explicit TPlayerState(std::filesystem::path folder = {});

  // Reads both files; reports a damaged one on stderr.
  void Load();
  // Takes in what other copies of the game saved since, and saves back what
  // only this one holds. Returns whether anything this copy holds changed.
  bool Refresh();

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
  // A level's mark and when it was last set (milliseconds since 1970; 0:
  // before changes were timed).
  struct TMark {
    bool Won = false;
    int64_t Changed = 0;
  };
  using TMarks = std::map<std::string, TMark>;

  std::filesystem::path Dir;
  TMarks WonShipped, WonOwn;
  std::map<std::string, int64_t> SettingChanged;  // by the setting's key in the file
  bool Muted = false;
  int Volume = 100;
  bool Full = false;
  std::string Lang;
  // The files found damaged by Load, to be kept aside before their first save.
  std::set<std::string> Damaged;

  // Take what `stored` (a file's object) holds that is newer than this
  // copy's (with `all`, everything).
  bool TakeProgress(const nlohmann::json& stored, bool all);
  bool TakeSettings(const nlohmann::json& stored, bool all);
  nlohmann::json ProgressJson() const;
  nlohmann::json SettingsJson() const;
  // Reads the file `name` again, takes in what is newer there and writes the
  // result: always with `force`, else only when the file lacks something.
  bool Sync(const char* name, bool force);
  void SaveSettingChange(const char* key);
  void Save(const char* name, const std::string& text);
};

// The player's state for the running game (set up at start-up, null before
// and in tests that build scenes alone).
extern TPlayerState* PlayerState;
