// Sharing a level without a server: the level, its hint and its author's
// solution packed into one line of text (a share code), and the author's
// proof that the level can be won.
//
// A share code is "kv1." followed by the URL-safe base64 (RFC 4648, no
// padding) of the zlib-compressed payload: three fields, each a 32-bit
// little-endian length and that many bytes: the level file, the hint (UTF-8)
// and the solution (a replay counted from the level's start). A link is any
// text whose part after its last '#' is a code, such as a link to the browser
// page. A code is untrusted input: it is bounded before and after unpacking,
// its level must load whole and within the physics budget and its solution
// must be a well-formed replay; anything else is refused with the reason.
//
// The proof: a level's solution lies beside it as "<level>.solution". The
// author's proof carries a comment line naming the content of the level it
// was won on ("# proves level crc32 1a2b3c4d size 960", the zlib CRC-32 and
// the size of the level file's bytes), so a proof of a level edited since is
// void. Replay readers skip the line as a comment.
#pragma once

#include <string>
#include <string_view>

constexpr const char* kShareCodePrefix = "kv1.";

struct TSharedLevel {
  std::string MapBytes;  // the level file's bytes
  std::string Hint;      // "" for none
  std::string Solution;  // replay text, without a proof line
};

// Why a code was refused: for messages on the command line and for the player.
struct TShareError {
  std::string Text;        // English, for stderr
  std::string PlayerText;  // the same in the game's language
};

// The share code of a level. The level is expected to be one that loads
// whole (EncodeMap of a loaded map).
std::string MakeShareCode(const TSharedLevel& level);
// Reads a code or a link (surrounding blanks allowed). On failure returns
// false with the reason and leaves `level` empty.
bool ReadShareCode(std::string_view text, TSharedLevel* level, TShareError* error);
// The part of a link that is its code: what follows the last '#', trimmed.
std::string_view CodeOfLink(std::string_view text);

// The proof line naming these level bytes (without a line end).
std::string ProofLine(std::string_view mapBytes);
// `solution` with every proof line removed, and with the proof line of
// `mapBytes` put first.
std::string StripProofLines(const std::string& solution);
std::string WithProofLine(const std::string& solution, std::string_view mapBytes);
// The solution names these bytes in a proof line.
bool SolutionProves(const std::string& solution, std::string_view mapBytes);

// The solution beside a level file, and whether it proves the level: a
// solution with a proof line must name the file's bytes; one without
// (the campaign's, which the test suite plays) counts when `trustPlain`.
// "" when there is none (or it is not a replay).
std::string LoadSolution(const std::string& levelPath);
bool LevelProven(const std::string& levelPath, bool trustPlain);
// A level file with its hint and solution as a share code holds them (the
// level as the game reads it). False with a message when the file cannot be
// read or is refused (over the physics budget).
bool ReadLevelToShare(const std::string& levelPath, TSharedLevel* level, std::string* error);
