#include "editor/uEditorDocument.h"

#include <algorithm>
#include <filesystem>

#include "engine/uSafeFile.h"
#include "level/uLevelBudget.h"
#include "level/uLevelHint.h"
#include "level/uMapFile.h"
#include "level/uLevelSolution.h"
#include "level/uShareCode.h"
#include "scenes/uLevelMenu.h"
#include "scenes/uPlayerState.h"
#include "sim/uBattery.h"
#include "sim/uRope.h"
#include "ui/uDialog.h"
#include "ui/uLang.h"
#include "ui/uScene.h"

namespace {

// The level file's bytes and its hint as the disk holds them now ("" for
// what is missing), to tell whether they changed.
std::string DiskContent(const std::string& path) {
  std::string bytes;
  if (ReadFileSafely(path, kMaxLevelFileBytes, &bytes) != TFileRead::OK) bytes.clear();
  return bytes + '\0' + LoadLevelHint(path);
}

}  // namespace

TEditorDocument::TEditorDocument() : Map(std::make_unique<TMap>(kCellSize)) {}

TEditorDocument::~TEditorDocument() = default;

// --- state and history ---

TLevelState TEditorDocument::State() const { return {EncodeMap(*Map), Hint}; }

bool TEditorDocument::Dirty() const { return !(State() == Saved); }

void TEditorDocument::Commit() {
  // A rope's own position (written to the file) follows its ends when it is
  // drawn; bring it up to date first so a moved end makes one step, not two.
  for (auto& rope : Map->Ropes) rope->FollowEnds();
  History.Commit(State());
}

void TEditorDocument::Restore(const TLevelState& state) {
  if (Forget) Forget();
  Map->Clear();
  DecodeMap(state.MapBytes, Map.get());
  for (auto& rope : Map->Ropes) rope->FollowEnds();
  Hint = state.Hint;
}

bool TEditorDocument::Undo() {
  History.Commit(State());
  const TLevelState* state = History.Undo();
  if (state) Restore(*state);
  return state != nullptr;
}

bool TEditorDocument::Redo() {
  History.Commit(State());
  const TLevelState* state = History.Redo();
  if (state) Restore(*state);
  return state != nullptr;
}

void TEditorDocument::MarkSaved(const TLevel& level) {
  FileName = level.FileName;
  FileDir = level.Dir;
  FileOwn = level.Own;
  Saved = State();
  OnDisk = FileName.empty() ? "" : DiskContent(FilePath());
}

void TEditorDocument::NewLevel() {
  if (Forget) Forget();
  Map->Clear();
  Hint.clear();
  MarkSaved(TLevel{});
  // A new level has a history of its own: undo never brings back the last one.
  History.Reset(State());
}

// --- questions before work is lost ---

void TEditorDocument::AskToSave(std::function<void()> then) {
  if (!WouldLoseWork() || !Manager) {
    then();
    return;
  }
  Manager->Dialog().Ask(Tr("Сохранить изменения?"),
                        {{Tr("Сохранить"), [this, then] { SaveThen(then); }},
                         {Tr("Не сохранять"),
                          [this, then] {
                            // The answer holds for this one way out only.
                            NotSaving = true;
                            then();
                            NotSaving = false;
                          }},
                         {Tr("Отмена"), nullptr}},
                        0, 2);
}

// Saves to the level's own file, or through the chooser for a new level or
// one opened from the shipped levels (which are never written); `then` runs
// once the level is saved.
void TEditorDocument::SaveThen(std::function<void()> then) {
  const TLevel own{FileName, TLevelMenu::CaptionOf(FileName), FileDir, true};
  if (!FileName.empty() && own.Writable()) {
    if (Manager && DiskContent(own.Path()) != OnDisk) {
      AskToReplaceChanged(own, std::move(then));
      return;
    }
    if (Save(nullptr, own)) then();
    return;
  }
  if (ChooseFileToSave && ChooseFileToSave()) AfterSave = std::move(then);
}

void TEditorDocument::AskToReplaceChanged(const TLevel& own, std::function<void()> then) {
  auto replace = [this, own, then] {
    if (Save(nullptr, own)) then();
  };
  auto saveNew = [this, then] {
    if (ChooseFileToSave && ChooseFileToSave()) AfterSave = then;
  };
  Manager->Dialog().Ask(
      TrF("Уровень %s изменён в другом окне после того, как вы его открыли. Заменить его вашим?",
          {TLevelMenu::CaptionOf(own.FileName)}),
      {{Tr("Заменить"), replace}, {Tr("Сохранить копию"), saveNew}, {Tr("Отмена"), nullptr}}, 0, 2);
}

// --- the chooser's choice ---

void TEditorDocument::LevelChosen(TLevelMenu& menu, int index) {
  if (index < 0 || index >= static_cast<int>(menu.Levels.size())) return;
  const TLevel level = menu.Levels[index];
  if (!menu.SaveMode) {
    menu.Visible = false;
    Open(level);
    return;
  }
  if (!level.Writable()) return;  // a shipped level is never written over
  // Only a level file is replaced after asking; a folder in the way just fails.
  std::error_code ec;
  if (!std::filesystem::is_regular_file(level.Path(), ec) || !Manager) {
    Save(&menu, level);
    return;
  }
  TLevelMenu* chooser = &menu;
  Manager->Dialog().Ask(TrF("Заменить уровень %s?", {TLevelMenu::CaptionOf(level.FileName)}),
                        {{Tr("Да"), [this, chooser, level] { Save(chooser, level); }},
                         {Tr("Нет"), nullptr}},
                        0, 1);
}

// Writes the level and its hint. A failure is said in the chooser (which
// stays open) or, without one, on the message line.
bool TEditorDocument::Save(TLevelMenu* menu, const TLevel& level) {
  const std::string path = level.Path();
  auto fail = [&](const std::string& why) {
    const std::string text = TrF("Не удалось сохранить уровень: %s", {why});
    if (menu)
      menu->ErrorMessage = text;
    else
      Tell(text, true);
    return false;
  };
  // A level the game would refuse to load is not written.
  if (std::string over = OverBudgetText(MeasureLevel(*Map)); !over.empty()) return fail(over);
  std::error_code ec;
  std::filesystem::create_directories(level.Dir, ec);  // the first level of a new folder
  std::string error;
  if (!Map->SaveToFile(path, &error)) {
    // The reason without the path before it ("cannot save the level "...": why).
    const size_t cut = error.rfind("\": ");
    return fail(cut == std::string::npos ? error : error.substr(cut + 3));
  }
  // A changed level has not been won yet; a test play won on these bytes proves it.
  if (PlayerState) PlayerState->SetWon(level.FileName, level.Own, false);
  KeepProof(path, EncodeMap(*Map));
  if (!SaveLevelHint(path, Hint, &error)) {
    // The level is written, its hint is not: what is on the disk now counts as saved.
    FileName = level.FileName;
    FileDir = level.Dir;
    FileOwn = level.Own;
    Saved = {EncodeMap(*Map), LoadLevelHint(path)};
    OnDisk = DiskContent(path);
    if (menu)
      menu->ErrorMessage = Tr("Уровень сохранён, но подсказку записать не удалось");
    else
      Tell(Tr("Уровень сохранён, но подсказку записать не удалось"), true);
    return false;
  }
  MarkSaved(level);
  // Without a battery a level is won the moment it starts: say so.
  const bool battery = std::any_of(Map->Objects.begin(), Map->Objects.end(),
                                   [](const auto& o) { return dynamic_cast<TBattery*>(o.get()); });
  const std::string caption = TLevelMenu::CaptionOf(level.FileName);
  if (battery)
    Tell(TrF("Уровень сохранён: %s", {caption}));
  else
    Tell(TrF("Уровень %s сохранён, но в нём нет батареи: он пройден сразу, это не головоломка",
             {caption}),
         true);
  if (menu) menu->Visible = false;
  if (AfterSave) {
    std::function<void()> then = std::move(AfterSave);
    AfterSave = nullptr;
    then();
  }
  return true;
}

// Replaces the map with the level's, read as the game reads it, unless the
// file cannot be read, asks too much of the physics or holds nothing usable:
// then the map stays as it was and the message line says why. Records left
// out are counted, since saving writes only what was kept.
void TEditorDocument::Open(const TLevel& level) {
  const std::string path = level.Path();
  const std::string caption = TLevelMenu::CaptionOf(level.FileName);
  const TLevelState before = State();
  if (Forget) Forget();
  Map->Clear();
  TMapFileReport report;
  const bool read = ReadMapFile(path, Map.get(), nullptr, &report);
  if (!read || (report.Records > 0 && Map->Objects.empty())) {
    Restore(before);
    const std::string why = report.Unreadable          ? Tr("файл не читается")
                            : !report.OverBudget.empty() ? report.OverBudget
                                                         : Tr("файл повреждён");
    Tell(TrF("Не удалось открыть уровень %s: %s", {caption, why}), true);
    return;
  }
  for (auto& rope : Map->Ropes) rope->FollowEnds();
  Hint = LoadLevelHint(path);
  MarkSaved(level);
  // So has an opened one: what undo brings back is always this level's.
  History.Reset(State());
  if (report.Cut)
    Tell(TrF("Уровень %s открыт не полностью: прочитаны первые %s записей",
             {caption, std::to_string(kMaxMapRecords)}),
         true);
  else if (report.Skipped > 0)
    Tell(TrF("Уровень %s открыт не полностью: пропущено записей: %s из %s",
             {caption, std::to_string(report.Skipped), std::to_string(report.Records)}),
         true);
  else
    Tell(TrF("Открыт уровень %s", {caption}));
}

// --- the author's proof ---

bool TEditorDocument::KeepProof(const std::string& path, const std::string& played) {
  std::string bytes;
  if (ReadFileSafely(path, kMaxLevelFileBytes, &bytes) != TFileRead::OK) return false;
  const std::string solution = Proof.SolutionFor(played, bytes);
  std::string error;
  return !solution.empty() && SafeWriteFile(LevelSolutionPath(path), solution, &error);
}

bool TEditorDocument::TestPlayWon() {
  Proof.Won();
  const TLevel level{FileName, "", FileDir, FileOwn};
  return !FileName.empty() && level.Writable() && !Dirty() && KeepProof(FilePath(), Saved.MapBytes);
}

bool TEditorDocument::Proven() const {
  return !FileName.empty() && !Dirty() && LevelProven(FilePath(), !FileOwn);
}
