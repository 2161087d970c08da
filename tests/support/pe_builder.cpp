#include "support/pe_builder.h"

#include <algorithm>

namespace twinlens::test {

void put16(Bytes& bytes, std::size_t offset, std::uint16_t value) {
  bytes.at(offset) = static_cast<std::uint8_t>(value);
  bytes.at(offset + 1) = static_cast<std::uint8_t>(value >> 8);
}

void put32(Bytes& bytes, std::size_t offset, std::uint32_t value) {
  put16(bytes, offset, static_cast<std::uint16_t>(value));
  put16(bytes, offset + 2, static_cast<std::uint16_t>(value >> 16));
}

Bytes make_pe32(const PeSpec& spec) {
  const auto nt = static_cast<std::size_t>(spec.e_lfanew);
  Bytes bytes(nt + kSectionTableOffset + 40 * spec.sections.size(), 0);

  // DOS header as a linker writes it.
  put16(bytes, 0, 0x5A4D);
  put16(bytes, 2, 0x0090);
  put16(bytes, 4, 0x0003);
  put16(bytes, 8, 0x0004);
  put16(bytes, 12, 0xFFFF);
  put16(bytes, 16, 0x00B8);
  put16(bytes, 24, 0x0040);
  put32(bytes, kLfanewOffset, static_cast<std::uint32_t>(spec.e_lfanew));

  put32(bytes, nt + kSignatureOffset, 0x4550);
  put16(bytes, nt + kMachineOffset, 0x014C);
  put16(bytes, nt + kNumberOfSectionsOffset, static_cast<std::uint16_t>(spec.sections.size()));
  put32(bytes, nt + 8, spec.time_date_stamp);
  put16(bytes, nt + kSizeOfOptionalHeaderOffset, 0x00E0);
  put16(bytes, nt + 22, 0x0102);

  const std::size_t opt = nt + kOptionalHeaderOffset;
  put16(bytes, opt + 0, 0x010B);
  bytes[opt + 2] = 14;
  bytes[opt + 3] = 0x1D;
  put32(bytes, opt + 4, 0x1400);       // SizeOfCode
  put32(bytes, opt + 16, 0x1010);      // AddressOfEntryPoint
  put32(bytes, opt + 20, 0x1000);      // BaseOfCode
  put32(bytes, opt + 24, 0x3000);      // BaseOfData
  put32(bytes, opt + 28, 0x00400000);  // ImageBase
  put32(bytes, opt + 32, 0x1000);      // SectionAlignment
  put32(bytes, opt + 36, 0x200);       // FileAlignment
  put16(bytes, opt + 40, 6);           // MajorOperatingSystemVersion
  put16(bytes, opt + 48, 6);           // MajorSubsystemVersion
  put32(bytes, opt + 56, 0x5000);      // SizeOfImage
  put32(bytes, opt + 60, 0x400);       // SizeOfHeaders
  put16(bytes, opt + 68, 3);           // Subsystem: console
  put16(bytes, opt + 70, 0x8140);      // DllCharacteristics
  put32(bytes, opt + 72, 0x100000);    // SizeOfStackReserve
  put32(bytes, opt + 76, 0x1000);      // SizeOfStackCommit
  put32(bytes, opt + 80, 0x100000);    // SizeOfHeapReserve
  put32(bytes, opt + 84, 0x1000);      // SizeOfHeapCommit
  put32(bytes, nt + kNumberOfRvaAndSizesOffset, 16);
  put32(bytes, nt + kDataDirectoryOffset + 8, 0x2000);  // import table
  put32(bytes, nt + kImportSizeOffset, spec.import_size);

  std::size_t offset = nt + kSectionTableOffset;
  for (const SectionSpec& section : spec.sections) {
    std::copy_n(section.name.begin(), std::min<std::size_t>(section.name.size(), 8),
                bytes.begin() + static_cast<std::ptrdiff_t>(offset));
    put32(bytes, offset + 8, section.virtual_size);
    put32(bytes, offset + 12, section.virtual_address);
    put32(bytes, offset + 16, section.size_of_raw_data);
    put32(bytes, offset + 20, section.pointer_to_raw_data);
    put32(bytes, offset + 36, section.characteristics);
    offset += 40;
  }
  return bytes;
}

}  // namespace twinlens::test
