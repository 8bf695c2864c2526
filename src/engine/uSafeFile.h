// Writing the player's files so that a failure never damages what was there
// before (levels, hints, progress and settings), and telling the platform when
// they changed.
#pragma once

#include <chrono>
#include <string>
#include <string_view>

// Writes `bytes` to `path` through a temporary file beside it, flushed to the
// disk and then renamed over `path`: afterwards `path` holds either its old
// content or all of the new, with the permission bits it had. Every save has
// a temporary file of its own ("<path>.saving-XXXXXX"), so two copies of the
// game saving the same file at once never mix their bytes. Returns false with
// the reason in `error` (a short phrase such as the system's error text) and
// removes the temporary file when anything fails. A successful write calls
// eng_FilesChanged.
bool SafeWriteFile(const std::string& path, std::string_view bytes, std::string* error);

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
