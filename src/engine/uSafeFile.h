// Writing the player's files so that a failure never damages what was there
// before (levels, hints, progress and settings), and telling the platform when
// they changed.
#pragma once

#include <chrono>
#include <string>
#include <string_view>

// Writes `bytes` to `path` through a temporary file beside it, flushed to the
// disk and then renamed over `path`: afterwards `path` holds either its old
// content or all of the new, with the permission bits it had. A `path` that
// is a symbolic link is written through: the file it leads to is replaced
// and the link stays. Every save has
// a temporary file of its own ("<path>.saving-XXXXXX"), so two copies of the
// game saving the same file at once never mix their bytes. Returns false with
// the reason in `error` (a short phrase such as the system's error text) and
// removes the temporary file when anything fails. A successful write calls
// eng_FilesChanged.
bool SafeWriteFile(const std::string& path, std::string_view bytes, std::string* error);

// How reading one of the player's files went.
enum class TFileRead {
  OK,          // `bytes` holds the whole file
  MISSING,     // there is no file of that name
  TOO_LARGE,   // it holds more than the limit: `bytes` holds the first `limit` bytes
  NOT_A_FILE,  // a folder, a device, a pipe...: never opened for reading
  FAILED,      // it could not be read; the reason is in `error`
};

// Reads at most `limit` bytes of the regular file at `path` (a link to one
// counts). Never blocks and never reads without end: anything other than a
// regular file (a pipe, a terminal, /dev/zero) is refused, however it is
// reached, and the reading stops at the limit. `error` gets a short reason
// for every outcome but OK and MISSING.
TFileRead ReadFileSafely(const std::string& path, size_t limit, std::string* bytes,
                         std::string* error = nullptr);

// Moves a damaged file out of the way as "<path>.bad", or "<path>.bad-2",
// "<path>.bad-3"... when that is taken: an earlier one kept aside is never
// overwritten. Returns the new name, or "" with the reason in `error`.
std::string KeepAside(const std::string& path, std::string* error = nullptr);

// Says that files were written or removed. In a browser the page keeps the
// player's folders in the browser's own storage (IndexedDB) and copies them
// there now; elsewhere the files are on the disk already and nothing happens.
void eng_FilesChanged();

// Writes `bytes` straight to `path` (an output that may be a device, such as
// /dev/stdout), checking every step: a full disk is an error, never a short
// file. Returns false with the reason in `error`.
bool WriteFileChecked(const std::string& path, std::string_view bytes, std::string* error);

// Removes the temporary files that saves into `folder` left behind when the
// program was stopped in the middle of one, once they are older than `age`:
// a younger one may be another copy of the game saving right now.
void RemoveStaleTemporaries(const std::string& folder,
                            std::chrono::seconds age = std::chrono::seconds(60));
