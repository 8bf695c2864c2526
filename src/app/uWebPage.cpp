// The page around the browser build (tools/web/shell.html) shows its texts in
// the game's language: once the game runs, it asks the game for each of them
// through kelvod_tr, and for the language shown through kelvod_lang (checked
// again now and then, since the player may switch it in the main menu). The
// page's texts are listed here so that they reach the catalogues with the
// game's own; "%s" stands for a file name the page fills in. The page also
// asks whether a file brought in is a level (kelvod_check_level) and whether
// the editor holds unsaved work before the tab closes (kelvod_unsaved_work).
#include "app/uWebPage.h"

#include <nlohmann/json.hpp>
#include <string>

#include "app/uGlobals.h"
#include "editor/uEditor.h"
#include "level/uMap.h"
#include "level/uMapFile.h"
#include "scenes/uPlayerState.h"
#include "ui/uLang.h"

#ifdef __EMSCRIPTEN__
#include <emscripten/emscripten.h>
#endif

namespace {

[[maybe_unused]] const char* const kPageTexts[] = {
    N_("Уровни, сохранённые в редакторе"),
    N_("Сохранить выбранный уровень файлом .map"),
    N_("Скачать уровень"),
    N_("Добавить уровень из файла .map"),
    N_("Загрузить уровень"),
    N_("Загрузка…"),
    N_("Щёлкните по герою, чтобы включить лазер, наведите луч мышью и держите <b>левую кнопку</b>, "
       "чтобы раскалить его: пережигайте верёвки, взрывайте бомбы, отражайте луч зеркалами. "
       "Уровень пройден, когда все батарейки у героя."),
    N_("нет своих уровней"),
    N_("Браузер не дал скопировать ссылку: она выделена здесь, скопируйте её (Ctrl+C)"),
    N_("Браузер не сохранил последние изменения: скачайте свои уровни, чтобы не потерять их"),
    N_("Браузер не даёт хранить данные: уровни и прогресс пропадут, когда страница закроется"),
    N_("Уровень «%s» не найден"),
    N_("Файл «%s» больше 1 МБ: это не уровень"),
    N_("Уровень загружен как «%s»: он в списке уровней"),
    N_("Не удалось загрузить «%s»"),
    // The loading bar ("12,5 МБ из 20,1 МБ") and the page's failures.
    N_("МБ"),
    N_("%s из %s"),
    N_("Обновить страницу"),
    N_("Игра прервалась"),
    N_("Внутренняя ошибка: %s. Обновите страницу, чтобы играть дальше."),
    N_("Неверная командная строка"),
    N_("Уберите ?args= из адреса страницы."),
    N_("Игра завершилась с ошибкой"),
    N_("Пропущены записи, которые игра не читает: %s"),
    N_("Игра kelvod: щёлкните по полю, чтобы играть"),
    // Phones and tablets.
    N_("Полный экран"),
    N_("Игра во весь экран"),
    N_("Справка"),
    N_("Нагреть"),
    N_("Держите, чтобы раскалить луч"),
    N_("Поверните устройство: игра идёт в альбомной ориентации"),
    N_("Коснитесь героя, чтобы включить лазер, ведите луч пальцем по полю и держите другим пальцем "
       "кнопку <b>«Нагреть»</b>, чтобы раскалить его: пережигайте верёвки, взрывайте бомбы, отражайте "
       "луч зеркалами. Уровень пройден, когда все батарейки у героя."),
};

constexpr size_t kSkippedNamed = 10;  // the most records a warning names

}  // namespace

TLevelImport CheckImportedLevel(std::string_view bytes, const std::string& name) {
  TLevelImport result;
  if (bytes.empty() || bytes.size() % kMapRecordSize != 0) {
    result.Reason = TrF("«%s» не уровень: уровень состоит из записей по 80 байт, а в файле %s байт",
                        {name, std::to_string(bytes.size())});
    return result;
  }
  if (bytes.size() > kMaxLevelFileBytes) {
    result.Reason = TrF("«%s» не уровень: в нём больше %s записей", {name, std::to_string(kMaxMapRecords)});
    return result;
  }
  TMap map(kCellSize);
  TMapFileReport report;
  if (!ReadMapBytes(bytes, name, &map, nullptr, &report)) {
    result.Reason = TrF("Уровень «%s» не взят: %s", {name, report.OverBudget});
    return result;
  }
  if (report.Skipped == report.Records) {
    result.Reason = TrF("«%s» не уровень: ни одна его запись не читается как предмет или верёвка", {name});
    return result;
  }
  result.Taken = true;
  for (size_t i = 0; i < report.SkippedRecords.size() && i < kSkippedNamed; ++i)
    result.Skipped += (i ? ", " : "") + std::to_string(report.SkippedRecords[i]);
  if (report.SkippedRecords.size() > kSkippedNamed) result.Skipped += "…";
  return result;
}

#ifdef __EMSCRIPTEN__
extern "C" {

// The text in the game's language; valid until the next call.
EMSCRIPTEN_KEEPALIVE const char* kelvod_tr(const char* text) {
  static std::string shown;
  shown = text ? Tr(text) : std::string();
  return shown.c_str();
}

EMSCRIPTEN_KEEPALIVE const char* kelvod_lang() { return Language().c_str(); }

// The page brought in progress or settings that another tab stored: the game
// takes them in and stores back what only it holds (its wins are never lost).
EMSCRIPTEN_KEEPALIVE void kelvod_refresh_state() {
  if (PlayerState) PlayerState->Refresh();
}

// Whether "Загрузить уровень" may take the `size` bytes of the file `name`:
// {"taken": bool, "reason": text, "skipped": "3, 7"}; valid until the next call.
EMSCRIPTEN_KEEPALIVE const char* kelvod_check_level(const char* bytes, int size, const char* name) {
  static std::string answer;
  const TLevelImport check =
      CheckImportedLevel(std::string_view(bytes, size > 0 ? static_cast<size_t>(size) : 0), name ? name : "");
  answer = nlohmann::json{{"taken", check.Taken}, {"reason", check.Reason}, {"skipped", check.Skipped}}.dump();
  return answer.c_str();
}

// Whether closing the tab now would lose the editor's work: the page asks
// before the tab closes or reloads, as the game asks before it ends.
// The scene on the screen ("menu", "game", "editor"; "" before there is
// one): the page shows its heat control on touch screens only in play.
EMSCRIPTEN_KEEPALIVE const char* kelvod_scene() {
  return SceneManager && SceneManager->Current ? SceneManager->Current->Name() : "";
}

EMSCRIPTEN_KEEPALIVE int kelvod_unsaved_work() { return EditorScene && EditorScene->Doc.WouldLoseWork(); }

}  // extern "C"
#endif
