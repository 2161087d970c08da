#include "compare/row_colour_registry.h"

#include <gtest/gtest.h>

#include <climits>
#include <tuple>

#include "unit/row_colour_state.h"

namespace twinlens {
namespace {

using RowColourRegistryTest = test::RowColourState;

const WindowRef kMain = WindowRef::main_window();
const WindowRef kDos = WindowRef::table(TableId::Dos);
const WindowRef kFileHeader = WindowRef::table(TableId::FileHeader);

struct Entry {
  WindowRef parent;
  WindowRef table;
  std::string rows;
  std::string text_colours;
  std::string background_colours;
};

void expect_entries(const std::vector<Entry>& expected) {
  const RowColourRegistry& registry = row_colour_registry();
  ASSERT_EQ(registry.parent_windows.size(), expected.size());
  ASSERT_EQ(registry.table_windows.size(), expected.size());
  ASSERT_EQ(registry.row_texts.size(), expected.size());
  ASSERT_EQ(registry.text_colour_texts.size(), expected.size());
  ASSERT_EQ(registry.background_colour_texts.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    SCOPED_TRACE("entry " + std::to_string(i));
    EXPECT_EQ(registry.parent_windows[i], expected[i].parent);
    EXPECT_EQ(registry.table_windows[i], expected[i].table);
    EXPECT_EQ(registry.row_texts[i], expected[i].rows);
    EXPECT_EQ(registry.text_colour_texts[i], expected[i].text_colours);
    EXPECT_EQ(registry.background_colour_texts[i], expected[i].background_colours);
  }
}

using Message = std::tuple<TableId, std::uint32_t, std::uintptr_t, std::intptr_t>;

std::vector<Message> sent(const MemoryTables& tables) {
  std::vector<Message> result;
  for (const auto& m : tables.sent_messages()) {
    result.emplace_back(m.table, m.message, m.wparam, m.lparam);
  }
  return result;
}

TEST_F(RowColourRegistryTest, FirstColourOfATableMakesAnEntryAndReplacesTheProcedureOnce) {
  set_row_colour(kMain, kDos, 0, 255, 16777215);

  expect_entries({{kMain, kDos, "0", "255", "16777215"}});
  EXPECT_EQ(replaced_for, std::vector<WindowRef>{kMain});
  EXPECT_EQ(row_colour_registry().saved_procedures, std::vector<std::uintptr_t>{0x401000});
}

TEST_F(RowColourRegistryTest, LaterColoursOfTheSameTableAppendOneMemberEach) {
  set_row_colour(kMain, kDos, 0, 255, 16777215);
  set_row_colour(kMain, kDos, 1, 0, 16777215);

  expect_entries({{kMain, kDos, "0|1", "255|0", "16777215|16777215"}});
  EXPECT_EQ(replaced_for.size(), 1u);
  EXPECT_EQ(row_colour_registry().saved_procedures, std::vector<std::uintptr_t>{0x401000});
}

TEST_F(RowColourRegistryTest, EachNewParentAndTablePairGetsItsOwnEntryAndReplacement) {
  set_row_colour(kMain, kDos, 0, 255, 16777215);
  set_row_colour(kMain, kFileHeader, 5, 255, 16777215);
  set_row_colour(kMain, kDos, 2, 0, 16777215);
  // Only the pair matters: the same table under another parent is new.
  set_row_colour(kFileHeader, kDos, 3, 0, 16777215);

  expect_entries({{kMain, kDos, "0|2", "255|0", "16777215|16777215"},
                  {kMain, kFileHeader, "5", "255", "16777215"},
                  {kFileHeader, kDos, "3", "0", "16777215"}});
  EXPECT_EQ(replaced_for, (std::vector<WindowRef>{kMain, kMain, kFileHeader}));
  EXPECT_EQ(row_colour_registry().saved_procedures,
            (std::vector<std::uintptr_t>{0x401000, 0x402000, 0x403000}));
}

TEST_F(RowColourRegistryTest, ColoursAreKeptAsSignedDecimal) {
  set_row_colour(kMain, kDos, 3, -1, INT32_MIN);
  set_row_colour(kMain, kDos, 4, 0x7FFFFFFF, 0);

  expect_entries({{kMain, kDos, "3|4", "-1|2147483647", "-2147483648|0"}});
}

TEST_F(RowColourRegistryTest, FailedReplacementSavesNothingButTheColourStillCounts) {
  previous_procedures = {0, 0x402000};
  set_row_colour(kMain, kDos, 6, 255, 16777215);

  expect_entries({{kMain, kDos, "6", "255", "16777215"}});
  EXPECT_EQ(replaced_for.size(), 1u);
  EXPECT_TRUE(row_colour_registry().saved_procedures.empty());
  EXPECT_EQ(sent(tables), (std::vector<Message>{{TableId::Dos, kLvmUpdate, 0, 0},
                                                {TableId::Dos, kLvmRedrawItems, 6, 6}}));

  // The first replacement that worked is the one kept first.
  set_row_colour(kMain, kFileHeader, 0, 0, 16777215);
  EXPECT_EQ(row_colour_registry().saved_procedures, std::vector<std::uintptr_t>{0x402000});
}

TEST_F(RowColourRegistryTest, WithoutAReplacerTheColourIsRecordedAndNothingSaved) {
  set_window_procedure_replacer({});
  set_row_colour(kMain, kDos, 1, 255, 16777215);

  expect_entries({{kMain, kDos, "1", "255", "16777215"}});
  EXPECT_TRUE(row_colour_registry().saved_procedures.empty());
  EXPECT_EQ(sent(tables).size(), 2u);
}

TEST_F(RowColourRegistryTest, EveryColourUpdatesTheTableAndRedrawsItsRow) {
  set_row_colour(kMain, kDos, 0, 255, 16777215);
  set_row_colour(kMain, kDos, 7, 0, 16777215);
  set_row_colour(kMain, WindowRef::table(TableId::Directory), 15, 255, 16777215);

  EXPECT_EQ(sent(tables), (std::vector<Message>{{TableId::Dos, kLvmUpdate, 0, 0},
                                                {TableId::Dos, kLvmRedrawItems, 0, 0},
                                                {TableId::Dos, kLvmUpdate, 0, 0},
                                                {TableId::Dos, kLvmRedrawItems, 7, 7},
                                                {TableId::Directory, kLvmUpdate, 0, 0},
                                                {TableId::Directory, kLvmRedrawItems, 15, 15}}));
}

}  // namespace
}  // namespace twinlens
