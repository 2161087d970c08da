#include "pe/load_file.h"

#include <gtest/gtest.h>

#include <functional>

#include "pe/file_slot.h"
#include "support/pe_builder.h"
#include "support/program_state.h"
#include "support/temp_dir.h"
#include "tables/table_layout.h"

namespace twinlens {
namespace {

using test::Bytes;
using test::make_pe32;
using test::PeSpec;
using test::put16;
using test::put32;

// Opens files for real, and remembers what the loader did with them.
struct ReadLog {
  int opened = 0;
  int closed = 0;
  std::vector<std::size_t> reads;  // bytes asked for, per read
};

class LoggingReader : public FileReader {
 public:
  LoggingReader(std::unique_ptr<FileReader> inner, ReadLog& log)
      : inner_(std::move(inner)), log_(log) {}
  ~LoggingReader() override { ++log_.closed; }
  std::size_t read(std::uint8_t* buffer, std::size_t count) override {
    log_.reads.push_back(count);
    return inner_->read(buffer, count);
  }
  void seek(std::int64_t offset) override { inner_->seek(offset); }

 private:
  std::unique_ptr<FileReader> inner_;
  ReadLog& log_;
};

class LoadFile : public test::ProgramState {
 protected:
  void SetUp() override {
    ProgramState::SetUp();
    insert_field_name_rows();
    set_file_opener([this](const std::filesystem::path& path) -> std::unique_ptr<FileReader> {
      auto inner = open_file_for_reading(path);
      if (!inner) return nullptr;
      ++log.opened;
      return std::make_unique<LoggingReader>(std::move(inner), log);
    });
  }

  // Loads `bytes` as a file into `slot`.
  void load(const Bytes& bytes, int slot = 1, const char* name = "file.exe") {
    load_file_into_slot(dir.write(name, bytes), slot);
  }

  // Every cell of the tables, to tell what a load changed.
  std::vector<std::string> snapshot(TableId table) {
    std::vector<std::string> cells;
    for (int row = 0; row < tables.row_count(table); ++row) {
      for (std::size_t column = 0; column < table_columns(table).size(); ++column) {
        cells.push_back(get_cell_text(table, row, static_cast<int>(column)));
      }
    }
    return cells;
  }
  std::vector<std::string> header_snapshot() {
    std::vector<std::string> all;
    for (TableId table :
         {TableId::Dos, TableId::FileHeader, TableId::OptionalHeader, TableId::Directory}) {
      auto cells = snapshot(table);
      all.insert(all.end(), cells.begin(), cells.end());
    }
    return all;
  }

  test::TempDir dir;
  ReadLog log;
};

const test::ShownMessage kNotPe32{"不是32位的PE文件", "错误"};
const test::ShownMessage kCannotOpen{"打开文件失败", "错误"};

TEST_F(LoadFile, ValidFileFillsItsColumnsAndSectionTable) {
  load(make_pe32());
  EXPECT_TRUE(messages.empty());

  struct Cell {
    TableId table;
    int row, column;
    const char* text;
  };
  const Cell cells[] = {
      {TableId::Dos, 0, 1, "5A4D"},
      {TableId::Dos, 1, 1, "0090"},
      {TableId::Dos, 6, 1, "FFFF"},
      {TableId::Dos, 14, 1, "0000000000000000"},
      {TableId::Dos, 17, 1, "0000000000000000000000000000000000000000"},
      {TableId::Dos, 18, 1, "00000080"},
      {TableId::FileHeader, 0, 1, "014C"},
      {TableId::FileHeader, 1, 1, "0002"},
      {TableId::FileHeader, 2, 1, "5F3759DF"},
      {TableId::FileHeader, 5, 1, "00E0"},
      {TableId::OptionalHeader, 0, 1, "010B"},
      {TableId::OptionalHeader, 1, 1, "0E"},
      {TableId::OptionalHeader, 2, 1, "1D"},
      {TableId::OptionalHeader, 9, 1, "00400000"},
      {TableId::OptionalHeader, 23, 1, "8140"},
      {TableId::OptionalHeader, 29, 1, "00000010"},
      {TableId::Directory, 0, 1, "00000000"},
      {TableId::Directory, 1, 1, "00002000"},
      {TableId::Directory, 1, 2, "00000028"},
      {TableId::Directory, 15, 2, "00000000"},
  };
  for (const Cell& c : cells) {
    EXPECT_EQ(get_cell_text(c.table, c.row, c.column), c.text)
        << "table " << static_cast<int>(c.table) << " row " << c.row << " column " << c.column;
  }
  // Slot 2's columns stay empty.
  EXPECT_EQ(get_cell_text(TableId::Dos, 0, 2), "");
  EXPECT_EQ(get_cell_text(TableId::Directory, 1, 3), "");

  ASSERT_EQ(tables.row_count(TableId::Sections1), 2);
  const std::vector<std::string> text_row = {".text",    "00001000", "00001234",
                                             "00000400", "00001400", "60000020"};
  for (std::size_t column = 0; column < text_row.size(); ++column) {
    EXPECT_EQ(get_cell_text(TableId::Sections1, 0, static_cast<int>(column)), text_row[column]);
  }
  EXPECT_EQ(get_cell_text(TableId::Sections1, 1, 0), ".data");
  EXPECT_EQ(get_cell_text(TableId::Sections1, 1, 5), "C0000040");
  EXPECT_EQ(tables.row_count(TableId::Sections2), 0);
  EXPECT_FALSE(tables.redraw_suspended(TableId::Sections1));
  EXPECT_FALSE(tables.redraw_suspended(TableId::Dos));

  // Three reads of exactly the header sizes, and the file closed.
  EXPECT_EQ(log.reads, (std::vector<std::size_t>{64, 248, 80}));
  EXPECT_EQ(log.closed, log.opened);
}

TEST_F(LoadFile, EachSlotWritesOnlyItsOwnColumnsAndSectionTable) {
  load(make_pe32(), 1, "one.exe");
  PeSpec other;
  other.time_date_stamp = 0x12345678;
  other.sections = {{".rsrc"}};
  load(make_pe32(other), 2, "two.exe");

  EXPECT_EQ(get_cell_text(TableId::FileHeader, 2, 1), "5F3759DF");
  EXPECT_EQ(get_cell_text(TableId::FileHeader, 2, 2), "12345678");
  EXPECT_EQ(get_cell_text(TableId::Directory, 1, 3), "00002000");
  EXPECT_EQ(get_cell_text(TableId::Directory, 1, 4), "00000028");
  EXPECT_EQ(tables.row_count(TableId::Sections1), 2);
  ASSERT_EQ(tables.row_count(TableId::Sections2), 1);
  EXPECT_EQ(get_cell_text(TableId::Sections2, 0, 0), ".rsrc");
}

TEST_F(LoadFile, SameFileInBothSlotsShowsTheSameTextsInEveryRow) {
  const auto path = dir.write("same.exe", make_pe32());
  load_file_into_slot(path, 1);
  load_file_into_slot(path, 2);
  for (TableId table : {TableId::Dos, TableId::FileHeader, TableId::OptionalHeader}) {
    for (int row = 0; row < tables.row_count(table); ++row) {
      EXPECT_NE(get_cell_text(table, row, 1), "");
      EXPECT_EQ(get_cell_text(table, row, 1), get_cell_text(table, row, 2));
    }
  }
  EXPECT_EQ(snapshot(TableId::Sections1), snapshot(TableId::Sections2));
  EXPECT_EQ(log.opened, 2);
  EXPECT_EQ(log.closed, 2);
}

TEST_F(LoadFile, SecondLoadIntoASlotReplacesItsSectionRows) {
  load(make_pe32());
  PeSpec spec;
  spec.sections = {{".one"}, {".two"}, {".three"}};
  load(make_pe32(spec));
  ASSERT_EQ(tables.row_count(TableId::Sections1), 3);
  EXPECT_EQ(get_cell_text(TableId::Sections1, 2, 0), ".three");
  EXPECT_EQ(file_slot(1).sections.size(), 3u);
}

// What a failing load leaves behind, step by step.
enum class After { Unchanged, New };

struct FailureCase {
  const char* what;
  std::function<void(Bytes&)> damage;  // turns a valid file into the case
  After dos_header;
  After nt_headers;
  After header_tables;
  bool zero_sections;  // the section list holds NumberOfSections zero records
};

void PrintTo(const FailureCase& c, std::ostream* os) {
  *os << c.what;
}

class LoadFailure : public LoadFile, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(LoadFailure, LeavesExactlyWhatTheFailedStepHadStored) {
  const FailureCase& c = GetParam();
  // A previous file, different in every header the case could touch.
  PeSpec previous_spec;
  previous_spec.e_lfanew = 0x40;
  previous_spec.time_date_stamp = 0x11111111;
  previous_spec.sections = {{".old", 1, 2, 3, 4, 5}};
  load(make_pe32(previous_spec), 1, "previous.exe");
  ASSERT_TRUE(messages.empty());
  const FileSlot previous = file_slot(1);
  const auto previous_headers = header_snapshot();
  const auto previous_sections = snapshot(TableId::Sections1);
  log = {};

  Bytes bytes = make_pe32();
  c.damage(bytes);
  load(bytes, 1, "damaged.exe");

  EXPECT_EQ(messages, std::vector<test::ShownMessage>{kNotPe32});
  const FileSlot& slot = file_slot(1);
  EXPECT_EQ(slot.dos_header.e_lfanew == previous.dos_header.e_lfanew,
            c.dos_header == After::Unchanged);
  EXPECT_EQ(
      slot.nt_headers.FileHeader.TimeDateStamp == previous.nt_headers.FileHeader.TimeDateStamp,
      c.nt_headers == After::Unchanged);
  EXPECT_EQ(header_snapshot() == previous_headers, c.header_tables == After::Unchanged);
  if (c.header_tables == After::New) {
    EXPECT_EQ(get_cell_text(TableId::FileHeader, 2, 1), "5F3759DF");
  }
  if (c.zero_sections) {
    ASSERT_EQ(slot.sections.size(), 2u);
    EXPECT_EQ(slot.sections[0].Name, (std::array<std::uint8_t, 8>{}));
    EXPECT_EQ(slot.sections[1].VirtualAddress, 0);
  } else {
    ASSERT_EQ(slot.sections.size(), 1u);
    EXPECT_EQ(slot.sections[0].VirtualAddress, 2);
  }
  // The section table never changes on a failure.
  EXPECT_EQ(snapshot(TableId::Sections1), previous_sections);
  EXPECT_EQ(log.closed, log.opened);
  EXPECT_LE(log.reads.size(), 3u);
}

const std::size_t kNt = 0x80;  // e_lfanew of make_pe32's files

INSTANTIATE_TEST_SUITE_P(
    FailureTable, LoadFailure,
    ::testing::Values(
        FailureCase{"fewer than 64 bytes", [](Bytes& b) { b.resize(63); }, After::Unchanged,
                    After::Unchanged, After::Unchanged, false},
        FailureCase{"no MZ", [](Bytes& b) { b[1] = 'X'; }, After::New, After::Unchanged,
                    After::Unchanged, false},
        FailureCase{"lowercase mz", [](Bytes& b) { put16(b, 0, 0x7A6D); }, After::New,
                    After::Unchanged, After::Unchanged, false},
        FailureCase{"fewer than 248 bytes at e_lfanew", [](Bytes& b) { b.resize(kNt + 247); },
                    After::New, After::Unchanged, After::Unchanged, false},
        FailureCase{"e_lfanew at the end of the file",
                    [](Bytes& b) { put32(b, 60, static_cast<std::uint32_t>(b.size())); },
                    After::New, After::Unchanged, After::Unchanged, false},
        FailureCase{"e_lfanew near 2^31", [](Bytes& b) { put32(b, 60, 0x7FFFFFFF); }, After::New,
                    After::Unchanged, After::Unchanged, false},
        FailureCase{"PE followed by non-zero bytes", [](Bytes& b) { b[kNt + 2] = 'X'; }, After::New,
                    After::New, After::Unchanged, false},
        FailureCase{"no PE signature", [](Bytes& b) { put32(b, kNt, 0x00004D5A); }, After::New,
                    After::New, After::Unchanged, false},
        FailureCase{"import directory size 0",
                    [](Bytes& b) { put32(b, kNt + test::kImportSizeOffset, 0); }, After::New,
                    After::New, After::New, false},
        FailureCase{"import directory size negative",
                    [](Bytes& b) { put32(b, kNt + test::kImportSizeOffset, 0x80000000u); },
                    After::New, After::New, After::New, false},
        FailureCase{"section headers cut short", [](Bytes& b) { b.pop_back(); }, After::New,
                    After::New, After::New, true}),
    [](const ::testing::TestParamInfo<FailureCase>& param_info) {
      std::string name;
      for (const char* p = param_info.param.what; *p != '\0'; ++p) {
        name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
      }
      return name;
    });

TEST_F(LoadFile, MissingOrEmptyPathCannotBeOpenedAndChangesNothing) {
  load(make_pe32());
  const auto headers = header_snapshot();
  const auto sections = snapshot(TableId::Sections1);
  for (const std::filesystem::path& path :
       {dir.path() / "no-such-file.exe", std::filesystem::path(), dir.path()}) {
    messages.clear();
    load_file_into_slot(path, 1);
    EXPECT_EQ(messages, std::vector<test::ShownMessage>{kCannotOpen}) << path;
  }
  EXPECT_EQ(header_snapshot(), headers);
  EXPECT_EQ(snapshot(TableId::Sections1), sections);
  EXPECT_EQ(file_slot(1).dos_header.e_lfanew, 0x80);
}

// Files that pass every test although a field is unusual.
TEST_F(LoadFile, UnusualButAcceptedFiles) {
  struct Case {
    const char* what;
    std::function<void(Bytes&)> change;
    int sections;
  };
  const Case cases[] = {
      {"Magic 0x20B", [](Bytes& b) { put16(b, kNt + test::kMagicOffset, 0x20B); }, 2},
      {"SizeOfOptionalHeader not 224",
       [](Bytes& b) { put16(b, kNt + test::kSizeOfOptionalHeaderOffset, 0xF0); }, 2},
      {"NumberOfRvaAndSizes 10",
       [](Bytes& b) { put32(b, kNt + test::kNumberOfRvaAndSizesOffset, 10); }, 2},
      {"machine not i386", [](Bytes& b) { put16(b, kNt + test::kMachineOffset, 0x8664); }, 2},
      {"no sections",
       [](Bytes& b) {
         put16(b, kNt + test::kNumberOfSectionsOffset, 0);
         b.resize(kNt + 248);
       },
       0},
  };
  for (const Case& c : cases) {
    messages.clear();
    Bytes bytes = make_pe32();
    c.change(bytes);
    load(bytes);
    EXPECT_TRUE(messages.empty()) << c.what;
    EXPECT_EQ(tables.row_count(TableId::Sections1), c.sections) << c.what;
  }
  EXPECT_EQ(log.closed, log.opened);
}

TEST_F(LoadFile, RecordsBeyondNumberOfRvaAndSizesAreStillShown) {
  Bytes bytes = make_pe32();
  put32(bytes, kNt + test::kNumberOfRvaAndSizesOffset, 10);
  put32(bytes, kNt + test::kDataDirectoryOffset + 15 * 8, 0xDEADBEEF);
  put32(bytes, kNt + test::kDataDirectoryOffset + 15 * 8 + 4, 0xFFFFFFFF);
  load(bytes);
  EXPECT_EQ(get_cell_text(TableId::OptionalHeader, 29, 1), "0000000A");
  EXPECT_EQ(get_cell_text(TableId::Directory, 15, 1), "DEADBEEF");
  EXPECT_EQ(get_cell_text(TableId::Directory, 15, 2), "FFFFFFFF");
}

TEST_F(LoadFile, NegativeELfanewReadsTheHeadersRightBehindTheDosHeader) {
  struct Case {
    std::int32_t e_lfanew;
    const char* cell;
  };
  // Between -248 and -1, e_lfanew + 248 would point into the headers
  // themselves; the sections still come right behind the NT headers read.
  for (const Case c : {Case{-1000, "FFFFFC18"}, Case{-248, "FFFFFF08"}, Case{-8, "FFFFFFF8"},
                       Case{-1, "FFFFFFFF"}}) {
    messages.clear();
    PeSpec spec;
    spec.e_lfanew = 64;
    Bytes bytes = make_pe32(spec);
    put32(bytes, 60, static_cast<std::uint32_t>(c.e_lfanew));
    load(bytes);
    EXPECT_TRUE(messages.empty()) << c.e_lfanew;
    EXPECT_EQ(get_cell_text(TableId::Dos, 18, 1), c.cell);
    EXPECT_EQ(get_cell_text(TableId::FileHeader, 0, 1), "014C") << c.e_lfanew;
    EXPECT_EQ(get_cell_text(TableId::Sections1, 0, 0), ".text") << c.e_lfanew;
    EXPECT_EQ(get_cell_text(TableId::Sections1, 1, 0), ".data") << c.e_lfanew;
  }
}

TEST_F(LoadFile, SectionCountWithTheTopBitSetIsReadUnsigned) {
  PeSpec spec;
  spec.sections.assign(0x8001, {".s"});
  load(make_pe32(spec));
  EXPECT_TRUE(messages.empty());
  EXPECT_EQ(get_cell_text(TableId::FileHeader, 1, 1), "8001");
  EXPECT_EQ(tables.row_count(TableId::Sections1), 0x8001);
  EXPECT_EQ(log.reads.back(), 0x8001u * 40);

  // A count of 0xFFFF in a file that holds two section headers is short.
  messages.clear();
  Bytes bytes = make_pe32();
  put16(bytes, kNt + test::kNumberOfSectionsOffset, 0xFFFF);
  load(bytes);
  EXPECT_EQ(messages, std::vector<test::ShownMessage>{kNotPe32});
  EXPECT_EQ(get_cell_text(TableId::FileHeader, 1, 1), "FFFF");
  EXPECT_EQ(tables.row_count(TableId::Sections1), 0x8001);
}

TEST_F(LoadFile, TheFileIsLeftAsItWasAndCanBeDeletedRightAfter) {
  const auto path = dir.write("keep.exe", make_pe32());
  const auto bytes_before = test::read_file(path);
  const auto time_before = std::filesystem::last_write_time(path);
  load_file_into_slot(path, 1);
  EXPECT_EQ(test::read_file(path), bytes_before);
  EXPECT_EQ(std::filesystem::last_write_time(path), time_before);
  EXPECT_TRUE(std::filesystem::remove(path));
}

}  // namespace
}  // namespace twinlens
