// The level the editor works on as a document: its map, hint and file, its
// undo history and whether it is saved, and the questions asked before work
// would be lost. Saving and opening happen here and nowhere else.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "editor/uEditorHistory.h"
#include "editor/uEditorProof.h"
#include "level/uMap.h"

class TLevelMenu;
class tSceneMng;
struct TLevel;

class TEditorDocument {
 public:
  TEditorDocument();
  ~TEditorDocument();
  TEditorDocument(const TEditorDocument&) = delete;
  TEditorDocument& operator=(const TEditorDocument&) = delete;

  std::unique_ptr<TMap> Map;
  std::string Hint;      // shown to the player; saved beside the level file
  std::string FileName;  // the level file last saved or opened; "" for a new level
  std::string FileDir;   // its folder, with a trailing separator
  TEditorHistory History;
  bool FileOwn = false;  // the file is among the player's own levels
  TEditorProof Proof;    // records test play; a win proves the level

  // What the document asks of the editor around it.
  tSceneMng* Manager = nullptr;  // asks its questions through the manager's dialog
  std::function<void()> Forget;  // the map is about to be emptied or replaced
  std::function<void(const std::string&, bool error)> Say;  // the message line
  std::function<bool()> ChooseFileToSave;  // shows the chooser in save mode; false without one

  // What a save would write now.
  TLevelState State() const;
  // The level differs from what was last saved or opened.
  bool Dirty() const;
  // Leaving now loses work unless the player is asked.
  bool WouldLoseWork() const { return Dirty() && !NotSaving; }
  // The edits made since the last step become one step.
  void Commit();
  // Back and forward one step; false when there is none.
  bool Undo();
  bool Redo();
  // An empty level without a file, with a history of its own.
  void NewLevel();
  // Runs `then` at once when no work would be lost; otherwise asks
  // "Сохранить изменения?" first: "Сохранить" saves and then runs it, "Не
  // сохранять" runs it (for this one action), "Отмена" does nothing.
  void AskToSave(std::function<void()> then);
  // Saves to the level's own file, or through the chooser for a new level or
  // one opened from the shipped levels (which are never written).
  void Save() {
    SaveThen([] {});
  }
  // Saves to `level` without a question (a new file of the player's own).
  bool SaveAs(const TLevel& level) { return Save(nullptr, level); }
  // The chooser's choice of a level to save to or to open.
  void LevelChosen(TLevelMenu& menu, int index);
  // Test play was won: the recording proves the level. True when the proof
  // is written beside the level's file at once (the file holds what is on
  // screen); otherwise the next save of these bytes writes it.
  bool TestPlayWon();
  // The level's file holds what is on screen, and its solution wins it.
  bool Proven() const;
  std::string FilePath() const { return FileDir + FileName; }
  // A save through the chooser waits for a choice; the chooser closed without one.
  void CancelPendingSave() { AfterSave = nullptr; }
  bool SavePending() const { return AfterSave != nullptr; }

 private:
  TLevelState Saved;      // what was last saved or opened
  // The level's file and hint as they were on the disk when this document
  // last read or wrote them: a save first checks that nobody (another
  // window, another program) changed them since.
  std::string OnDisk;
  bool NotSaving = false;  // "Не сохранять" was answered: its one action runs now
  std::function<void()> AfterSave;  // waits for a save through the chooser

  void Restore(const TLevelState& state);
  void MarkSaved(const TLevel& level);
  void SaveThen(std::function<void()> then);
  // The level's own file changed on the disk since it was opened or saved
  // here: asks whether to replace it, save as a new level or not save.
  void AskToReplaceChanged(const TLevel& own, std::function<void()> then);
  bool Save(TLevelMenu* menu, const TLevel& level);
  void Open(const TLevel& level);
  // Writes the proof beside the level file at `path` when it was won on
  // `played`, the map the file reads as.
  bool KeepProof(const std::string& path, const std::string& played);
  void Tell(const std::string& text, bool error = false) const {
    if (Say) Say(text, error);
  }
};
