// Files from a real linker, loaded into both slots: every cell of the four
// header tables and every section row must say what objdump (or, for fields
// objdump does not print, the raw bytes) says about the same file.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "independent_reading.h"
#include "pe/load_file.h"
#include "support/program_state.h"
#include "tables/field_tables.h"

namespace twinlens {
namespace {

using realpe::hex;
using realpe::ObjdumpReport;
using realpe::RawFile;

struct ExpectedRow {
  std::string name;  // column 0
  std::string text;  // the slot's value column
};

// The columns each slot writes.
struct SlotColumns {
  int slot;
  int header;
  int directory_address;
  int directory_size;
  TableId sections;
};
const SlotColumns kSlots[] = {{1, 1, 1, 2, TableId::Sections1}, {2, 2, 3, 4, TableId::Sections2}};

// A field of `bytes` bytes at `offset`: 2 and 4 are numbers, longer ones are
// reserved-word arrays.
std::string raw_text(const RawFile& raw, std::size_t offset, std::size_t bytes) {
  if (bytes == 2) return hex(raw.u16(offset), 4);
  if (bytes == 4) return hex(raw.u32(offset), 8);
  return raw.words(offset, bytes / 2);
}

// objdump prints nothing of the DOS header.
std::vector<ExpectedRow> expected_dos_rows(const RawFile& raw) {
  struct Field {
    const char* name;
    std::size_t offset, bytes;
  };
  static const Field kFields[] = {
      {"e_magic", 0, 2},    {"e_cblp", 2, 2},      {"e_cp", 4, 2},        {"e_crlc", 6, 2},
      {"e_cparhdr", 8, 2},  {"e_minalloc", 10, 2}, {"e_maxalloc", 12, 2}, {"e_ss", 14, 2},
      {"e_sp", 16, 2},      {"e_csum", 18, 2},     {"e_ip", 20, 2},       {"e_cs", 22, 2},
      {"e_lfarlc", 24, 2},  {"e_ovno", 26, 2},     {"e_res", 28, 8},      {"e_oemid", 36, 2},
      {"e_oeminfo", 38, 2}, {"e_res2", 40, 20},    {"e_lfanew", 60, 4},
  };
  std::vector<ExpectedRow> rows;
  for (const Field& f : kFields) rows.push_back({f.name, raw_text(raw, f.offset, f.bytes)});
  return rows;
}

std::uint32_t machine_of_format(const std::string& format) {
  if (format == "pei-i386") return 0x014C;
  ADD_FAILURE() << "not a format of these files: " << format;
  return 0;
}

std::vector<ExpectedRow> expected_file_header_rows(const ObjdumpReport& objdump,
                                                   const RawFile& raw) {
  const std::size_t nt = raw.u32(60);
  return {
      {"Machine", hex(machine_of_format(objdump.format), 4)},
      {"NumberOfSections", hex(objdump.sections.size(), 4)},
      {"TimeDateStamp", hex(objdump.time_date_stamp, 8)},
      {"PointerToSymbolTable", raw_text(raw, nt + 12, 4)},  // not printed by objdump
      {"NumberOfSymbols", hex(objdump.symbol_count, 8)},
      {"SizeOfOptionalHeader", raw_text(raw, nt + 20, 2)},  // not printed by objdump
      {"Characteristics", hex(objdump.number("Characteristics", 16), 4)},
  };
}

std::vector<ExpectedRow> expected_optional_header_rows(const ObjdumpReport& objdump) {
  struct Field {
    const char* name;
    const char* objdump_key;
    int base;    // objdump prints versions in decimal
    int digits;  // the field's width in the table
  };
  static const Field kFields[] = {
      {"Magic", "Magic", 16, 4},
      {"MajorLinkerVersion", "MajorLinkerVersion", 10, 2},
      {"MinorLinkerVersion", "MinorLinkerVersion", 10, 2},
      {"SizeOfCode", "SizeOfCode", 16, 8},
      {"SizeOfInitializedData", "SizeOfInitializedData", 16, 8},
      {"SizeOfUninitializedData", "SizeOfUninitializedData", 16, 8},
      {"AddressOfEntryPoint", "AddressOfEntryPoint", 16, 8},
      {"BaseOfCode", "BaseOfCode", 16, 8},
      {"BaseOfData", "BaseOfData", 16, 8},
      {"ImageBase", "ImageBase", 16, 8},
      {"SectionAlignment", "SectionAlignment", 16, 8},
      {"FileAlignment", "FileAlignment", 16, 8},
      {"MajorOperatingSystemVersion", "MajorOSystemVersion", 10, 4},
      {"MinorOperatingSystemVersion", "MinorOSystemVersion", 10, 4},
      {"MajorImageVersion", "MajorImageVersion", 10, 4},
      {"MinorImageVersion", "MinorImageVersion", 10, 4},
      {"MajorSubsystemVersion", "MajorSubsystemVersion", 10, 4},
      {"MinorSubsystemVersion", "MinorSubsystemVersion", 10, 4},
      {"Win32VersionValue", "Win32Version", 16, 8},
      {"SizeOfImage", "SizeOfImage", 16, 8},
      {"SizeOfHeaders", "SizeOfHeaders", 16, 8},
      {"CheckSum", "CheckSum", 16, 8},
      {"Subsystem", "Subsystem", 16, 4},
      {"DllCharacteristics", "DllCharacteristics", 16, 4},
      {"SizeOfStackReserve", "SizeOfStackReserve", 16, 8},
      {"SizeOfStackCommit", "SizeOfStackCommit", 16, 8},
      {"SizeOfHeapReserve", "SizeOfHeapReserve", 16, 8},
      {"SizeOfHeapCommit", "SizeOfHeapCommit", 16, 8},
      {"LoaderFlags", "LoaderFlags", 16, 8},
      {"NumberOfRvaAndSizes", "NumberOfRvaAndSizes", 16, 8},
  };
  std::vector<ExpectedRow> rows;
  for (const Field& f : kFields) {
    const std::uint32_t value = objdump.number(f.objdump_key, f.base);
    // objdump prints Subsystem and DllCharacteristics with 8 digits.
    EXPECT_LT(value, std::uint64_t{1} << (4 * f.digits)) << f.name;
    rows.push_back({f.name, hex(value, f.digits)});
  }
  return rows;
}

// objdump shows an empty directory entry's address as 0, whatever the file
// holds; only then is the address taken from the bytes.
std::vector<std::array<std::string, 2>> expected_directory_rows(const ObjdumpReport& objdump,
                                                                const RawFile& raw) {
  const std::size_t directory = raw.u32(60) + 24 + 96;
  std::vector<std::array<std::string, 2>> rows;
  for (std::size_t i = 0; i < objdump.directory.size(); ++i) {
    const auto& entry = objdump.directory[i];
    const std::uint32_t address =
        entry.size == 0 ? raw.u32(directory + 8 * i) : entry.virtual_address;
    rows.push_back({hex(address, 8), hex(entry.size, 8)});
  }
  return rows;
}

// The size objdump's -h prints for a section of an image: the virtual size
// where the raw data is padded beyond it or absent, else the raw data's size.
std::uint32_t objdump_section_size(std::uint32_t virtual_size, std::uint32_t raw_size,
                                   std::uint32_t characteristics) {
  const bool uninitialized = (characteristics & 0x00000080) != 0;
  if (virtual_size > 0 && ((uninitialized && raw_size == 0) || raw_size > virtual_size)) {
    return virtual_size;
  }
  return raw_size;
}

// Section rows: name, V.offset, V.size, R.offset, R.size, flags.
std::vector<std::array<std::string, 6>> expected_section_rows(const ObjdumpReport& objdump,
                                                              const RawFile& raw) {
  const std::size_t nt = raw.u32(60);
  // Where the format puts the table: behind the optional header, by its size field.
  const std::size_t table = nt + 24 + raw.u16(nt + 20);
  const std::uint32_t image_base = objdump.number("ImageBase", 16);
  const std::size_t string_table = raw.u32(nt + 12) + 18 * std::size_t{raw.u32(nt + 16)};

  std::vector<std::array<std::string, 6>> rows;
  for (std::size_t i = 0; i < objdump.sections.size(); ++i) {
    const realpe::ObjdumpSection& section = objdump.sections[i];
    const std::size_t header = table + 40 * i;
    const std::uint32_t virtual_size = raw.u32(header + 8);
    const std::uint32_t raw_size = raw.u32(header + 16);
    const std::uint32_t characteristics = raw.u32(header + 36);
    SCOPED_TRACE("section " + section.name);

    // A name longer than 8 bytes is "/offset" into the string table, which
    // the header row shows as it is.
    std::string name = section.name;
    if (name.size() > 8) {
      name = raw.text(header, 8);
      EXPECT_EQ(name[0], '/');
      EXPECT_EQ(raw.text(string_table + std::stoul(name.substr(1)), 256), section.name);
    }
    const std::uint32_t virtual_address =
        section.vma == 0 ? 0 : static_cast<std::uint32_t>(section.vma - image_base);

    EXPECT_EQ(section.size, objdump_section_size(virtual_size, raw_size, characteristics));
    EXPECT_EQ(section.has_flag("READONLY"), (characteristics & 0x80000000) == 0);
    EXPECT_EQ(section.has_flag("CODE"), (characteristics & 0x20000020) != 0);
    rows.push_back({name, hex(virtual_address, 8), hex(virtual_size, 8),
                    hex(section.file_offset, 8), hex(raw_size, 8), hex(characteristics, 8)});
  }
  return rows;
}

class RealPeFile : public test::ProgramState, public ::testing::WithParamInterface<const char*> {
 protected:
  void SetUp() override {
    ProgramState::SetUp();
    insert_field_name_rows();
  }

  void expect_column(TableId table, int column, const std::vector<ExpectedRow>& rows) {
    ASSERT_EQ(tables.row_count(table), static_cast<int>(rows.size()));
    for (std::size_t i = 0; i < rows.size(); ++i) {
      const int row = static_cast<int>(i);
      EXPECT_EQ(get_cell_text(table, row, 0), rows[i].name);
      EXPECT_EQ(get_cell_text(table, row, column), rows[i].text) << rows[i].name;
    }
  }
};

TEST_P(RealPeFile, EveryCellSaysWhatObjdumpAndTheRawBytesSay) {
  const std::filesystem::path path = std::filesystem::path(TWINLENS_REAL_PE_DIR) / GetParam();
  const RawFile raw(path);
  const ObjdumpReport objdump = realpe::read_with_objdump(path);
  ASSERT_FALSE(objdump.sections.empty());
  ASSERT_EQ(objdump.directory.size(), 16u);
  ASSERT_NE(objdump.directory[1].size, 0u) << "a file without imports would be refused";

  const auto dos = expected_dos_rows(raw);
  const auto file_header = expected_file_header_rows(objdump, raw);
  const auto optional_header = expected_optional_header_rows(objdump);
  const auto directory = expected_directory_rows(objdump, raw);
  const auto sections = expected_section_rows(objdump, raw);

  for (const SlotColumns& slot : kSlots) {
    SCOPED_TRACE("slot " + std::to_string(slot.slot));
    load_file_into_slot(path, slot.slot);
    EXPECT_TRUE(messages.empty());

    expect_column(TableId::Dos, slot.header, dos);
    expect_column(TableId::FileHeader, slot.header, file_header);
    expect_column(TableId::OptionalHeader, slot.header, optional_header);
    ASSERT_EQ(tables.row_count(TableId::Directory), 16);
    for (int row = 0; row < 16; ++row) {
      const auto& expected = directory[static_cast<std::size_t>(row)];
      EXPECT_EQ(get_cell_text(TableId::Directory, row, slot.directory_address), expected[0])
          << "directory entry " << row;
      EXPECT_EQ(get_cell_text(TableId::Directory, row, slot.directory_size), expected[1])
          << "directory entry " << row;
    }

    ASSERT_EQ(tables.row_count(slot.sections), static_cast<int>(sections.size()));
    for (std::size_t i = 0; i < sections.size(); ++i) {
      for (std::size_t column = 0; column < 6; ++column) {
        EXPECT_EQ(get_cell_text(slot.sections, static_cast<int>(i), static_cast<int>(column)),
                  sections[i][column])
            << "section " << i << " column " << column;
      }
    }
  }
}

// console.exe keeps its symbols and long section names, gui.exe is stripped
// (names cut to 8 bytes), library.dll has exports and a high image base.
INSTANTIATE_TEST_SUITE_P(LinkedByMinGW, RealPeFile,
                         ::testing::Values("console.exe", "gui.exe", "library.dll"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                           std::string name = info.param;
                           for (char& c : name) {
                             if (c == '.') c = '_';
                           }
                           return name;
                         });

}  // namespace
}  // namespace twinlens
