#include "tables/cell_text.h"

#include <gtest/gtest.h>

namespace twinlens {
namespace {

TEST(CellText, EveryWidthGivesItsOwnNumberOfUpperCaseDigits) {
  EXPECT_EQ(hex_text(std::uint8_t{0}), "00");
  EXPECT_EQ(hex_text(std::uint8_t{14}), "0E");
  EXPECT_EQ(hex_text(std::uint8_t{0xFF}), "FF");
  EXPECT_EQ(hex_text(std::int16_t{0x5A4D}), "5A4D");
  EXPECT_EQ(hex_text(std::int16_t{0x14C}), "014C");
  EXPECT_EQ(hex_text(std::int32_t{0}), "00000000");
  EXPECT_EQ(hex_text(std::int32_t{0x00ABCDEF}), "00ABCDEF");
}

TEST(CellText, SignedFieldsShowTheirBitsNeverASign) {
  EXPECT_EQ(hex_text(static_cast<std::int16_t>(0x8000)), "8000");
  EXPECT_EQ(hex_text(std::int16_t{-1}), "FFFF");
  EXPECT_EQ(hex_text(std::int32_t{-1}), "FFFFFFFF");
  EXPECT_EQ(hex_text(static_cast<std::int32_t>(0x80000000u)), "80000000");
}

TEST(CellText, ReservedWordsAreJoinedWordZeroFirst) {
  EXPECT_EQ(hex_text(std::array<std::int16_t, 4>{1, 2, 3, -1}), "000100020003FFFF");
  EXPECT_EQ(hex_text(std::array<std::int16_t, 10>{}), std::string(40, '0'));
}

std::array<std::uint8_t, 8> name_bytes(std::initializer_list<std::uint8_t> bytes) {
  std::array<std::uint8_t, 8> name{};
  std::copy(bytes.begin(), bytes.end(), name.begin());
  return name;
}

TEST(CellText, SectionNameEndsAtTheFirstZeroByteOrUsesAllEight) {
  struct Case {
    std::array<std::uint8_t, 8> name;
    std::string text;
  };
  const Case cases[] = {
      {name_bytes({'.', 't', 'e', 'x', 't'}), ".text"},
      {name_bytes({'.', 'a', 'b', 'c', 'd', 'e', 'f', 'g'}), ".abcdefg"},
      {name_bytes({0, 'x', 'y'}), ""},
      {name_bytes({'.', 'b', 's', 's', 0, 'z', 'z', 'z'}), ".bss"},
      {name_bytes({'/', '4', '2'}), "/42"},  // a string-table reference, shown as it is
  };
  for (const Case& c : cases) EXPECT_EQ(section_name_text(c.name), c.text);
}

}  // namespace
}  // namespace twinlens
