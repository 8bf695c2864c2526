// Reading the compiled message catalogues of gettext (".mo" files, made by
// msgfmt from the ".po" files translators edit). The format is small and
// documented in gettext's manual: a header of 32-bit words (magic number,
// revision, number of strings, offsets of the original and translated string
// tables), then per string its length and offset. The game reads it itself
// rather than through the C library's gettext, which picks catalogues only
// for locales installed on the system (and has none in a browser) and could
// not switch language while the game runs.
#pragma once

#include <string>
#include <unordered_map>

using TMessageCatalogue = std::unordered_map<std::string, std::string>;

// The translations of `path` by original text (the header entry, with an
// empty original, is left out, and so are entries without a translation).
// False with the reason in `error` when the file cannot be read or is not a
// whole catalogue; `out` is then left empty.
bool LoadMoFile(const std::string& path, TMessageCatalogue* out, std::string* error);
