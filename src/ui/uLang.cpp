#include "ui/uLang.h"

#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <set>

#include "engine/uMoFile.h"

namespace fs = std::filesystem;

namespace {

std::vector<fs::path> CatalogueDirs;
std::string Current = kBaseLanguage;
TMessageCatalogue Catalogue;

constexpr const char* kDomainFile = "LC_MESSAGES/kelvod.mo";

// "en_GB.UTF-8@euro" -> "en"
std::string LanguageOf(const std::string& locale) {
  return locale.substr(0, locale.find_first_of("_.@"));
}

}  // namespace

std::string Tr(const std::string& text) {
  if (Catalogue.empty()) return text;
  auto it = Catalogue.find(text);
  return it == Catalogue.end() ? text : it->second;
}

std::string TrF(const std::string& text, std::initializer_list<std::string> args) {
  const std::string format = Tr(text);
  std::string out;
  auto arg = args.begin();
  for (size_t i = 0; i < format.size(); ++i) {
    if (format.compare(i, 2, "%s") == 0 && arg != args.end()) {
      out += *arg++;
      ++i;
    } else {
      out += format[i];
    }
  }
  return out;
}

void SetCatalogueDirs(std::vector<fs::path> dirs) { CatalogueDirs = std::move(dirs); }

void SetLanguage(const std::string& code) {
  Current = code;
  Catalogue.clear();
  if (code == kBaseLanguage) return;
  std::string error;
  for (const fs::path& dir : CatalogueDirs) {
    const fs::path file = dir / code / kDomainFile;
    std::error_code ec;
    if (!fs::is_regular_file(file, ec)) continue;
    if (LoadMoFile(file.string(), &Catalogue, &error)) return;
    std::cerr << "kelvod: " << error << "\n";
  }
  if (error.empty())
    std::cerr << "kelvod: no catalogue for the language \"" << code
              << "\"; its texts are shown in Russian\n";
}

const std::string& Language() { return Current; }

std::vector<std::string> Languages() {
  std::set<std::string> found;
  for (const fs::path& dir : CatalogueDirs) {
    std::error_code ec;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
      const std::string code = it->path().filename().string();
      std::error_code ec2;
      if (IsLanguageCode(code) && fs::is_regular_file(it->path() / kDomainFile, ec2))
        found.insert(code);
    }
  }
  found.erase(kBaseLanguage);
  std::vector<std::string> codes{kBaseLanguage};
  codes.insert(codes.end(), found.begin(), found.end());
  return codes;
}

bool IsLanguageCode(const std::string& code) {
  if (code.size() < 2 || code.size() > 8) return false;
  return std::all_of(code.begin(), code.end(),
                     [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; });
}

std::string LanguageFromLocale(const std::vector<std::string>& available) {
  for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = std::getenv(name);
    if (!value || !*value) continue;
    std::string list = value;
    // LANGUAGE lists languages by preference; the first one the game has wins.
    for (size_t start = 0; start <= list.size();) {
      size_t end = list.find(':', start);
      if (end == std::string::npos) end = list.size();
      const std::string lang = LanguageOf(list.substr(start, end - start));
      if (lang == kBaseLanguage) return kBaseLanguage;
      if (std::find(available.begin(), available.end(), lang) != available.end()) return lang;
      start = end + 1;
    }
    return "en";
  }
  return "en";
}
