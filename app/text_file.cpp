#include "app/text_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace velquin {

std::optional<std::string> ReadSmallTextFile(const std::string& path, long long max_bytes,
                                             std::string& reason) {
  const std::string megabytes = std::to_string(max_bytes >> 20) + " MB";
  // O_NONBLOCK: opening a FIFO that slipped in after the check does not wait.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    reason = std::string("cannot be read: ") + std::strerror(errno);
    return std::nullopt;
  }
  struct stat status {};
  std::optional<std::string> text;
  if (::fstat(fd, &status) != 0) {
    reason = std::string("cannot be read: ") + std::strerror(errno);
  } else if (S_ISDIR(status.st_mode)) {
    reason = "it is a folder, not a file";
  } else if (!S_ISREG(status.st_mode)) {
    reason = "it is not a regular file";
  } else if (status.st_size > max_bytes) {
    reason = "it is larger than " + megabytes;
  } else {
    std::string bytes;
    char buffer[65536];
    for (;;) {
      const ssize_t got = ::read(fd, buffer, sizeof buffer);
      if (got < 0 && errno == EINTR) continue;
      if (got < 0) {
        reason = std::string("cannot be read: ") + std::strerror(errno);
        break;
      }
      if (got == 0) {
        text = std::move(bytes);
        break;
      }
      bytes.append(buffer, static_cast<std::size_t>(got));
      if (static_cast<long long>(bytes.size()) > max_bytes) {
        reason = "it is larger than " + megabytes;
        break;
      }
    }
  }
  ::close(fd);
  return text;
}

}  // namespace velquin
