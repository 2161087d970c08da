#include <windows.h>

#include "app/wide_text.h"

namespace twinlens {

std::wstring code_page_to_wide(unsigned code_page, std::string_view text) {
  if (text.empty()) return {};
  const int length = static_cast<int>(text.size());
  const int wide_length = MultiByteToWideChar(code_page, 0, text.data(), length, nullptr, 0);
  if (wide_length <= 0) return {};
  std::wstring wide(static_cast<std::size_t>(wide_length), L'\0');
  MultiByteToWideChar(code_page, 0, text.data(), length, wide.data(), wide_length);
  return wide;
}

std::wstring utf8_to_wide(std::string_view utf8) {
  return code_page_to_wide(CP_UTF8, utf8);
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
