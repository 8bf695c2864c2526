#include "engine/uSafeFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <vector>

#ifdef __EMSCRIPTEN__
#include <emscripten.h>

// The page (tools/web/shell.html) copies the player's folders to IndexedDB;
// a page without that function keeps files in memory only.
EM_JS(void, kelvod_files_changed, (), {
  if (Module['onFilesChanged']) Module['onFilesChanged']();
});
#endif

namespace fs = std::filesystem;

namespace {

// A temporary file is the target's name followed by this and six random
// characters (mkstemp's), so every save has its own.
constexpr const char* kTempMark = ".saving-";
constexpr size_t kTempRandom = 6;

bool WriteAll(int fd, std::string_view bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

// The permission bits the file at `path` has, or those a new file gets. The
// game always reads back what it saved, so a new file is readable and
// writable by its owner whatever the umask says (a browser's is 0777).
mode_t ModeFor(const std::string& path) {
  struct stat st;
  if (::stat(path.c_str(), &st) == 0) return st.st_mode & 07777;
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return (0666 & ~mask) | 0600;
}

bool IsTemporaryName(const std::string& name) {
  const size_t at = name.rfind(kTempMark);
  if (at != std::string::npos && at > 0 && name.size() == at + std::strlen(kTempMark) + kTempRandom)
    return true;
  // Earlier versions always used the target's name with ".saving".
  return name.size() > 7 && name.ends_with(".saving");
}

}  // namespace

bool SafeWriteFile(const std::string& path, std::string_view bytes, std::string* error) {
  std::error_code ec;
  if (fs::is_directory(path, ec)) {
    if (error) *error = "it is a folder";
    return false;
  }
  std::vector<char> temp(path.begin(), path.end());
  temp.insert(temp.end(), kTempMark, kTempMark + std::strlen(kTempMark));
  temp.insert(temp.end(), kTempRandom, 'X');
  temp.push_back('\0');
  // Created with O_EXCL: never a file another save (of this or another copy
  // of the game) is writing.
  int fd = ::mkostemp(temp.data(), O_CLOEXEC);
  if (fd < 0) {
    if (error) *error = std::strerror(errno);
    return false;
  }
  auto fail = [&](int code) {
    if (error) *error = std::strerror(code);
    ::unlink(temp.data());
    return false;
  };
  bool written = ::fchmod(fd, ModeFor(path)) == 0 && WriteAll(fd, bytes) && ::fsync(fd) == 0;
  int code = errno;
  if (::close(fd) != 0 && written) written = false, code = errno;
  if (!written) return fail(code);
  if (::rename(temp.data(), path.c_str()) != 0) return fail(errno);
  eng_FilesChanged();
  return true;
}

void eng_FilesChanged() {
#ifdef __EMSCRIPTEN__
  kelvod_files_changed();
#endif
}

bool WriteFileChecked(const std::string& path, std::string_view bytes, std::string* error) {
  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) {
    if (error) *error = std::strerror(errno);
    return false;
  }
  bool written = WriteAll(fd, bytes);
  int code = errno;
  if (::close(fd) != 0 && written) written = false, code = errno;
  if (!written && error) *error = std::strerror(code);
  return written;
}

void RemoveStaleTemporaries(const std::string& folder, std::chrono::seconds age) {
  std::error_code ec;
  const auto now = fs::file_time_type::clock::now();
  bool removed = false;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    if (!IsTemporaryName(it->path().filename().string())) continue;
    std::error_code fileEc;
    if (!it->is_regular_file(fileEc)) continue;
    const auto written = fs::last_write_time(it->path(), fileEc);
    if (!fileEc && now - written > age) removed = fs::remove(it->path(), fileEc) || removed;
  }
  if (removed) eng_FilesChanged();
}
