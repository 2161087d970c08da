// The comparison as the user sees it: the colours the real window's tables
// paint after "比较", read back from the screen.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <functional>

#include "app/list_view_tables_win32.h"
#include "pe/load_file.h"
#include "pe/user_message.h"
#include "support/pe_builder.h"
#include "support/temp_dir.h"
#include "support/window_test_support.h"
#include "tables/table_layout.h"

namespace twinlens {
namespace {

using test::Bytes;
using test::make_pe32;
using test::PeSpec;

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kSelectedBackground = 0x8050FF;

// The page each header table is on.
int page_of(TableId table) {
  switch (table) {
    case TableId::Dos:
      return 0;
    case TableId::FileHeader:
      return 1;
    case TableId::OptionalHeader:
      return 2;
    default:
      return 3;
  }
}

bool texts_differ(TableId table, int row) {
  if (table == TableId::Directory) {
    return get_cell_text(table, row, 1) != get_cell_text(table, row, 3) ||
           get_cell_text(table, row, 2) != get_cell_text(table, row, 4);
  }
  return get_cell_text(table, row, 1) != get_cell_text(table, row, 2);
}

class CompareColours : public ::testing::Test {
 protected:
  void SetUp() override {
    // A load that fails here is a broken fixture; do not wait on a message box.
    set_message_box_service([](const std::string& text, const std::string&) {
      ADD_FAILURE() << "unexpected message: " << text;
    });
  }

  void load(const Bytes& bytes, int slot, const char* name) {
    load_file_into_slot(dir.write(name, bytes), slot);
    test::pump_messages();
  }

  // Checks every row the table shows on screen: red text where `red(row)`,
  // black where not, on `background`.
  void expect_visible_rows(TableId table, const std::function<bool(int)>& red,
                           COLORREF background = kWhite) {
    ui.select_page(page_of(table));
    const HWND list_view = ui.table(table);
    const int first = ListView_GetTopIndex(list_view);
    const int last =
        std::min(first + ListView_GetCountPerPage(list_view), ListView_GetItemCount(list_view));
    ASSERT_GT(last, first);
    for (int row = first; row < last; ++row) {
      const test::RowPixels pixels = test::read_row_pixels(list_view, row);
      EXPECT_EQ(pixels.background(), background) << "table " << int(table) << " row " << row;
      if (red(row)) {
        EXPECT_TRUE(pixels.contains(RGB(255, 0, 0))) << "table " << int(table) << " row " << row;
      } else {
        EXPECT_FALSE(pixels.has_reddish()) << "table " << int(table) << " row " << row;
        EXPECT_TRUE(pixels.contains(kBlack)) << "table " << int(table) << " row " << row;
      }
    }
  }

  void expect_rows_as_texts_say() {
    for (TableId table :
         {TableId::Dos, TableId::FileHeader, TableId::OptionalHeader, TableId::Directory}) {
      expect_visible_rows(table, [table](int row) { return texts_differ(table, row); });
    }
  }

  test::RunningMainWindow ui;
  test::TempDir dir;
};

const auto kNoRow = [](int) { return false; };
const auto kEveryRow = [](int) { return true; };

TEST_F(CompareColours, WithNoFileEveryRowIsBlackOnWhite) {
  ui.click(kCompare);
  for (TableId table :
       {TableId::Dos, TableId::FileHeader, TableId::OptionalHeader, TableId::Directory}) {
    expect_visible_rows(table, kNoRow);
  }
}

TEST_F(CompareColours, WithOneFileEveryValueRowIsRed) {
  load(make_pe32(), 1, "one.exe");
  ui.click(kCompare);
  expect_visible_rows(TableId::Dos, kEveryRow);
  expect_visible_rows(TableId::OptionalHeader, kEveryRow);
}

TEST_F(CompareColours, TheSameFileTwiceIsBlackEverywhere) {
  load(make_pe32(), 1, "same.exe");
  load(make_pe32(), 2, "same.exe");
  ui.click(kCompare);
  for (TableId table :
       {TableId::Dos, TableId::FileHeader, TableId::OptionalHeader, TableId::Directory}) {
    expect_visible_rows(table, kNoRow);
  }
}

TEST_F(CompareColours, TwoBuildsShowExactlyTheirDifferingRowsInRed) {
  load(make_pe32(), 1, "old.exe");
  PeSpec newer;
  newer.time_date_stamp = 0x12345678;
  newer.import_size = 0x3C;  // same import RVA, another size
  newer.sections.push_back({".rsrc"});
  Bytes bytes = make_pe32(newer);
  test::put16(bytes, 2, 0x0091);  // e_cblp
  load(bytes, 2, "new.exe");

  ui.click(kCompare);
  expect_rows_as_texts_say();
  // Row 1 of the directory table, the import table: equal RVAs, sizes differ.
  ASSERT_EQ(get_cell_text(TableId::Directory, 1, 1), get_cell_text(TableId::Directory, 1, 3));
  EXPECT_TRUE(test::read_row_pixels(ui.table(TableId::Directory), 1).contains(RGB(255, 0, 0)));
}

TEST_F(CompareColours, ASelectedRowOfAComparedTableIsWhiteOnPink) {
  load(make_pe32(), 1, "one.exe");
  ui.click(kCompare);
  const HWND dos = ui.table(TableId::Dos);
  for (int row : {2, 5}) {  // red or not, selection wins
    ListView_SetItemState(dos, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    test::pump_messages();
    const test::RowPixels pixels = test::read_row_pixels(dos, row);
    EXPECT_EQ(pixels.background(), kSelectedBackground) << row;
    EXPECT_TRUE(pixels.contains(kWhite)) << row;
    EXPECT_FALSE(pixels.contains(RGB(255, 0, 0))) << row;
  }
  // The row selected before is drawn in its recorded colours again.
  EXPECT_TRUE(test::read_row_pixels(dos, 2).contains(RGB(255, 0, 0)));
}

TEST_F(CompareColours, SectionTablesKeepTheControlsOwnColours) {
  load(make_pe32(), 1, "one.exe");
  PeSpec other;
  other.sections = {{".other", 1, 2, 3, 4, 5}, {".more"}};
  load(make_pe32(other), 2, "two.exe");
  ui.click(kCompare);
  ui.select_page(4);
  for (TableId table : {TableId::Sections1, TableId::Sections2}) {
    const test::RowPixels pixels = test::read_row_pixels(ui.table(table), 0);
    EXPECT_EQ(pixels.background(), kWhite);
    EXPECT_TRUE(pixels.contains(kBlack));
    EXPECT_FALSE(pixels.has_reddish());
  }
  const HWND sections = ui.table(TableId::Sections1);
  ListView_SetItemState(sections, 1, LVIS_SELECTED, LVIS_SELECTED);
  test::pump_messages();
  EXPECT_NE(test::read_row_pixels(sections, 1).background(), kSelectedBackground);
}

// Loading keeps the colours; the next "比较" repaints every row it records,
// with nothing else asking the tables to paint.
TEST_F(CompareColours, ColoursStayUntilTheNextCompareWhichShowsThemAtOnce) {
  load(make_pe32(), 1, "one.exe");
  load(make_pe32(), 2, "one.exe");
  ui.click(kCompare);
  expect_visible_rows(TableId::Dos, kNoRow);

  Bytes changed = make_pe32();
  for (std::size_t offset : {2u, 4u, 8u, 12u, 16u, 24u}) test::put16(changed, offset, 0x7777);
  load(changed, 2, "changed.exe");
  expect_visible_rows(TableId::Dos, kNoRow);  // still the last comparison's colours

  // Only the click, then the message loop: no invalidation of our own.
  SendMessageW(ui.control(kCompare), BM_CLICK, 0, 0);
  test::pump_messages();
  const HWND dos = ui.table(TableId::Dos);
  for (int row = 0; row < 15; ++row) {
    const bool red = texts_differ(TableId::Dos, row);
    EXPECT_EQ(test::read_row_pixels(dos, row).contains(RGB(255, 0, 0)), red) << row;
  }
}

}  // namespace
}  // namespace twinlens
