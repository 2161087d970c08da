#include <windows.h>

#include <algorithm>

#include "pe/file_reader.h"

namespace twinlens {
namespace {

class Win32FileReader : public FileReader {
 public:
  explicit Win32FileReader(HANDLE file) : file_(file) {}
  ~Win32FileReader() override { CloseHandle(file_); }
  Win32FileReader(const Win32FileReader&) = delete;
  Win32FileReader& operator=(const Win32FileReader&) = delete;

  std::size_t read(std::uint8_t* buffer, std::size_t count) override {
    std::size_t total = 0;
    while (total < count) {
      const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(count - total, 1u << 30));
      DWORD got = 0;
      if (!ReadFile(file_, buffer + total, chunk, &got, nullptr) || got == 0) break;
      total += got;
    }
    return total;
  }

  void seek(std::int64_t offset) override {
    if (offset < 0) return;
    LARGE_INTEGER distance;
    distance.QuadPart = offset;
    SetFilePointerEx(file_, distance, nullptr, FILE_BEGIN);
  }

 private:
  HANDLE file_;
};

// Paths beyond MAX_PATH open only in their \\?\ form, which must be absolute
// and use backslashes.
std::wstring extended_length_path(const std::filesystem::path& path) {
  std::wstring text = path.native();
  if (text.size() < MAX_PATH || text.rfind(LR"(\\?\)", 0) == 0) return text;
  std::error_code error;
  std::wstring absolute = std::filesystem::absolute(path, error).make_preferred().native();
  if (error) return text;
  if (absolute.rfind(LR"(\\)", 0) == 0) return LR"(\\?\UNC\)" + absolute.substr(2);
  return LR"(\\?\)" + absolute;
}

}  // namespace

std::unique_ptr<FileReader> open_file_for_reading(const std::filesystem::path& path) {
  if (path.empty()) return nullptr;
  const HANDLE file = CreateFileW(extended_length_path(path).c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return nullptr;
  if (GetFileType(file) != FILE_TYPE_DISK) {
    CloseHandle(file);
    return nullptr;
  }
  return std::make_unique<Win32FileReader>(file);
}

}  // namespace twinlens
