#include <windows.h>

#include "app/wide_text.h"
#include "tables/cell_text.h"

namespace twinlens {

std::string ansi_to_utf8(const std::string& ansi) {
  if (ansi.empty()) return {};
  const int length = static_cast<int>(ansi.size());
  const int wide_length = MultiByteToWideChar(CP_ACP, 0, ansi.data(), length, nullptr, 0);
  if (wide_length <= 0) return {};
  std::wstring wide(static_cast<std::size_t>(wide_length), L'\0');
  MultiByteToWideChar(CP_ACP, 0, ansi.data(), length, wide.data(), wide_length);
  return wide_to_utf8(wide);
}

}  // namespace twinlens
