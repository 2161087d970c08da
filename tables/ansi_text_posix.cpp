#include "tables/cell_text.h"

namespace twinlens {

std::string ansi_to_utf8(const std::string& ansi) {
  std::string utf8;
  utf8.reserve(ansi.size() * 2);
  for (char c : ansi) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x80) {
      utf8 += c;
    } else {
      utf8 += static_cast<char>(0xC0 | (byte >> 6));
      utf8 += static_cast<char>(0x80 | (byte & 0x3F));
    }
  }
  return utf8;
}

}  // namespace twinlens
