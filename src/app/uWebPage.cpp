// The page around the browser build (tools/web/shell.html) shows its texts in
// the game's language: once the game runs, it asks the game for each of them
// through kelvod_tr, and for the language shown through kelvod_lang (checked
// again now and then, since the player may switch it in the main menu). The
// page's texts are listed here so that they reach the catalogues with the
// game's own; "%s" stands for a file name the page fills in.
#include "ui/uLang.h"

#ifdef __EMSCRIPTEN__
#include <emscripten/emscripten.h>
#endif

#include <string>

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
    N_("Браузер не сохранил последние изменения: скачайте свои уровни, чтобы не потерять их"),
    N_("Браузер не даёт хранить данные: уровни и прогресс пропадут, когда страница закроется"),
    N_("Уровень «%s» не найден"),
    N_("Файл «%s» больше 1 МБ: это не уровень"),
    N_("Уровень загружен как «%s»: он в списке уровней"),
    N_("Не удалось загрузить «%s»"),
};

}  // namespace

#ifdef __EMSCRIPTEN__
extern "C" {

// The text in the game's language; valid until the next call.
EMSCRIPTEN_KEEPALIVE const char* kelvod_tr(const char* text) {
  static std::string shown;
  shown = text ? Tr(text) : std::string();
  return shown.c_str();
}

EMSCRIPTEN_KEEPALIVE const char* kelvod_lang() { return Language().c_str(); }

}  // extern "C"
#endif
