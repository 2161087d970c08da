#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "pe/file_reader.h"

namespace twinlens {
namespace {

class PosixFileReader : public FileReader {
 public:
  explicit PosixFileReader(int fd) : fd_(fd) {}
  ~PosixFileReader() override { ::close(fd_); }
  PosixFileReader(const PosixFileReader&) = delete;
  PosixFileReader& operator=(const PosixFileReader&) = delete;

  std::size_t read(std::uint8_t* buffer, std::size_t count) override {
    std::size_t total = 0;
    while (total < count) {
      const ssize_t got = ::read(fd_, buffer + total, count - total);
      if (got < 0 && errno == EINTR) continue;
      if (got <= 0) break;
      total += static_cast<std::size_t>(got);
    }
    return total;
  }

  void seek(std::int64_t offset) override {
    if (offset < 0) return;
    ::lseek(fd_, static_cast<off_t>(offset), SEEK_SET);
  }

 private:
  int fd_;
};

}  // namespace

std::unique_ptr<FileReader> open_file_for_reading(const std::filesystem::path& path) {
  if (path.empty()) return nullptr;
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  if (fd < 0) return nullptr;
  // Only regular files have headers to read; a directory, pipe or device does
  // not (O_NONBLOCK keeps the open itself from waiting on a pipe).
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    return nullptr;
  }
  return std::make_unique<PosixFileReader>(fd);
}

}  // namespace twinlens
