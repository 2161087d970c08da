#include "tables/cell_text.h"

namespace twinlens {
namespace {

std::string hex_digits(std::uint32_t value, int digits) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string text(static_cast<std::size_t>(digits), '0');
  for (int i = digits - 1; i >= 0; --i) {
    text[static_cast<std::size_t>(i)] = kDigits[value & 0xF];
    value >>= 4;
  }
  return text;
}

}  // namespace

std::string hex_text(std::uint8_t value) {
  return hex_digits(value, 2);
}

std::string hex_text(std::int16_t value) {
  return hex_digits(static_cast<std::uint16_t>(value), 4);
}

std::string hex_text(std::int32_t value) {
  return hex_digits(static_cast<std::uint32_t>(value), 8);
}

std::string section_name_text(const std::array<std::uint8_t, 8>& name) {
  std::string bytes;
  for (std::uint8_t byte : name) {
    if (byte == 0) break;
    bytes += static_cast<char>(byte);
  }
  return ansi_to_utf8(bytes);
}

}  // namespace twinlens
