#include "engine/uSafeFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

namespace {

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

}  // namespace

bool SafeWriteFile(const std::string& path, std::string_view bytes, std::string* error) {
  const std::string temp = path + ".saving";
  auto fail = [&](const std::string& why) {
    if (error) *error = why;
    ::unlink(temp.c_str());
    return false;
  };
  int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) {
    if (error) *error = std::strerror(errno);
    return false;
  }
  bool written = WriteAll(fd, bytes) && ::fsync(fd) == 0;
  std::string why = written ? "" : std::strerror(errno);
  if (::close(fd) != 0 && written) written = false, why = std::strerror(errno);
  if (!written) return fail(why);
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec)) return fail("it is a folder");
  if (::rename(temp.c_str(), path.c_str()) != 0) return fail(std::strerror(errno));
  return true;
}
