// Builds small PE32 files in memory for the tests: a valid file first, then
// the test pokes the fields it is about with put16/put32.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace twinlens::test {

using Bytes = std::vector<std::uint8_t>;

void put16(Bytes& bytes, std::size_t offset, std::uint16_t value);
void put32(Bytes& bytes, std::size_t offset, std::uint32_t value);

// Offsets of the fields the tests poke, from the start of the NT headers.
inline constexpr std::size_t kSignatureOffset = 0;
inline constexpr std::size_t kMachineOffset = 4;
inline constexpr std::size_t kNumberOfSectionsOffset = 6;
inline constexpr std::size_t kSizeOfOptionalHeaderOffset = 20;
inline constexpr std::size_t kOptionalHeaderOffset = 24;
inline constexpr std::size_t kMagicOffset = kOptionalHeaderOffset;
inline constexpr std::size_t kNumberOfRvaAndSizesOffset = kOptionalHeaderOffset + 92;
inline constexpr std::size_t kDataDirectoryOffset = kOptionalHeaderOffset + 96;
inline constexpr std::size_t kImportSizeOffset = kDataDirectoryOffset + 8 + 4;
inline constexpr std::size_t kSectionTableOffset = 248;
inline constexpr std::size_t kLfanewOffset = 60;

struct SectionSpec {
  std::string name;  // up to 8 bytes, copied as they are
  std::uint32_t virtual_size = 0x1000;
  std::uint32_t virtual_address = 0x1000;
  std::uint32_t size_of_raw_data = 0x200;
  std::uint32_t pointer_to_raw_data = 0x400;
  std::uint32_t characteristics = 0x60000020;
};

struct PeSpec {
  std::int32_t e_lfanew = 0x80;
  std::vector<SectionSpec> sections = {
      {".text", 0x1234, 0x1000, 0x1400, 0x400, 0x60000020},
      {".data", 0x0200, 0x3000, 0x0200, 0x1800, 0xC0000040},
  };
  std::uint32_t import_size = 0x28;
  std::uint32_t time_date_stamp = 0x5F3759DF;
};

// A valid PE32 file: the DOS header, the NT headers at e_lfanew and the
// section headers right behind them, and nothing else.
Bytes make_pe32(const PeSpec& spec = {});

}  // namespace twinlens::test
