#include "pe/pe_records.h"

#include <gtest/gtest.h>

#include <numeric>

#include "tables/table_layout.h"

namespace twinlens {
namespace {

TEST(PeRecords, DosHeaderIsDecodedLittleEndianFieldByField) {
  std::uint8_t bytes[kDosHeaderSize];
  std::iota(std::begin(bytes), std::end(bytes), std::uint8_t{0});
  const ImageDosHeader h = decode_dos_header(bytes);
  EXPECT_EQ(h.e_magic, 0x0100);
  EXPECT_EQ(h.e_cblp, 0x0302);
  EXPECT_EQ(h.e_ovno, 0x1B1A);
  EXPECT_EQ(h.e_res[0], 0x1D1C);
  EXPECT_EQ(h.e_res[3], 0x2322);
  EXPECT_EQ(h.e_oemid, 0x2524);
  EXPECT_EQ(h.e_oeminfo, 0x2726);
  EXPECT_EQ(h.e_res2[0], 0x2928);
  EXPECT_EQ(h.e_res2[9], 0x3B3A);
  EXPECT_EQ(h.e_lfanew, 0x3F3E3D3C);
}

TEST(PeRecords, NtHeadersKeepEveryFieldAtItsStandardOffset) {
  std::uint8_t bytes[kNtHeadersSize];
  for (std::size_t i = 0; i < kNtHeadersSize; ++i) bytes[i] = static_cast<std::uint8_t>(i * 7);
  const auto byte = [&](std::size_t i) { return std::uint32_t{bytes[i]}; };
  const auto u16 = [&](std::size_t i) {
    return static_cast<std::int16_t>(byte(i) | byte(i + 1) << 8);
  };
  const auto u32 = [&](std::size_t i) {
    return static_cast<std::int32_t>(byte(i) | byte(i + 1) << 8 | byte(i + 2) << 16 |
                                     byte(i + 3) << 24);
  };
  const ImageNtHeaders32 h = decode_nt_headers(bytes);
  EXPECT_EQ(h.Signature, u32(0));
  EXPECT_EQ(h.FileHeader.Machine, u16(4));
  EXPECT_EQ(h.FileHeader.NumberOfSections, u16(6));
  EXPECT_EQ(h.FileHeader.Characteristics, u16(22));
  const ImageOptionalHeader32& o = h.OptionalHeader;
  EXPECT_EQ(o.Magic, u16(24));
  EXPECT_EQ(o.MajorLinkerVersion, bytes[26]);
  EXPECT_EQ(o.MinorLinkerVersion, bytes[27]);
  EXPECT_EQ(o.SizeOfCode, u32(28));
  EXPECT_EQ(o.ImageBase, u32(24 + 28));
  EXPECT_EQ(o.MajorOperatingSystemVersion, u16(24 + 40));
  EXPECT_EQ(o.Subsystem, u16(24 + 68));
  EXPECT_EQ(o.DllCharacteristics, u16(24 + 70));
  EXPECT_EQ(o.NumberOfRvaAndSizes, u32(24 + 92));
  EXPECT_EQ(o.DataDirectory[0].VirtualAddress, u32(24 + 96));
  EXPECT_EQ(o.DataDirectory[1].Size, u32(24 + 96 + 12));
  EXPECT_EQ(o.DataDirectory[15].Size, u32(244));
}

TEST(PeRecords, SectionHeaderKeepsAllEightNameBytes) {
  std::uint8_t bytes[kSectionHeaderSize] = {'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H'};
  bytes[8] = 0x34;
  bytes[9] = 0x12;  // VirtualSize
  bytes[12] = 0x00;
  bytes[13] = 0x10;  // VirtualAddress
  bytes[32] = 0xFF;
  bytes[33] = 0xFF;  // NumberOfRelocations
  bytes[39] = 0xE0;  // Characteristics
  const ImageSectionHeader h = decode_section_header(bytes);
  EXPECT_EQ(std::string(h.Name.begin(), h.Name.end()), "ABCDEFGH");
  EXPECT_EQ(h.VirtualSize, 0x1234);
  EXPECT_EQ(h.VirtualAddress, 0x1000);
  EXPECT_EQ(h.NumberOfRelocations, -1);
  EXPECT_EQ(h.Characteristics, static_cast<std::int32_t>(0xE0000000u));
}

TEST(PeRecords, FieldListsGiveTheTablesTheirRowNames) {
  const auto& dos = field_names(TableId::Dos);
  ASSERT_EQ(dos.size(), 19u);
  EXPECT_STREQ(dos.front(), "e_magic");
  EXPECT_STREQ(dos[14], "e_res");
  EXPECT_STREQ(dos[17], "e_res2");
  EXPECT_STREQ(dos.back(), "e_lfanew");
  const auto& file = field_names(TableId::FileHeader);
  ASSERT_EQ(file.size(), 7u);
  EXPECT_STREQ(file.front(), "Machine");
  EXPECT_STREQ(file.back(), "Characteristics");
  const auto& optional = field_names(TableId::OptionalHeader);
  ASSERT_EQ(optional.size(), 30u);
  EXPECT_STREQ(optional.front(), "Magic");
  EXPECT_STREQ(optional[12], "MajorOperatingSystemVersion");
  EXPECT_STREQ(optional.back(), "NumberOfRvaAndSizes");
}

}  // namespace
}  // namespace twinlens
