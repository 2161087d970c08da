// Cell texts: every header and section value is shown as exactly 2, 4 or 8
// upper-case hexadecimal digits, the field's own bits at its own width.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace twinlens {

std::string hex_text(std::uint8_t value);  // "%.2X"
std::string hex_text(std::int16_t value);  // "%.4X" of the 16 bits, never sign-extended
std::string hex_text(std::int32_t value);  // "%.8X" of the 32 bits

// A reserved-word array is one cell: its words' texts joined, word 0 first.
template <std::size_t N>
std::string hex_text(const std::array<std::int16_t, N>& words) {
  std::string text;
  text.reserve(4 * N);
  for (std::int16_t word : words) text += hex_text(word);
  return text;
}

// A section name: the bytes before the first zero byte, or all 8 when none
// is zero, as 8-bit text of the system's ANSI code page (converted to UTF-8).
std::string section_name_text(const std::array<std::uint8_t, 8>& name);

// Converts 8-bit text of the system's ANSI code page to UTF-8. Where there is
// no such code page (the native build), bytes are read as Latin-1.
std::string ansi_to_utf8(const std::string& ansi);

}  // namespace twinlens
