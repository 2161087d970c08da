// The two sample files shipped with the build: both load, and side by side
// they differ in exactly the rows they were linked to differ in.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <utility>

#include "pe/load_file.h"
#include "support/program_state.h"
#include "tables/field_tables.h"

namespace twinlens {
namespace {

class SampleFiles : public test::ProgramState {
 protected:
  void SetUp() override {
    ProgramState::SetUp();
    insert_field_name_rows();
  }
};

TEST_F(SampleFiles, BothLoadAndDifferOnlyInImageVersionStackReserveAndChecksum) {
  const std::filesystem::path samples = TWINLENS_SAMPLE_DIR;
  load_file_into_slot(samples / "twinlens-sample-1.exe", 1);
  load_file_into_slot(samples / "twinlens-sample-2.exe", 2);
  EXPECT_TRUE(messages.empty());

  // Row name -> (file 1, file 2), for every header row that differs.
  std::map<std::string, std::pair<std::string, std::string>> differences;
  for (TableId table : {TableId::Dos, TableId::FileHeader, TableId::OptionalHeader}) {
    for (int row = 0; row < tables.row_count(table); ++row) {
      const std::string one = get_cell_text(table, row, 1), two = get_cell_text(table, row, 2);
      EXPECT_FALSE(one.empty()) << get_cell_text(table, row, 0);
      if (one != two) differences[get_cell_text(table, row, 0)] = {one, two};
    }
  }
  for (int row = 0; row < tables.row_count(TableId::Directory); ++row) {
    EXPECT_EQ(get_cell_text(TableId::Directory, row, 1), get_cell_text(TableId::Directory, row, 3));
    EXPECT_EQ(get_cell_text(TableId::Directory, row, 2), get_cell_text(TableId::Directory, row, 4));
  }
  EXPECT_NE(get_cell_text(TableId::Directory, 1, 2), "00000000");  // imports

  // The linker's checksum covers the whole file, so it follows the others.
  ASSERT_EQ(differences.count("CheckSum"), 1u);
  differences.erase("CheckSum");
  const std::map<std::string, std::pair<std::string, std::string>> intended = {
      {"MajorImageVersion", {"0001", "0002"}},
      {"MinorImageVersion", {"0000", "0005"}},
      {"SizeOfStackReserve", {"00200000", "00400000"}},
  };
  EXPECT_EQ(differences, intended);

  ASSERT_GT(tables.row_count(TableId::Sections1), 0);
  ASSERT_EQ(tables.row_count(TableId::Sections1), tables.row_count(TableId::Sections2));
  for (int row = 0; row < tables.row_count(TableId::Sections1); ++row) {
    for (int column = 0; column < 6; ++column) {
      EXPECT_EQ(get_cell_text(TableId::Sections1, row, column),
                get_cell_text(TableId::Sections2, row, column));
    }
  }
}

}  // namespace
}  // namespace twinlens
