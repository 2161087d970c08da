// UTF-8 <-> UTF-16 for the Win32 layer: the portable code speaks UTF-8,
// the W functions UTF-16.
#pragma once

#include <string>
#include <string_view>

namespace twinlens {

std::wstring utf8_to_wide(std::string_view utf8);
// 8-bit text of a Windows code page (CP_UTF8, CP_ACP, ...) as UTF-16.
std::wstring code_page_to_wide(unsigned code_page, std::string_view text);
std::string wide_to_utf8(std::wstring_view wide);

}  // namespace twinlens
