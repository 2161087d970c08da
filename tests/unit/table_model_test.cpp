#include <gtest/gtest.h>

#include "support/program_state.h"
#include "tables/field_tables.h"
#include "tables/table_layout.h"

namespace twinlens {
namespace {

using TableModel = test::ProgramState;

TEST_F(TableModel, AtStartOnlyTheDirectoryTableHasRows) {
  EXPECT_EQ(tables.row_count(TableId::Directory), 16);
  EXPECT_EQ(get_cell_text(TableId::Directory, 0, 0), "导出表");
  EXPECT_EQ(get_cell_text(TableId::Directory, 9, 0), "TLS表");
  EXPECT_EQ(get_cell_text(TableId::Directory, 15, 0), "保留");
  for (int column = 1; column <= 4; ++column) {
    EXPECT_EQ(get_cell_text(TableId::Directory, 3, column), "");
  }
  for (TableId table : {TableId::Dos, TableId::FileHeader, TableId::OptionalHeader,
                        TableId::Sections1, TableId::Sections2}) {
    EXPECT_EQ(tables.row_count(table), 0);
  }
}

TEST_F(TableModel, FieldNameRowsFillTheThreeHeaderTablesInOrder) {
  insert_field_name_rows();
  EXPECT_EQ(tables.row_count(TableId::Dos), 19);
  EXPECT_EQ(tables.row_count(TableId::FileHeader), 7);
  EXPECT_EQ(tables.row_count(TableId::OptionalHeader), 30);
  EXPECT_EQ(tables.row_count(TableId::Directory), 16);
  EXPECT_EQ(tables.row_count(TableId::Sections1), 0);
  EXPECT_EQ(get_cell_text(TableId::Dos, 0, 0), "e_magic");
  EXPECT_EQ(get_cell_text(TableId::Dos, 18, 0), "e_lfanew");
  EXPECT_EQ(get_cell_text(TableId::FileHeader, 1, 0), "NumberOfSections");
  EXPECT_EQ(get_cell_text(TableId::OptionalHeader, 29, 0), "NumberOfRvaAndSizes");
  EXPECT_EQ(get_cell_text(TableId::Dos, 0, 1), "");
  EXPECT_EQ(get_cell_text(TableId::Dos, 0, 2), "");
}

TEST_F(TableModel, MissingCellsReadEmptyAndSwallowWrites) {
  insert_field_name_rows();
  set_cell_text(TableId::Dos, 19, 1, "lost");
  set_cell_text(TableId::Dos, -1, 1, "lost");
  set_cell_text(TableId::Dos, 0, 3, "lost");
  EXPECT_EQ(get_cell_text(TableId::Dos, 19, 1), "");
  EXPECT_EQ(get_cell_text(TableId::Dos, -1, 1), "");
  EXPECT_EQ(get_cell_text(TableId::Dos, 0, 3), "");
  EXPECT_EQ(get_cell_text(TableId::Directory, 0, 5), "");
  EXPECT_EQ(tables.row_count(TableId::Dos), 19);
}

TEST_F(TableModel, InsertRowReturnsTheRowCountBeforeAndDeleteAllStartsOver) {
  EXPECT_EQ(insert_row(TableId::Sections1, ".text"), 0);
  for (int i = 1; i < 5; ++i) insert_row(TableId::Sections1, "x");
  EXPECT_EQ(insert_row(TableId::Sections1, ".rsrc"), 5);
  EXPECT_EQ(get_cell_text(TableId::Sections1, 5, 0), ".rsrc");
  delete_all_rows(TableId::Sections1);
  EXPECT_EQ(tables.row_count(TableId::Sections1), 0);
  EXPECT_EQ(insert_row(TableId::Sections1, ".data"), 0);
}

TEST_F(TableModel, EachTableKeepsItsOwnSingleSelection) {
  insert_field_name_rows();
  tables.select_row(TableId::Dos, 3);
  tables.select_row(TableId::FileHeader, 1);
  tables.select_row(TableId::Dos, 4);
  EXPECT_FALSE(is_row_selected(TableId::Dos, 3));
  EXPECT_TRUE(is_row_selected(TableId::Dos, 4));
  EXPECT_TRUE(is_row_selected(TableId::FileHeader, 1));
  EXPECT_FALSE(is_row_selected(TableId::Dos, 99));
}

TEST(TableLayout, ColumnsHaveTheirTitlesAndWidths) {
  const auto& dos = table_columns(TableId::Dos);
  ASSERT_EQ(dos.size(), 3u);
  EXPECT_STREQ(dos[1].title, "文件1");
  EXPECT_EQ(dos[1].width, 270);
  const auto& directory = table_columns(TableId::Directory);
  ASSERT_EQ(directory.size(), 5u);
  EXPECT_STREQ(directory[4].title, "文件2(大小)");
  const auto& sections = table_columns(TableId::Sections2);
  ASSERT_EQ(sections.size(), 6u);
  EXPECT_STREQ(sections[1].title, "V.偏移");
  EXPECT_STREQ(sections[5].title, "标志");
  EXPECT_EQ(table_columns(TableId::OptionalHeader)[0].width, 150);
}

}  // namespace
}  // namespace twinlens
