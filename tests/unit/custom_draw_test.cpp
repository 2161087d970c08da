#include "compare/custom_draw.h"

#include <gtest/gtest.h>

#include <tuple>

#include "unit/row_colour_state.h"

namespace twinlens {
namespace {

// Custom-draw values the answer does not handle, by value.
constexpr std::uint32_t kCddsPostpaint = 0x2;
constexpr std::uint32_t kCddsPreerase = 0x3;
constexpr std::uint32_t kCddsItemPostpaint = 0x10002;
constexpr std::uint32_t kCddsItemPreerase = 0x10003;
constexpr std::uint32_t kCddsSubitemPrepaint = 0x30001;  // CDDS_SUBITEM | CDDS_ITEMPREPAINT
constexpr std::uint32_t kCdisSelectedFocus = 0x11;       // CDIS_SELECTED | CDIS_FOCUS

// The colours the control would draw with when nobody changes them.
constexpr std::uint32_t kControlText = 0x00112233;
constexpr std::uint32_t kControlBackground = 0x00445566;
constexpr std::uint32_t kWhite = 0xFFFFFF;

auto as_tuple(const CustomDrawFields& f) {
  return std::make_tuple(f.from, f.draw_stage, f.item_spec, f.item_state, f.text_colour,
                         f.background_colour);
}

CustomDrawFields fields(NativeWindowHandle from, std::uint32_t stage, std::uintptr_t row) {
  CustomDrawFields f;
  f.from = from;
  f.draw_stage = stage;
  f.item_spec = row;
  f.item_state = kCdisSelectedFocus;
  f.text_colour = kControlText;
  f.background_colour = kControlBackground;
  return f;
}

class CustomDraw : public test::RowColourState {
 protected:
  void SetUp() override {
    RowColourState::SetUp();
    insert_field_name_rows();
    const WindowRef main = WindowRef::main_window(), dos = WindowRef::table(TableId::Dos);
    set_row_colour(main, dos, 0, 255, 0xFFFFFF);
    set_row_colour(main, dos, 1, 0, 0xFFFFFF);
    set_row_colour(main, dos, 10, 255, 0xFFFFFF);
    set_row_colour(main, dos, 2, 255, 0xFFFFFF);
    set_row_colour(main, dos, 3, 0, 0xFFFFFF);
    set_row_colour(main, dos, 2, 0, 0xFFFFFF);
    set_row_colour(main, dos, 3, 255, 0xFFFFFF);
    set_row_colour(main, dos, 5, 0x00FF00, -1);
  }

  NativeWindowHandle dos() { return table_window_handle(TableId::Dos); }
  NativeWindowHandle file_header() { return table_window_handle(TableId::FileHeader); }

  // Answers and checks that nothing in the record changed.
  void expect_untouched(CustomDrawFields f, CustomDrawAnswer answer) {
    const auto before = as_tuple(f);
    EXPECT_EQ(answer_custom_draw(f), answer);
    EXPECT_EQ(as_tuple(f), before);
  }

  // Answers for a row of the DOS table and checks it was coloured as given.
  void expect_row_coloured(std::uintptr_t row, std::uint32_t text, std::uint32_t background) {
    CustomDrawFields f = fields(dos(), kCddsItemPrepaint, row);
    EXPECT_EQ(answer_custom_draw(f), CustomDrawAnswer::RowColoured);
    auto expected = fields(dos(), kCddsItemPrepaint, row);
    expected.item_state = 0;
    expected.text_colour = text;
    expected.background_colour = background;
    EXPECT_EQ(as_tuple(f), as_tuple(expected));
  }
};

TEST_F(CustomDraw, PrepaintAsksForItemNotificationsFromAnyControl) {
  int not_a_table = 0;
  for (NativeWindowHandle from : {dos(), file_header(), static_cast<void*>(&not_a_table)}) {
    expect_untouched(fields(from, kCddsPrepaint, 0), CustomDrawAnswer::NotifyItemDraw);
  }
}

TEST_F(CustomDraw, ItemPrepaintGivesTheRowItsLastRecordedColours) {
  struct Case {
    std::uintptr_t row;
    std::uint32_t text;
    std::uint32_t background;
  };
  const Case cases[] = {
      {0, 255, kWhite},
      {1, 0, kWhite},     // not confused with row 10
      {10, 255, kWhite},  // not confused with row 1 or 0
      {2, 0, kWhite},     // red, then black
      {3, 255, kWhite},   // black, then red
      {5, 0x00FF00, 0xFFFFFFFF},
      {4, kControlText, kControlBackground},  // never recorded: the control's colours
      {18, kControlText, kControlBackground},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("row " + std::to_string(c.row));
    expect_row_coloured(c.row, c.text, c.background);
  }
}

TEST_F(CustomDraw, SelectedRowOfARecordedTableIsWhiteOnItsOwnColour) {
  const std::uint32_t white = kSelectedTextColour, pink = kSelectedBackgroundColour;
  EXPECT_EQ(white, 0xFFFFFFu);
  EXPECT_EQ(pink, 0x8050FFu);

  tables.select_row(TableId::Dos, 0);
  expect_row_coloured(0, white, pink);
  expect_row_coloured(1, 0, kWhite);

  tables.select_row(TableId::Dos, 4);  // a row never recorded
  expect_row_coloured(4, white, pink);
  expect_row_coloured(0, 255, kWhite);

  tables.select_row(TableId::Dos, std::nullopt);
  expect_row_coloured(4, kControlText, kControlBackground);

  // A selected row in a table without colours is left to the control.
  tables.select_row(TableId::FileHeader, 0);
  expect_untouched(fields(file_header(), kCddsItemPrepaint, 0), CustomDrawAnswer::PassOn);
}

TEST_F(CustomDraw, ItemPrepaintFromAWindowWithoutColoursIsPassedOn) {
  int not_a_table = 0;
  for (NativeWindowHandle from :
       {file_header(), static_cast<void*>(&not_a_table), static_cast<void*>(nullptr)}) {
    expect_untouched(fields(from, kCddsItemPrepaint, 0), CustomDrawAnswer::PassOn);
  }
}

TEST_F(CustomDraw, OtherDrawStagesArePassedOnEvenFromARecordedTable) {
  for (std::uint32_t stage : {kCddsPostpaint, kCddsPreerase, kCddsItemPostpaint, kCddsItemPreerase,
                              kCddsSubitemPrepaint, 0u}) {
    SCOPED_TRACE("stage " + std::to_string(stage));
    expect_untouched(fields(dos(), stage, 0), CustomDrawAnswer::PassOn);
  }
}

TEST_F(CustomDraw, TheFirstEntryOfATableDecides) {
  // The DOS table under another parent: a later entry, never consulted.
  set_row_colour(WindowRef::table(TableId::Directory), WindowRef::table(TableId::Dos), 0, 0x00FF00,
                 0);
  set_row_colour(WindowRef::table(TableId::Directory), WindowRef::table(TableId::Dos), 4, 0x00FF00,
                 0);
  expect_row_coloured(0, 255, kWhite);
  expect_row_coloured(4, kControlText, kControlBackground);
}

}  // namespace
}  // namespace twinlens
