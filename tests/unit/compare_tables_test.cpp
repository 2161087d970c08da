#include "compare/compare_tables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "compare/custom_draw.h"
#include "pe/load_file.h"
#include "support/pe_builder.h"
#include "support/temp_dir.h"
#include "tables/table_layout.h"
#include "unit/row_colour_state.h"

namespace twinlens {
namespace {

constexpr TableId kComparedTables[] = {TableId::Dos, TableId::FileHeader, TableId::OptionalHeader,
                                       TableId::Directory};
constexpr int kRed = 255;
constexpr int kBlack = 0;

int compared_rows(TableId table) {
  return table == TableId::Directory ? static_cast<int>(directory_row_names().size())
                                     : static_cast<int>(field_names(table).size());
}

int field_row(TableId table, const std::string& name) {
  const auto& names = field_names(table);
  const auto found = std::find(names.begin(), names.end(), name);
  EXPECT_NE(found, names.end()) << name;
  return static_cast<int>(found - names.begin());
}

class CompareTables : public test::RowColourState {
 protected:
  void SetUp() override {
    RowColourState::SetUp();
    insert_field_name_rows();
  }

  void load(const test::Bytes& bytes, int slot) {
    load_file_into_slot(dir.write("file" + std::to_string(slot) + ".exe", bytes), slot);
  }

  // The text colour each row of the table was given last, -1 where none;
  // also checks that every row it was given is on white.
  std::vector<int> row_colours(TableId table) {
    const RowColourRegistry& registry = row_colour_registry();
    std::vector<int> colours(static_cast<std::size_t>(compared_rows(table)), -1);
    for (std::size_t entry = 0; entry < registry.table_windows.size(); ++entry) {
      if (registry.table_windows[entry] != WindowRef::table(table)) continue;
      EXPECT_EQ(registry.parent_windows[entry], WindowRef::main_window());
      const auto rows = test::members(registry.row_texts[entry]);
      const auto texts = test::members(registry.text_colour_texts[entry]);
      const auto backgrounds = test::members(registry.background_colour_texts[entry]);
      EXPECT_EQ(texts.size(), rows.size());
      EXPECT_EQ(backgrounds.size(), rows.size());
      for (std::size_t i = 0; i < rows.size() && i < texts.size(); ++i) {
        colours.at(std::stoul(rows[i])) = std::stoi(texts[i]);
        if (i < backgrounds.size()) {
          EXPECT_EQ(backgrounds[i], "16777215");
        }
      }
    }
    return colours;
  }

  // Every compared row black, except the listed ones, which are red.
  void expect_red_rows_only(const std::map<TableId, std::vector<int>>& red) {
    for (TableId table : kComparedTables) {
      std::vector<int> expected(static_cast<std::size_t>(compared_rows(table)), kBlack);
      const auto listed = red.find(table);
      if (listed != red.end()) {
        for (int row : listed->second) expected.at(static_cast<std::size_t>(row)) = kRed;
      }
      EXPECT_EQ(row_colours(table), expected) << "table " << static_cast<int>(table);
    }
  }

  void expect_all_rows(int colour) {
    for (TableId table : kComparedTables) {
      EXPECT_EQ(row_colours(table),
                std::vector<int>(static_cast<std::size_t>(compared_rows(table)), colour))
          << "table " << static_cast<int>(table);
    }
  }

  test::TempDir dir;
};

TEST_F(CompareTables, OneComparisonRecordsEveryRowOfTheFourTablesInOrder) {
  compare_tables();

  const RowColourRegistry& registry = row_colour_registry();
  ASSERT_EQ(registry.table_windows.size(), 4u);
  for (std::size_t entry = 0; entry < 4; ++entry) {
    const TableId table = kComparedTables[entry];
    SCOPED_TRACE("table " + std::to_string(static_cast<int>(table)));
    EXPECT_EQ(registry.parent_windows[entry], WindowRef::main_window());
    EXPECT_EQ(registry.table_windows[entry], WindowRef::table(table));
    std::string rows;
    for (int row = 0; row < compared_rows(table); ++row) {
      rows += (row == 0 ? "" : "|") + std::to_string(row);
    }
    EXPECT_EQ(registry.row_texts[entry], rows);
  }
  EXPECT_EQ(test::members(registry.row_texts[0]).size(), 19u);
  EXPECT_EQ(test::members(registry.row_texts[1]).size(), 7u);
  EXPECT_EQ(test::members(registry.row_texts[2]).size(), 30u);
  EXPECT_EQ(test::members(registry.row_texts[3]).size(), 16u);

  EXPECT_EQ(replaced_for, std::vector<WindowRef>(4, WindowRef::main_window()));
  EXPECT_EQ(registry.saved_procedures,
            (std::vector<std::uintptr_t>{0x401000, 0x402000, 0x403000, 0x404000}));
  EXPECT_EQ(tables.sent_messages().size(), 2u * 72u);
}

TEST_F(CompareTables, ASecondComparisonAppendsAndItsColoursWin) {
  const int checksum = field_row(TableId::OptionalHeader, "CheckSum");
  set_cell_text(TableId::OptionalHeader, checksum, 1, "00000001");
  set_cell_text(TableId::OptionalHeader, checksum, 2, "00000002");
  compare_tables();
  expect_red_rows_only({{TableId::OptionalHeader, {checksum}}});

  set_cell_text(TableId::OptionalHeader, checksum, 2, "00000001");
  set_cell_text(TableId::Dos, 0, 1, "5A4D");
  compare_tables();
  expect_red_rows_only({{TableId::Dos, {0}}});

  const RowColourRegistry& registry = row_colour_registry();
  ASSERT_EQ(registry.row_texts.size(), 4u);
  EXPECT_EQ(test::members(registry.row_texts[0]).size(), 2u * 19u);
  EXPECT_EQ(test::members(registry.text_colour_texts[2]).size(), 2u * 30u);
  EXPECT_EQ(test::members(registry.background_colour_texts[3]).size(), 2u * 16u);
  EXPECT_EQ(replaced_for.size(), 4u);
  EXPECT_EQ(registry.saved_procedures.size(), 4u);

  // What the window will paint: the newest colours.
  CustomDrawFields fields;
  fields.from = table_window_handle(TableId::OptionalHeader);
  fields.draw_stage = kCddsItemPrepaint;
  fields.item_spec = static_cast<std::uintptr_t>(checksum);
  fields.text_colour = 0x123456;
  ASSERT_EQ(answer_custom_draw(fields), CustomDrawAnswer::RowColoured);
  EXPECT_EQ(fields.text_colour, 0u);
}

TEST_F(CompareTables, WithNoFileLoadedEveryRowIsBlack) {
  compare_tables();
  expect_all_rows(kBlack);
}

TEST_F(CompareTables, WithOnlyOneFileLoadedEveryRowIsRed) {
  for (int slot : {1, 2}) {
    SCOPED_TRACE("slot " + std::to_string(slot));
    load(test::make_pe32(), slot);
    compare_tables();
    expect_all_rows(kRed);
    // Empty the slot's columns again for the other case.
    for (TableId table : kComparedTables) {
      for (int row = 0; row < compared_rows(table); ++row) {
        for (int column = 1; column <= 4; ++column) set_cell_text(table, row, column, "");
      }
    }
  }
}

TEST_F(CompareTables, TheSameFileInBothSlotsIsAllBlack) {
  load(test::make_pe32(), 1);
  load(test::make_pe32(), 2);
  compare_tables();
  expect_all_rows(kBlack);
}

TEST_F(CompareTables, TwoFilesDifferOnlyInTheRowsOfTheFieldsThatDiffer) {
  test::PeSpec first, second;
  second.time_date_stamp = first.time_date_stamp + 1;
  second.import_size = first.import_size + 4;
  load(test::make_pe32(first), 1);
  load(test::make_pe32(second), 2);
  compare_tables();
  expect_red_rows_only({{TableId::FileHeader, {field_row(TableId::FileHeader, "TimeDateStamp")}},
                        {TableId::Directory, {1}}});
}

TEST_F(CompareTables, HeaderRowsCompareTheirTwoValueTextsExactly) {
  struct Case {
    TableId table;
    int row;
    const char* file_1;
    const char* file_2;
  };
  // Each case on its own row, the first and last rows of each table among them.
  const Case red[] = {
      {TableId::Dos, 0, "00AB", "00ab"},  // case alone makes a difference
      {TableId::Dos, 18, "00000080", "00000081"},
      {TableId::FileHeader, 0, "014C", ""},
      {TableId::FileHeader, 6, "", "0102"},
      {TableId::OptionalHeader, 0, "010B", "010b"},
      {TableId::OptionalHeader, 29, "00000010", "0000010"},
  };
  const Case black[] = {
      {TableId::Dos, 1, "0090", "0090"},
      {TableId::FileHeader, 3, "00000000", "00000000"},
      {TableId::OptionalHeader, 28, "0000ab00", "0000ab00"},
  };
  std::map<TableId, std::vector<int>> red_rows;
  for (const Case& c : red) {
    set_cell_text(c.table, c.row, 1, c.file_1);
    set_cell_text(c.table, c.row, 2, c.file_2);
    red_rows[c.table].push_back(c.row);
  }
  for (const Case& c : black) {
    set_cell_text(c.table, c.row, 1, c.file_1);
    set_cell_text(c.table, c.row, 2, c.file_2);
  }
  compare_tables();
  expect_red_rows_only(red_rows);
}

TEST_F(CompareTables, DirectoryRowsCompareAddressesThenSizes) {
  struct Case {
    const char* address_1;
    const char* size_1;
    const char* address_2;
    const char* size_2;
    bool red;
  };
  // Case i goes to directory row i. Columns: file 1 address and size, then file 2's.
  const Case cases[] = {
      {"00002000", "00000028", "00002000", "00000028", false},
      {"00002000", "00000028", "00002000", "0000003C", true},  // same address, other size
      {"00002000", "00000028", "00003000", "00000028", true},  // other address, same size
      {"00002000", "00000028", "00003000", "0000003C", true},  // both differ
      {"000000AB", "00000000", "000000ab", "00000000", true},  // address differs in case only
      {"00000000", "000000AB", "00000000", "000000ab", true},  // size differs in case only
      {"00001000", "00001000", "00002000", "00002000", true},  // each file agrees with itself
      {"00001000", "00002000", "00002000", "00001000", true},  // address and size swapped
      {"00001000", "", "00001000", "", false},
      {"", "", "", "", false},
  };
  std::vector<int> red_rows;
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    const int row = static_cast<int>(i);
    set_cell_text(TableId::Directory, row, 1, cases[i].address_1);
    set_cell_text(TableId::Directory, row, 2, cases[i].size_1);
    set_cell_text(TableId::Directory, row, 3, cases[i].address_2);
    set_cell_text(TableId::Directory, row, 4, cases[i].size_2);
    if (cases[i].red) red_rows.push_back(row);
  }
  compare_tables();
  expect_red_rows_only({{TableId::Directory, red_rows}});
}

}  // namespace
}  // namespace twinlens
