// The three header records Twinlens reads from a file, in the PE/COFF layouts.
//
// Every record is decoded field by field from little-endian bytes; nothing is
// ever cast onto a buffer. 8-bit fields are held unsigned, 16-bit and 32-bit
// fields signed, as the loader computes with three of them (e_lfanew,
// NumberOfSections, the import directory's Size). Shown values always use the
// field's own bits at its own width.
//
// Each record has a `visit_fields` that lists its fields in file order with
// their standard names. That single list drives decoding, the name rows of the
// tables and the value texts, so the three cannot drift apart.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace twinlens {

struct ImageDosHeader {
  std::int16_t e_magic = 0;
  std::int16_t e_cblp = 0;
  std::int16_t e_cp = 0;
  std::int16_t e_crlc = 0;
  std::int16_t e_cparhdr = 0;
  std::int16_t e_minalloc = 0;
  std::int16_t e_maxalloc = 0;
  std::int16_t e_ss = 0;
  std::int16_t e_sp = 0;
  std::int16_t e_csum = 0;
  std::int16_t e_ip = 0;
  std::int16_t e_cs = 0;
  std::int16_t e_lfarlc = 0;
  std::int16_t e_ovno = 0;
  std::array<std::int16_t, 4> e_res{};
  std::int16_t e_oemid = 0;
  std::int16_t e_oeminfo = 0;
  std::array<std::int16_t, 10> e_res2{};
  std::int32_t e_lfanew = 0;
};

struct ImageFileHeader {
  std::int16_t Machine = 0;
  std::int16_t NumberOfSections = 0;
  std::int32_t TimeDateStamp = 0;
  std::int32_t PointerToSymbolTable = 0;
  std::int32_t NumberOfSymbols = 0;
  std::int16_t SizeOfOptionalHeader = 0;
  std::int16_t Characteristics = 0;
};

struct ImageDataDirectory {
  std::int32_t VirtualAddress = 0;
  std::int32_t Size = 0;
};

inline constexpr int kDataDirectoryCount = 16;
inline constexpr int kImportDirectory = 1;

struct ImageOptionalHeader32 {
  std::int16_t Magic = 0;
  std::uint8_t MajorLinkerVersion = 0;
  std::uint8_t MinorLinkerVersion = 0;
  std::int32_t SizeOfCode = 0;
  std::int32_t SizeOfInitializedData = 0;
  std::int32_t SizeOfUninitializedData = 0;
  std::int32_t AddressOfEntryPoint = 0;
  std::int32_t BaseOfCode = 0;
  std::int32_t BaseOfData = 0;
  std::int32_t ImageBase = 0;
  std::int32_t SectionAlignment = 0;
  std::int32_t FileAlignment = 0;
  std::int16_t MajorOperatingSystemVersion = 0;
  std::int16_t MinorOperatingSystemVersion = 0;
  std::int16_t MajorImageVersion = 0;
  std::int16_t MinorImageVersion = 0;
  std::int16_t MajorSubsystemVersion = 0;
  std::int16_t MinorSubsystemVersion = 0;
  std::int32_t Win32VersionValue = 0;
  std::int32_t SizeOfImage = 0;
  std::int32_t SizeOfHeaders = 0;
  std::int32_t CheckSum = 0;
  std::int16_t Subsystem = 0;
  std::int16_t DllCharacteristics = 0;
  std::int32_t SizeOfStackReserve = 0;
  std::int32_t SizeOfStackCommit = 0;
  std::int32_t SizeOfHeapReserve = 0;
  std::int32_t SizeOfHeapCommit = 0;
  std::int32_t LoaderFlags = 0;
  std::int32_t NumberOfRvaAndSizes = 0;
  // Always 16 entries, whatever NumberOfRvaAndSizes says.
  std::array<ImageDataDirectory, kDataDirectoryCount> DataDirectory{};
};

struct ImageNtHeaders32 {
  std::int32_t Signature = 0;
  ImageFileHeader FileHeader;
  ImageOptionalHeader32 OptionalHeader;
};

struct ImageSectionHeader {
  std::array<std::uint8_t, 8> Name{};  // raw bytes, not necessarily zero-terminated
  std::int32_t VirtualSize = 0;
  std::int32_t VirtualAddress = 0;
  std::int32_t SizeOfRawData = 0;
  std::int32_t PointerToRawData = 0;
  std::int32_t PointerToRelocations = 0;
  std::int32_t PointerToLinenumbers = 0;
  std::int16_t NumberOfRelocations = 0;
  std::int16_t NumberOfLinenumbers = 0;
  std::int32_t Characteristics = 0;
};

inline constexpr std::int16_t kDosSignature = 0x5A4D;  // "MZ"
inline constexpr std::int32_t kNtSignature = 0x4550;   // "PE\0\0"

// Field lists, in file order. `visit(name, field)` is called once per field;
// arrays are visited as one field, as the tables show them as one row.
// The optional header's scalar fields and its directory are listed apart,
// because they go to different tables.

template <class Header, class Visit>
constexpr void visit_fields_of_dos_header(Header& h, Visit&& visit) {
  visit("e_magic", h.e_magic);
  visit("e_cblp", h.e_cblp);
  visit("e_cp", h.e_cp);
  visit("e_crlc", h.e_crlc);
  visit("e_cparhdr", h.e_cparhdr);
  visit("e_minalloc", h.e_minalloc);
  visit("e_maxalloc", h.e_maxalloc);
  visit("e_ss", h.e_ss);
  visit("e_sp", h.e_sp);
  visit("e_csum", h.e_csum);
  visit("e_ip", h.e_ip);
  visit("e_cs", h.e_cs);
  visit("e_lfarlc", h.e_lfarlc);
  visit("e_ovno", h.e_ovno);
  visit("e_res", h.e_res);
  visit("e_oemid", h.e_oemid);
  visit("e_oeminfo", h.e_oeminfo);
  visit("e_res2", h.e_res2);
  visit("e_lfanew", h.e_lfanew);
}

template <class Header, class Visit>
constexpr void visit_fields_of_file_header(Header& h, Visit&& visit) {
  visit("Machine", h.Machine);
  visit("NumberOfSections", h.NumberOfSections);
  visit("TimeDateStamp", h.TimeDateStamp);
  visit("PointerToSymbolTable", h.PointerToSymbolTable);
  visit("NumberOfSymbols", h.NumberOfSymbols);
  visit("SizeOfOptionalHeader", h.SizeOfOptionalHeader);
  visit("Characteristics", h.Characteristics);
}

// The 30 fields before DataDirectory.
template <class Header, class Visit>
constexpr void visit_scalar_fields_of_optional_header(Header& h, Visit&& visit) {
  visit("Magic", h.Magic);
  visit("MajorLinkerVersion", h.MajorLinkerVersion);
  visit("MinorLinkerVersion", h.MinorLinkerVersion);
  visit("SizeOfCode", h.SizeOfCode);
  visit("SizeOfInitializedData", h.SizeOfInitializedData);
  visit("SizeOfUninitializedData", h.SizeOfUninitializedData);
  visit("AddressOfEntryPoint", h.AddressOfEntryPoint);
  visit("BaseOfCode", h.BaseOfCode);
  visit("BaseOfData", h.BaseOfData);
  visit("ImageBase", h.ImageBase);
  visit("SectionAlignment", h.SectionAlignment);
  visit("FileAlignment", h.FileAlignment);
  visit("MajorOperatingSystemVersion", h.MajorOperatingSystemVersion);
  visit("MinorOperatingSystemVersion", h.MinorOperatingSystemVersion);
  visit("MajorImageVersion", h.MajorImageVersion);
  visit("MinorImageVersion", h.MinorImageVersion);
  visit("MajorSubsystemVersion", h.MajorSubsystemVersion);
  visit("MinorSubsystemVersion", h.MinorSubsystemVersion);
  visit("Win32VersionValue", h.Win32VersionValue);
  visit("SizeOfImage", h.SizeOfImage);
  visit("SizeOfHeaders", h.SizeOfHeaders);
  visit("CheckSum", h.CheckSum);
  visit("Subsystem", h.Subsystem);
  visit("DllCharacteristics", h.DllCharacteristics);
  visit("SizeOfStackReserve", h.SizeOfStackReserve);
  visit("SizeOfStackCommit", h.SizeOfStackCommit);
  visit("SizeOfHeapReserve", h.SizeOfHeapReserve);
  visit("SizeOfHeapCommit", h.SizeOfHeapCommit);
  visit("LoaderFlags", h.LoaderFlags);
  visit("NumberOfRvaAndSizes", h.NumberOfRvaAndSizes);
}

template <class Header, class Visit>
constexpr void visit_fields_of_optional_header(Header& h, Visit&& visit) {
  visit_scalar_fields_of_optional_header(h, visit);
  for (auto& entry : h.DataDirectory) {
    visit("VirtualAddress", entry.VirtualAddress);
    visit("Size", entry.Size);
  }
}

template <class Headers, class Visit>
constexpr void visit_fields_of_nt_headers(Headers& h, Visit&& visit) {
  visit("Signature", h.Signature);
  visit_fields_of_file_header(h.FileHeader, visit);
  visit_fields_of_optional_header(h.OptionalHeader, visit);
}

template <class Header, class Visit>
constexpr void visit_fields_of_section_header(Header& h, Visit&& visit) {
  visit("Name", h.Name);
  visit("VirtualSize", h.VirtualSize);
  visit("VirtualAddress", h.VirtualAddress);
  visit("SizeOfRawData", h.SizeOfRawData);
  visit("PointerToRawData", h.PointerToRawData);
  visit("PointerToRelocations", h.PointerToRelocations);
  visit("PointerToLinenumbers", h.PointerToLinenumbers);
  visit("NumberOfRelocations", h.NumberOfRelocations);
  visit("NumberOfLinenumbers", h.NumberOfLinenumbers);
  visit("Characteristics", h.Characteristics);
}

// The packed size of a record on disk: the sum of its fields' widths.
template <class Record, class VisitAll>
constexpr std::size_t packed_size(VisitAll visit_all) {
  Record record{};
  std::size_t size = 0;
  visit_all(record, [&size](const char*, const auto& field) { size += sizeof(field); });
  return size;
}

inline constexpr std::size_t kDosHeaderSize = 64;
inline constexpr std::size_t kFileHeaderSize = 20;
inline constexpr std::size_t kOptionalHeaderSize = 224;
inline constexpr std::size_t kNtHeadersSize = 248;
inline constexpr std::size_t kSectionHeaderSize = 40;

// Decoding. Each takes exactly the record's packed size in bytes.
ImageDosHeader decode_dos_header(const std::uint8_t (&bytes)[kDosHeaderSize]);
ImageNtHeaders32 decode_nt_headers(const std::uint8_t (&bytes)[kNtHeadersSize]);
ImageSectionHeader decode_section_header(const std::uint8_t* bytes);  // kSectionHeaderSize bytes

}  // namespace twinlens
