// libFuzzer target: each input is the bytes of a file, loaded into slot 1 and
// then slot 2 of one long-lived program state (slots, in-memory tables), the
// way a user loads file after file. After every load the fuzzer checks what
// the tables, the reads and the messages must look like, against its own
// reading of the input bytes, and aborts with a reason when they do not.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "app/globals.h"
#include "pe/file_reader.h"
#include "pe/file_slot.h"
#include "pe/load_file.h"
#include "pe/user_message.h"
#include "tables/field_tables.h"
#include "tables/memory_tables.h"

namespace twinlens {
namespace {

void check(bool holds, const char* what) {
  if (holds) return;
  std::fprintf(stderr, "invariant broken: %s\n", what);
  std::abort();
}

std::uint32_t le16(const std::uint8_t* p) {
  return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8;
}

std::uint32_t le32(const std::uint8_t* p) {
  return le16(p) | le16(p + 2) << 16;
}

// What the loader did with the current input.
struct LoadLog {
  int opened = 0;
  int open_now = 0;
  int reads = 0;
  std::uint64_t bytes_asked = 0;
  int messages = 0;
  int messages_after_close = 0;
  std::string message;
};

LoadLog g_log;
const std::uint8_t* g_input = nullptr;
std::size_t g_input_size = 0;

// The input as a file, as the FileReader contract has it: a read returns the
// bytes actually read, a negative seek leaves the position alone, a seek past
// the end is allowed and reads there return nothing.
class InputFile : public FileReader {
 public:
  InputFile() {
    ++g_log.opened;
    ++g_log.open_now;
  }
  ~InputFile() override { --g_log.open_now; }
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;

  std::size_t read(std::uint8_t* buffer, std::size_t count) override {
    ++g_log.reads;
    g_log.bytes_asked += count;
    if (position_ >= g_input_size) return 0;
    const std::size_t got =
        static_cast<std::size_t>(std::min<std::uint64_t>(count, g_input_size - position_));
    if (got > 0) std::memcpy(buffer, g_input + position_, got);
    position_ += got;
    return got;
  }

  void seek(std::int64_t offset) override {
    if (offset >= 0) position_ = static_cast<std::uint64_t>(offset);
  }

 private:
  std::uint64_t position_ = 0;
};

// What a load of the input must do, worked out from its bytes: the loader's
// steps, each refusing the file when its test fails.
struct Expected {
  bool header_tables_filled = false;
  bool accepted = false;
  int reads = 1;
  std::uint64_t bytes_asked = 64;
  std::size_t nt = 0;          // where the NT headers were read
  std::size_t section_at = 0;  // where the section headers were read
  std::size_t section_count = 0;
};

Expected expect_for_input() {
  const std::uint8_t* d = g_input;
  const std::size_t n = g_input_size;
  Expected e;
  if (n < 64 || le16(d) != 0x5A4D) return e;
  const auto lfanew = static_cast<std::int32_t>(le32(d + 60));
  // A negative seek goes nowhere: the NT headers then follow the DOS header.
  e.nt = lfanew >= 0 ? static_cast<std::size_t>(lfanew) : 64;
  e.reads = 2;
  e.bytes_asked += 248;
  if (e.nt > n || n - e.nt < 248 || le32(d + e.nt) != 0x4550) return e;
  e.header_tables_filled = true;
  if (static_cast<std::int32_t>(le32(d + e.nt + 24 + 96 + 12)) <= 0) return e;
  e.section_count = le16(d + e.nt + 6);
  // The section headers follow the NT headers where they were read.
  e.section_at = e.nt + 248;
  if (e.section_count > 0) {
    e.reads = 3;
    e.bytes_asked += 40 * e.section_count;
    if (e.section_at > n || n - e.section_at < 40 * e.section_count) return e;
  }
  e.accepted = true;
  return e;
}

// One value cell of the header tables: where it is and which bytes it shows.
struct HeaderCell {
  TableId table;
  int row;
  int directory_column;  // 0 address, 1 size; directory table only
  bool in_nt_headers;    // offset counts from the NT headers, else from the file start
  std::size_t offset;
  std::size_t width;  // bytes; its text is twice as many hex digits
};

std::vector<HeaderCell> header_cells() {
  std::vector<HeaderCell> cells;
  const auto add_table = [&cells](TableId table, bool in_nt, std::size_t offset,
                                  std::initializer_list<std::size_t> widths) {
    int row = 0;
    for (std::size_t width : widths) {
      cells.push_back({table, row++, 0, in_nt, offset, width});
      offset += width;
    }
  };
  // e_res and e_res2 are one cell each: 4 and 10 words.
  add_table(TableId::Dos, false, 0, {2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 8, 2, 2, 20, 4});
  add_table(TableId::FileHeader, true, 4, {2, 2, 4, 4, 4, 2, 2});
  add_table(TableId::OptionalHeader, true, 24, {2, 1, 1, 4, 4, 4, 4, 4, 4, 4, 4, 4, 2, 2, 2,
                                                2, 2, 2, 4, 4, 4, 4, 2, 2, 4, 4, 4, 4, 4, 4});
  for (int entry = 0; entry < 16; ++entry) {
    const std::size_t offset = 24 + 96 + 8 * static_cast<std::size_t>(entry);
    cells.push_back({TableId::Directory, entry, 0, true, offset, 4});
    cells.push_back({TableId::Directory, entry, 1, true, offset + 4, 4});
  }
  return cells;
}

const std::vector<HeaderCell>& all_header_cells() {
  static const std::vector<HeaderCell> cells = header_cells();
  return cells;
}

int column_of(const HeaderCell& cell, int slot) {
  if (cell.table != TableId::Directory) return slot;
  return (slot == 1 ? 1 : 3) + cell.directory_column;
}

// Little-endian bytes as hex: a number up to 4 bytes, or 16-bit words.
std::string hex_of_bytes(const std::uint8_t* p, std::size_t width) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  const std::size_t group = width <= 4 ? width : 2;
  std::string text;
  for (std::size_t start = 0; start < width; start += group) {
    for (std::size_t i = start + group; i-- > start;) {
      text += kDigits[p[i] >> 4];
      text += kDigits[p[i] & 0xF];
    }
  }
  return text;
}

bool is_hex_of_width(const std::string& text, std::size_t width) {
  return text.size() == 2 * width && std::all_of(text.begin(), text.end(), [](char c) {
           return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
         });
}

std::vector<std::string> slot_header_texts(int slot) {
  std::vector<std::string> texts;
  for (const HeaderCell& cell : all_header_cells()) {
    texts.push_back(get_cell_text(cell.table, cell.row, column_of(cell, slot)));
  }
  return texts;
}

std::vector<std::string> section_table_texts(MemoryTables& tables, TableId table) {
  std::vector<std::string> texts;
  for (int row = 0; row < tables.row_count(table); ++row) {
    for (int column = 0; column < 6; ++column) texts.push_back(get_cell_text(table, row, column));
  }
  return texts;
}

// A section name shown natively: the bytes before the first zero, Latin-1.
std::string name_text(const std::uint8_t* name) {
  std::string text;
  for (std::size_t i = 0; i < 8 && name[i] != 0; ++i) {
    if (name[i] < 0x80) {
      text += static_cast<char>(name[i]);
    } else {
      text += static_cast<char>(0xC0 | (name[i] >> 6));
      text += static_cast<char>(0x80 | (name[i] & 0x3F));
    }
  }
  return text;
}

std::vector<std::string> expected_section_texts(const Expected& e) {
  std::vector<std::string> texts;
  for (std::size_t i = 0; i < e.section_count; ++i) {
    const std::uint8_t* h = g_input + e.section_at + 40 * i;
    texts.push_back(name_text(h));
    // Columns: V.offset, V.size, R.offset, R.size, flags.
    for (std::size_t offset : {12u, 8u, 20u, 16u, 36u}) {
      texts.push_back(hex_of_bytes(h + offset, 4));
    }
  }
  return texts;
}

MemoryTables* g_tables = nullptr;

void load_and_check(int slot) {
  const int other = slot == 1 ? 2 : 1;
  const TableId own_sections = slot == 1 ? TableId::Sections1 : TableId::Sections2;
  const TableId other_sections = slot == 1 ? TableId::Sections2 : TableId::Sections1;
  const auto headers_before = slot_header_texts(slot);
  const auto other_headers_before = slot_header_texts(other);
  const auto sections_before = section_table_texts(*g_tables, own_sections);
  const auto other_sections_before = section_table_texts(*g_tables, other_sections);
  const Expected e = expect_for_input();

  g_log = {};
  load_file_into_slot("input.exe", slot);

  check(g_log.opened == 1, "the file is opened once");
  check(g_log.open_now == 0, "the file is closed when the load ends");
  check(g_log.reads <= 3, "at most three reads");
  check(g_log.bytes_asked <= 64 + 248 + 65535 * 40, "at most 64 + 248 + 65535 * 40 bytes asked");
  check(g_log.reads == e.reads, "one read per step reached");
  check(g_log.bytes_asked == e.bytes_asked, "64 + 248 + NumberOfSections * 40 bytes asked");
  check(g_log.messages == (e.accepted ? 0 : 1), "a message exactly when the file is refused");
  check(g_log.messages_after_close == 0, "the message comes while the file is open");
  check(g_log.messages == 0 || g_log.message == kNotPe32Message, "the refusal says not PE32");

  const auto headers = slot_header_texts(slot);
  for (std::size_t i = 0; i < headers.size(); ++i) {
    const HeaderCell& cell = all_header_cells()[i];
    check(headers[i].empty() || is_hex_of_width(headers[i], cell.width),
          "a header cell is empty or upper-case hex of its field's width");
    if (e.header_tables_filled) {
      const std::size_t base = cell.in_nt_headers ? e.nt : 0;
      check(headers[i] == hex_of_bytes(g_input + base + cell.offset, cell.width),
            "a header cell shows the field's bytes");
    }
  }
  if (!e.header_tables_filled) {
    check(headers == headers_before, "a file refused before its NT headers changes no header cell");
  }
  check(slot_header_texts(other) == other_headers_before, "a load leaves the other slot's cells");
  check(section_table_texts(*g_tables, other_sections) == other_sections_before,
        "a load leaves the other slot's section table");

  const auto sections = section_table_texts(*g_tables, own_sections);
  if (g_log.messages == 0) {
    check(static_cast<std::size_t>(g_tables->row_count(own_sections)) ==
              file_slot(slot).sections.size(),
          "the section table has one row per section of the slot");
    check(file_slot(slot).sections.size() == e.section_count, "NumberOfSections sections");
    check(sections == expected_section_texts(e), "each section row shows its header's bytes");
  } else {
    check(sections == sections_before, "a refused file leaves the section table");
  }
  for (int table = 0; table < kTableCount; ++table) {
    check(!g_tables->redraw_suspended(static_cast<TableId>(table)), "painting is resumed");
  }
}

}  // namespace
}  // namespace twinlens

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  using namespace twinlens;
  init_globals();
  static MemoryTables tables;
  g_tables = &tables;
  install_table_backend(&tables);
  insert_field_name_rows();
  set_message_box_service([](const std::string& text, const std::string&) {
    ++g_log.messages;
    if (g_log.open_now == 0) ++g_log.messages_after_close;
    g_log.message = text;
  });
  set_file_opener([](const std::filesystem::path&) { return std::make_unique<InputFile>(); });
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  twinlens::g_input = data;
  twinlens::g_input_size = size;
  twinlens::load_and_check(1);
  twinlens::load_and_check(2);
  return 0;
}
