#!/usr/bin/env bash
# Gathers the texts the game shows from src/ (marked Tr("..."), TrF("...") or
# N_("...")) into the template po/kelvod.pot and merges it into every
# po/<lang>.po: new texts come in untranslated, texts gone from the code are
# kept as obsolete (#~) entries. Translate the new entries (Poedit, Weblate or
# any text editor), then rebuild: msgfmt compiles the catalogues.
# A new language: msginit -i po/kelvod.pot -l <lang> -o po/<lang>.po --no-translator
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/packages.sh
install_missing gettext
find src -name '*.cpp' -o -name '*.h' | LC_ALL=C sort |
  xgettext --files-from=- --from-code=UTF-8 --language=C++ --keyword=Tr --keyword=TrF --keyword=N_ \
    --add-comments=TRANSLATORS: --sort-by-file --package-name=kelvod --no-location \
    --copyright-holder="kelvod contributors" -o po/kelvod.pot.new
# Only the creation date would differ: keep the old template then.
if [ -f po/kelvod.pot ] &&
   diff -q <(grep -v '^"POT-Creation-Date' po/kelvod.pot) \
           <(grep -v '^"POT-Creation-Date' po/kelvod.pot.new) >/dev/null; then
  rm po/kelvod.pot.new
else
  mv po/kelvod.pot.new po/kelvod.pot
fi
for po in po/*.po; do
  [ -e "$po" ] || continue
  msgmerge --quiet --update --backup=none --no-wrap "$po" po/kelvod.pot
done
