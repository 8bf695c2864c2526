#include "level/uShareCode.h"

#include <array>
#include <cstdlib>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <vector>
#include <zlib.h>

#include "engine/uParse.h"
#include "engine/uSafeFile.h"
#include "level/uLevelBudget.h"
#include "level/uLevelHint.h"
#include "level/uLevelSolution.h"
#include "level/uMap.h"
#include "level/uMapFile.h"
#include "level/uReplayFile.h"
#include "ui/uLang.h"

namespace {

// Packed and unpacked, a code holds at most what a level file may hold.
constexpr size_t kMaxPacked = kMaxLevelFileBytes;
constexpr size_t kMaxUnpacked = kMaxLevelFileBytes;
constexpr size_t kMaxCodeChars = 4 + (kMaxPacked * 4 + 2) / 3;

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";

std::string Base64Url(std::string_view bytes) {
  std::string out;
  out.reserve((bytes.size() * 4 + 2) / 3);
  uint32_t bits = 0;
  int count = 0;
  for (unsigned char c : bytes) {
    bits = (bits << 8) | c;
    count += 8;
    while (count >= 6) out += kAlphabet[(bits >> (count -= 6)) & 63];
  }
  if (count > 0) out += kAlphabet[(bits << (6 - count)) & 63];
  return out;
}

int Base64Value(char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '-' || c == '+') return 62;  // '+' and '/': standard base64, as some mailers rewrite it
  if (c == '_' || c == '/') return 63;
  return -1;
}

// False when a character is not of the alphabet; '=' padding at the end is allowed.
bool FromBase64Url(std::string_view text, std::string* bytes, char* bad) {
  while (!text.empty() && text.back() == '=') text.remove_suffix(1);
  uint32_t bits = 0;
  int count = 0;
  for (char c : text) {
    const int v = Base64Value(c);
    if (v < 0) return *bad = c, false;
    bits = (bits << 6) | static_cast<uint32_t>(v);
    count += 6;
    if (count >= 8) bytes->push_back(static_cast<char>((bits >> (count -= 8)) & 0xFF));
  }
  return true;
}

std::string Deflate(std::string_view bytes) {
  uLongf size = compressBound(static_cast<uLong>(bytes.size()));
  std::string out(size, '\0');
  compress2(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(bytes.data()),
            static_cast<uLong>(bytes.size()), Z_BEST_COMPRESSION);
  out.resize(size);
  return out;
}

// Unpacks at most `limit` bytes; "" on success, else what is wrong.
std::string Inflate(std::string_view packed, size_t limit, std::string* out) {
  z_stream z{};
  if (inflateInit(&z) != Z_OK) return "zlib cannot start";
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(packed.data()));
  z.avail_in = static_cast<uInt>(packed.size());
  std::array<char, 16384> chunk;
  int status = Z_OK;
  while (status == Z_OK) {
    z.next_out = reinterpret_cast<Bytef*>(chunk.data());
    z.avail_out = chunk.size();
    status = inflate(&z, Z_NO_FLUSH);
    out->append(chunk.data(), chunk.size() - z.avail_out);
    if (out->size() > limit) status = Z_MEM_ERROR;
  }
  const bool trailing = status == Z_STREAM_END && z.avail_in > 0;
  inflateEnd(&z);
  if (out->size() > limit) return "it unpacks to more than " + std::to_string(limit) + " bytes";
  if (status != Z_STREAM_END) return "its packed data is damaged or cut short";
  if (trailing) return "it has data after its end";
  return "";
}

void PutField(std::string* out, std::string_view field) {
  const auto n = static_cast<uint32_t>(field.size());
  for (int i = 0; i < 4; ++i) out->push_back(static_cast<char>((n >> (8 * i)) & 0xFF));
  out->append(field);
}

bool TakeField(std::string_view* in, std::string* field) {
  if (in->size() < 4) return false;
  uint32_t n = 0;
  for (int i = 0; i < 4; ++i) n |= static_cast<uint32_t>(static_cast<unsigned char>((*in)[i])) << (8 * i);
  in->remove_prefix(4);
  if (n > in->size()) return false;
  field->assign(in->substr(0, n));
  in->remove_prefix(n);
  return true;
}

bool Fail(TShareError* error, const std::string& text, const std::string& playerText) {
  if (error) *error = {"the share code cannot be opened: " + text, TrF("Код не открывается: %s", {playerText})};
  return false;
}

// The level must load whole and within the physics budget.
bool CheckLevel(const std::string& bytes, TShareError* error) {
  if (bytes.empty() || bytes.size() % kMapRecordSize != 0)
    return Fail(error, "its level is not a whole number of 80-byte records",
                Tr("уровень в нём повреждён"));
  TMap map(kCellSize);
  if (DecodeMap(bytes, &map, "the shared level") != 0)
    return Fail(error, "its level holds records the game cannot use", Tr("уровень в нём повреждён"));
  const TLevelCost cost = MeasureLevel(map);
  if (const std::string over = OverBudget(cost); !over.empty())
    return Fail(error, "its level asks too much of the physics: " + over,
                TrF("уровень слишком тяжёл для игры: %s", {OverBudgetText(cost)}));
  return true;
}

// A solution travels with each tick counted from the event before and each
// pointer position from the move before ("12 move -3 5"): a recording's
// lines then repeat, and pack to a fraction of their size. Comments are left out.
std::string CompactSolution(const std::string& text) {
  std::istringstream in(text);
  std::vector<TReplayEvent> events;
  std::string problem;
  if (!ParseReplay(in, "solution", &events, &problem)) return "";
  std::string out;
  uint64_t tick = 0;
  int x = 0, y = 0;
  for (const TReplayEvent& e : events) {
    out += std::to_string(e.Tick - tick);
    tick = e.Tick;
    if (e.kind == TReplayEvent::MOVE) {
      out += " move " + std::to_string(e.X - x) + " " + std::to_string(e.Y - y) + "\n";
      x = e.X, y = e.Y;
    } else {
      const std::string line = FormatReplayEvent(e);
      out += line.substr(line.find(' ')) + "\n";
    }
  }
  return out;
}

// The replay text of a compact solution; "" with `problem` set when a line is
// not one (ParseReplay checks the rest).
std::string ExpandSolution(const std::string& compact, std::string* problem) {
  constexpr int64_t kMaxStep = 2 * kReplayCoordinateLimit;
  constexpr uint64_t kMaxTick = 1000000000;  // some 170 days of play
  std::istringstream in(compact);
  std::string out, line;
  uint64_t tick = 0;
  int64_t x = 0, y = 0;
  for (int number = 1; std::getline(in, line); ++number) {
    std::istringstream words(line);
    std::string step, kind, dx, dy, more;
    words >> step >> kind;
    uint64_t delta = 0;
    int64_t mx = 0, my = 0;
    if (!ParseNumber(step, &delta) || delta > kMaxTick || (tick += delta) > kMaxTick) {
      *problem = "line " + std::to_string(number) + " does not start with a tick step";
      return "";
    }
    if (kind == "move") {
      words >> dx >> dy;
      if (!ParseNumber(dx, &mx) || !ParseNumber(dy, &my) || std::abs(mx) > kMaxStep ||
          std::abs(my) > kMaxStep || (words >> more)) {
        *problem = "line " + std::to_string(number) + " is not a pointer move";
        return "";
      }
      x += mx, y += my;
      out += std::to_string(tick) + " move " + std::to_string(x) + " " + std::to_string(y) + "\n";
    } else {
      out += std::to_string(tick) + line.substr(std::min(line.size(), line.find(' '))) + "\n";
    }
  }
  return out;
}

bool ReadPayload(std::string_view payload, TSharedLevel* level, TShareError* error) {
  if (!TakeField(&payload, &level->MapBytes) || !TakeField(&payload, &level->Hint) ||
      !TakeField(&payload, &level->Solution) || !payload.empty())
    return Fail(error, "its content is not a level, a hint and a solution", Tr("код повреждён"));
  if (!CheckLevel(level->MapBytes, error)) return false;
  // Measured as it will be kept: mending invalid UTF-8 can make a hint longer,
  // and a code made again from what was read must still be accepted.
  level->Hint = NormalizeHint(level->Hint);
  if (level->Hint.size() > kMaxHintBytes)
    return Fail(error, "its hint is longer than " + std::to_string(kMaxHintBytes) + " bytes",
                Tr("подсказка в нём слишком длинная"));
  std::string problem;
  level->Solution = ExpandSolution(level->Solution, &problem);
  std::istringstream in(level->Solution);
  std::vector<TReplayEvent> events;
  if (!problem.empty() || !ParseReplay(in, "solution", &events, &problem))
    return Fail(error, "its solution is not a replay (" + problem + ")", Tr("решение в нём повреждено"));
  return true;
}

std::string_view Trim(std::string_view s) {
  const size_t first = s.find_first_not_of(" \t\r\n");
  if (first == std::string_view::npos) return {};
  return s.substr(first, s.find_last_not_of(" \t\r\n") - first + 1);
}

// Reads at most `limit` bytes of a regular file without ever blocking; false
// when it cannot be read or is longer.
bool ReadBounded(const std::string& path, size_t limit, std::string* bytes) {
  return ReadFileSafely(path, limit, bytes) == TFileRead::OK;
}

bool IsProofLine(std::string_view line) { return line.rfind("# proves level ", 0) == 0; }

}  // namespace

std::string MakeShareCode(const TSharedLevel& level) {
  std::string payload;
  PutField(&payload, level.MapBytes);
  PutField(&payload, level.Hint);
  PutField(&payload, CompactSolution(level.Solution));
  return kShareCodePrefix + Base64Url(Deflate(payload));
}

std::string_view CodeOfLink(std::string_view text) {
  text = Trim(text);
  const size_t hash = text.rfind('#');
  return hash == std::string_view::npos ? text : Trim(text.substr(hash + 1));
}

bool ReadShareCode(std::string_view text, TSharedLevel* level, TShareError* error) {
  *level = {};
  const std::string_view code = CodeOfLink(text);
  if (code.empty()) return Fail(error, "it is empty", Tr("код пуст"));
  if (code.size() > kMaxCodeChars)
    return Fail(error, "it is longer than " + std::to_string(kMaxCodeChars) + " characters",
                Tr("код слишком длинный"));
  const std::string_view prefix(kShareCodePrefix);
  if (code.substr(0, prefix.size()) != prefix) {
    if (code.size() > 3 && code[0] == 'k' && code[1] == 'v' && code.find('.') < 8)
      return Fail(error, "it was made by another version of the game (it does not begin with \"" +
                             std::string(prefix) + "\")",
                  Tr("он сделан другой версией игры"));
    return Fail(error, "it is not a level code (a level code begins with \"" + std::string(prefix) + "\")",
                Tr("это не код уровня"));
  }
  std::string packed;
  char bad = 0;
  if (!FromBase64Url(code.substr(prefix.size()), &packed, &bad))
    return Fail(error, std::string("it holds the character \"") + bad + "\", which no code has",
                Tr("в нём есть лишние знаки"));
  std::string payload;
  if (std::string problem = Inflate(packed, kMaxUnpacked, &payload); !problem.empty())
    return Fail(error, problem, Tr("код повреждён или обрезан"));
  if (ReadPayload(payload, level, error)) return true;
  *level = {};
  return false;
}

std::string ProofLine(std::string_view mapBytes) {
  const uLong crc = crc32(0L, reinterpret_cast<const Bytef*>(mapBytes.data()),
                          static_cast<uInt>(mapBytes.size()));
  char hex[9];
  std::snprintf(hex, sizeof hex, "%08lx", static_cast<unsigned long>(crc));
  return std::string("# proves level crc32 ") + hex + " size " + std::to_string(mapBytes.size());
}

std::string StripProofLines(const std::string& solution) {
  std::istringstream in(solution);
  std::string out;
  for (std::string line; std::getline(in, line);)
    if (!IsProofLine(line)) out += line + "\n";
  return out;
}

std::string WithProofLine(const std::string& solution, std::string_view mapBytes) {
  return ProofLine(mapBytes) + "\n" + StripProofLines(solution);
}

bool SolutionProves(const std::string& solution, std::string_view mapBytes) {
  const std::string wanted = ProofLine(mapBytes);
  std::istringstream in(solution);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line == wanted) return true;
  }
  return false;
}

std::string LoadSolution(const std::string& levelPath) {
  std::string text;
  if (!ReadBounded(LevelSolutionPath(levelPath), kMaxLevelFileBytes, &text)) return "";
  std::istringstream in(text);
  std::vector<TReplayEvent> events;
  std::string problem;
  return ParseReplay(in, "solution", &events, &problem) ? text : "";
}

bool LevelProven(const std::string& levelPath, bool trustPlain) {
  const std::string solution = LoadSolution(levelPath);
  std::string bytes;
  if (solution.empty() || !ReadBounded(levelPath, kMaxLevelFileBytes, &bytes)) return false;
  if (SolutionProves(solution, bytes)) return true;
  return trustPlain && solution.find("# proves level ") == std::string::npos;
}

bool ReadLevelToShare(const std::string& levelPath, TSharedLevel* level, std::string* error) {
  std::string bytes;
  if (!ReadBounded(levelPath, kMaxLevelFileBytes, &bytes)) {
    *error = levelPath + ": cannot read the level file (missing, unreadable or larger than " +
             std::to_string(kMaxLevelFileBytes) + " bytes)";
    return false;
  }
  TMap map(kCellSize);
  if (!ReadMapBytes(bytes, levelPath, &map, error)) return false;
  level->MapBytes = EncodeMap(map);
  if (level->MapBytes.empty()) {
    *error = levelPath + ": the level is empty";
    return false;
  }
  level->Hint = LoadLevelHint(levelPath);
  level->Solution = StripProofLines(LoadSolution(levelPath));
  return true;
}
