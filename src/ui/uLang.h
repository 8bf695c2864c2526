// The language the game's texts are shown in. The game's own texts are the
// Russian ones written in the code; every other language is a gettext
// catalogue ("po/<lang>.po", compiled to "<lang>/LC_MESSAGES/kelvod.mo" in a
// catalogue folder) that maps each Russian text to its translation. A
// language without a catalogue, and a text missing from one, show the
// Russian text.
//
// Texts are marked for xgettext (tools/update_po.sh) in two ways:
//   Tr("...")   translated where it stands, for a text shown as it is made
//               (messages, questions);
//   N_("...")   left as it is, for a caption kept by a control and
//               translated when it is drawn (buttons, tooltips), so a change
//               of language shows at once.
#pragma once

#include <filesystem>
#include <initializer_list>
#include <string>
#include <vector>

constexpr const char* N_(const char* text) { return text; }

// The text in the current language.
std::string Tr(const std::string& text);
// The same for a text with "%s" in it: each "%s" of the translation is
// replaced by the next of `args`, in order.
std::string TrF(const std::string& text, std::initializer_list<std::string> args);

// The language of the game's own texts.
inline constexpr const char* kBaseLanguage = "ru";

// The folders searched, in order, for "<lang>/LC_MESSAGES/kelvod.mo".
void SetCatalogueDirs(std::vector<std::filesystem::path> dirs);
// Shows the game in `code` ("ru", "en", ...). A language other than the base
// one without a catalogue shows the Russian texts, with a message on stderr.
void SetLanguage(const std::string& code);
const std::string& Language();
// The base language and then every language a catalogue folder has, sorted.
std::vector<std::string> Languages();
// Whether `code` looks like a language code ("en", "pt_BR").
bool IsLanguageCode(const std::string& code);

// The language the player's locale asks for: the first of LANGUAGE (a list
// separated by ':'), LC_ALL, LC_MESSAGES and LANG that is set, reduced to its
// language ("en_GB.UTF-8" is "en"). The base language when it asks for it, a
// language of `available` when it asks for one of those, else English.
std::string LanguageFromLocale(const std::vector<std::string>& available);
