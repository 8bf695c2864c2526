#include "engine/uSafeFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
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

// The file a chain of symbolic links at `path` ends in: `path` itself when
// it is no link. A link to a missing file leads to where that file would be.
std::string LinkTarget(const std::string& path) {
  fs::path p = path;
  for (int hops = 0; hops < 40; ++hops) {
    std::error_code ec;
    if (!fs::is_symlink(p, ec)) break;
    const fs::path to = fs::read_symlink(p, ec);
    if (ec) break;
    p = to.is_absolute() ? to : p.parent_path() / to;
  }
  return p.string();
}

}  // namespace

bool SafeWriteFile(const std::string& linkPath, std::string_view bytes, std::string* error) {
  const std::string path = LinkTarget(linkPath);
  std::error_code ec;
  const fs::file_status status = fs::status(path, ec);
  if (fs::exists(status) && !fs::is_regular_file(status)) {
    // Never replace a folder, a device or a pipe with a file.
    if (error) *error = fs::is_directory(status) ? "it is a folder" : "it is not a regular file";
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

TFileRead ReadFileSafely(const std::string& path, size_t limit, std::string* bytes, std::string* error) {
  bytes->clear();
  auto report = [&](TFileRead result, const char* why) {
    if (error) *error = why;
    return result;
  };
  // Looked at before it is opened: opening some devices does things.
  struct stat st;
  if (::stat(path.c_str(), &st) != 0)
    return errno == ENOENT || errno == ENOTDIR ? TFileRead::MISSING : report(TFileRead::FAILED, std::strerror(errno));
  if (S_ISDIR(st.st_mode)) return report(TFileRead::NOT_A_FILE, "it is a folder");
  if (!S_ISREG(st.st_mode)) return report(TFileRead::NOT_A_FILE, "it is not a regular file");
  // O_NONBLOCK: should a pipe have taken the file's place meanwhile, opening
  // it does not wait for a writer; fstat below then refuses it.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return report(errno == ENOENT ? TFileRead::MISSING : TFileRead::FAILED, std::strerror(errno));
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return report(TFileRead::NOT_A_FILE, "it is not a regular file");
  }
  // One byte more than the limit tells a file over it.
  const size_t want = limit + 1;
  bytes->resize(std::min(want, static_cast<size_t>(std::max<off_t>(st.st_size, 0)) + 1));
  size_t done = 0;
  for (;;) {
    if (done == bytes->size()) {
      if (done >= want) break;
      bytes->resize(std::min(want, 2 * done + 4096));
    }
    const ssize_t n = ::read(fd, bytes->data() + done, bytes->size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      const int code = errno;
      ::close(fd);
      bytes->clear();
      return report(TFileRead::FAILED, std::strerror(code));
    }
    if (n == 0) break;
    done += static_cast<size_t>(n);
  }
  ::close(fd);
  bytes->resize(std::min(done, limit));
  return done > limit ? report(TFileRead::TOO_LARGE, "it is too large") : TFileRead::OK;
}

std::string KeepAside(const std::string& path, std::string* error) {
  for (int n = 1; n <= 1000; ++n) {
    const std::string aside = path + ".bad" + (n == 1 ? "" : "-" + std::to_string(n));
    struct stat st;
    if (::lstat(aside.c_str(), &st) == 0) continue;  // kept aside earlier: never overwritten
    if (::rename(path.c_str(), aside.c_str()) != 0) {
      if (error) *error = std::strerror(errno);
      return "";
    }
    eng_FilesChanged();
    return aside;
  }
  if (error) *error = "too many files are kept aside already";
  return "";
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
