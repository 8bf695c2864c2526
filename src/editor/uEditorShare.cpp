// The author's proof (a test play won on the level as saved) and sharing a
// proven level as a code or, in the browser, a link.
#include <algorithm>

#include "editor/uEditor.h"
#include "engine/uSafeFile.h"
#include "level/uMapFile.h"
#include "level/uShareCode.h"
#include "sim/uWorld.h"
#include "ui/uDialog.h"
#include "ui/uLang.h"

namespace {
// The dialog shows the start of a long code; the clipboard holds it whole.
constexpr size_t kCodeShown = 32;
}  // namespace

void TEditor::StartProof() { Proof.Start(EncodeMap(*Map)); }

void TEditor::UpdateTestPlay() {
  if (Map->Running && !Map->Paused) Proof.Tick(eng_GetMouse());
  Map->Update();
  if (!Map->Running) {
    Proof.Stop();
    return;
  }
  // A level without a battery is won at once and proves nothing.
  if (!Proof.Recording() || !Map->World || Map->World->Batteries.empty() || !Map->AllBatteriesDelivered())
    return;
  Proof.Won();
  const TLevel* level = OpenedLevel();
  if (level && level->Writable() && !Dirty() && KeepProof(level->Path(), Saved.MapBytes))
    ShowMessage(Tr("Уровень пройден — решение сохранено"));
  else
    ShowMessage(Tr("Уровень пройден — решение сохранится вместе с уровнем"));
}

bool TEditor::KeepProof(const std::string& path, const std::string& played) {
  std::string bytes;
  if (ReadFileSafely(path, kMaxLevelFileBytes, &bytes) != TFileRead::OK) return false;
  const std::string solution = Proof.SolutionFor(played, bytes);
  std::string error;
  return !solution.empty() && SafeWriteFile(SolutionPathFor(path), solution, &error);
}

const TLevel* TEditor::OpenedLevel() const {
  if (FileName.empty() || !LevelMenu) return nullptr;
  const auto& levels = LevelMenu->Levels;
  auto it = std::find_if(levels.begin(), levels.end(),
                         [&](const TLevel& l) { return l.FileName == FileName && l.Dir == FileDir; });
  return it == levels.end() ? nullptr : &*it;
}

bool TEditor::Proven() const {
  const TLevel* level = OpenedLevel();
  return level && !Dirty() && LevelProven(level->Path(), !level->Own);
}

void TEditor::Share() {
  if (!Proven()) {
    ShowMessage(Tr("Сначала сохраните уровень и пройдите его в испытании"), true);
    return;
  }
  TSharedLevel shared;
  std::string error;
  if (!ReadLevelToShare(OpenedLevel()->Path(), &shared, &error)) {
    ShowMessage(Tr("Не удалось прочитать уровень"), true);
    return;
  }
  const std::string code = MakeShareCode(shared);
  const std::string page = eng_PageAddress();
  const std::string text = page.empty() ? code : page + "#" + code;
  eng_SetClipboardText(text);
  const std::string shown = text.size() > kCodeShown ? text.substr(0, kCodeShown) + "…" : text;
  std::string said = page.empty() ? TrF("Код уровня скопирован в буфер обмена: %s", {shown})
                                  : TrF("Ссылка на уровень скопирована в буфер обмена: %s", {shown});
  if (Manager) Manager->Dialog().Ask(std::move(said), {{"OK", nullptr}}, 0, 0);
}
