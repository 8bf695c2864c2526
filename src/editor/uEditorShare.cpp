// Test play as the author's proof, and sharing a proven level as a code or,
// in the browser, a link.
#include "editor/uEditor.h"
#include "level/uLevelBudget.h"
#include "level/uMapFile.h"
#include "level/uShareCode.h"
#include "sim/uWorld.h"
#include "ui/uDialog.h"
#include "ui/uLang.h"

namespace {
// The dialog shows the start of a long code; the clipboard holds it whole.
constexpr size_t kCodeShown = 32;

// What the dialog shows of the copied text: the start of the code, after the
// page's file name for a link (its start is the same for every level).
std::string ShownPart(const std::string& page, const std::string& code) {
  std::string shown = code.size() > kCodeShown ? code.substr(0, kCodeShown) + "…" : code;
  if (page.empty()) return shown;
  return "…" + page.substr(page.find_last_of('/') + 1) + "#" + shown;
}

// What the dialog says once the code (or in the browser the link) went to the
// clipboard, or did not: a page shows a link it could not copy above the
// game, to copy by hand.
std::string SharedMessage(bool copied, const std::string& page, const std::string& code) {
  if (page.empty())
    return copied ? TrF("Код уровня скопирован в буфер обмена: %s", {ShownPart(page, code)})
                  : Tr("Не удалось скопировать код уровня в буфер обмена");
  return copied ? TrF("Ссылка на уровень скопирована в буфер обмена: %s", {ShownPart(page, code)})
                : Tr("Браузер не дал скопировать ссылку на уровень: она показана над игрой");
}
}  // namespace

void TEditor::StartTestPlay() {
  Tools.EmptyHand();
  Doc.Proof.Start(EncodeMap(*Doc.Map));
  if (Doc.Map->StartGame()) return;
  // The level asks too much of the physics: say what, rather than not start.
  Doc.Proof.Stop();
  ShowMessage(OverBudgetText(MeasureLevel(*Doc.Map)), true);
}

void TEditor::UpdateTestPlay() {
  TMap& map = *Doc.Map;
  if (map.Running && !map.Paused) Doc.Proof.Tick(eng_GetMouse());
  map.Update();
  if (!map.Running) {
    Doc.Proof.Stop();
    return;
  }
  // A level without a battery is won at once and proves nothing.
  if (!Doc.Proof.Recording() || !map.World || map.World->Batteries.empty() || !map.AllBatteriesDelivered())
    return;
  if (Doc.TestPlayWon())
    ShowMessage(Tr("Уровень пройден — решение сохранено"));
  else
    ShowMessage(Tr("Уровень пройден — решение сохранится вместе с уровнем"));
}

void TEditor::Share() {
  if (!Doc.Proven()) {
    ShowMessage(Tr("Сначала сохраните уровень и пройдите его в испытании"), true);
    return;
  }
  TSharedLevel shared;
  std::string error;
  if (!ReadLevelToShare(Doc.FilePath(), &shared, &error)) {
    ShowMessage(Tr("Не удалось прочитать уровень"), true);
    return;
  }
  const std::string code = MakeShareCode(shared);
  const std::string page = eng_PageAddress();
  const std::string text = page.empty() ? code : page + "#" + code;
  const bool copied = eng_SetClipboardText(text);
  if (Manager) Manager->Dialog().Ask(SharedMessage(copied, page, code), {{"OK", nullptr}}, 0, 0);
}
