#include <windows.h>

#include "app/wide_text.h"

namespace twinlens {

std::wstring utf8_to_wide(std::string_view utf8) {
  if (utf8.empty()) return {};
  const int length = static_cast<int>(utf8.size());
  const int wide_length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), length, nullptr, 0);
  if (wide_length <= 0) return {};
  std::wstring wide(static_cast<std::size_t>(wide_length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), length, wide.data(), wide_length);
  return wide;
}

std::string wide_to_utf8(std::wstring_view wide) {
  if (wide.empty()) return {};
  const int length = static_cast<int>(wide.size());
  const int utf8_length =
      WideCharToMultiByte(CP_UTF8, 0, wide.data(), length, nullptr, 0, nullptr, nullptr);
  if (utf8_length <= 0) return {};
  std::string utf8(static_cast<std::size_t>(utf8_length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), length, utf8.data(), utf8_length, nullptr, nullptr);
  return utf8;
}

}  // namespace twinlens
