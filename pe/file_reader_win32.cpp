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

// A path whose full form reaches MAX_PATH opens only as \\?\ plus that full
// form, which Windows then takes literally: so resolve it (relative parts,
// "." and "..", forward slashes) first.
std::wstring extended_length_path(const std::filesystem::path& path) {
  const std::wstring& text = path.native();
  if (text.rfind(LR"(\\?\)", 0) == 0) return text;
  const DWORD needed = GetFullPathNameW(text.c_str(), 0, nullptr, nullptr);
  if (needed == 0) return text;
  std::wstring full(needed, L'\0');
  const DWORD length = GetFullPathNameW(text.c_str(), needed, full.data(), nullptr);
  if (length == 0 || length >= needed) return text;
  full.resize(length);
  if (full.size() < MAX_PATH) return full;
  if (full.rfind(LR"(\\)", 0) == 0) return LR"(\\?\UNC\)" + full.substr(2);
  return LR"(\\?\)" + full;
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
