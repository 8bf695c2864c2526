#include "engine/uMoFile.h"

#include <cstdint>
#include <fstream>
#include <sstream>

namespace {

constexpr uint32_t kMagic = 0x950412de;
constexpr uint32_t kMagicSwapped = 0xde120495;
constexpr size_t kMaxFile = 16u << 20;  // far above any catalogue of the game

class TMoReader {
 public:
  explicit TMoReader(std::string data) : Data(std::move(data)) {}

  bool Read(TMessageCatalogue* out, std::string* why) {
    uint32_t magic = 0, revision = 0, count = 0, originals = 0, translations = 0;
    if (!Word(0, &magic) || (magic != kMagic && magic != kMagicSwapped)) {
      *why = "not a compiled message catalogue";
      return false;
    }
    Swapped = magic == kMagicSwapped;
    if (!Word(4, &revision) || !Word(8, &count) || !Word(12, &originals) ||
        !Word(16, &translations) || (revision >> 16) > 1) {
      *why = "unknown catalogue revision or a cut header";
      return false;
    }
    for (uint32_t i = 0; i < count; ++i) {
      std::string original, translated;
      if (!String(originals + 8ull * i, &original) ||
          !String(translations + 8ull * i, &translated)) {
        *why = "string " + std::to_string(i) + " lies outside the file";
        return false;
      }
      // Plural forms follow the first form after a NUL: the game has none, so
      // the first form stands for the whole entry.
      original = original.substr(0, original.find('\0'));
      translated = translated.substr(0, translated.find('\0'));
      if (!original.empty() && !translated.empty()) (*out)[original] = translated;
    }
    return true;
  }

 private:
  std::string Data;
  bool Swapped = false;

  bool Word(uint64_t at, uint32_t* value) const {
    if (at + 4 > Data.size()) return false;
    uint32_t v = 0;
    for (int b = 0; b < 4; ++b) {
      const uint32_t byte = static_cast<unsigned char>(Data[at + b]);
      v |= Swapped ? byte << (8 * (3 - b)) : byte << (8 * b);
    }
    *value = v;
    return true;
  }

  bool String(uint64_t entry, std::string* out) const {
    uint32_t length = 0, offset = 0;
    if (!Word(entry, &length) || !Word(entry + 4, &offset)) return false;
    if (static_cast<uint64_t>(offset) + length > Data.size()) return false;
    *out = Data.substr(offset, length);
    return true;
  }
};

}  // namespace

bool LoadMoFile(const std::string& path, TMessageCatalogue* out, std::string* error) {
  out->clear();
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    *error = path + ": cannot be read";
    return false;
  }
  std::ostringstream data;
  data << in.rdbuf();
  if (data.str().size() > kMaxFile) {
    *error = path + ": too large for a catalogue";
    return false;
  }
  std::string why;
  if (!TMoReader(data.str()).Read(out, &why)) {
    out->clear();
    *error = path + ": " + why;
    return false;
  }
  return true;
}
