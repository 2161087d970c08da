// The main window as a user meets it: how it starts, its pages, its about
// box, and (in the real program, in a child process) its keyboard.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "app/list_view_tables_win32.h"
#include "app/main_window_win32.h"
#include "app/wide_text.h"
#include "support/child_process.h"
#include "support/dialog_driver.h"
#include "support/main_window_driver.h"
#include "support/pe_builder.h"
#include "support/window_reading.h"
#include "tables/table_layout.h"

namespace twinlens {
namespace {

using namespace std::chrono_literals;
using test::Bounds;
using test::kAllTables;
using test::list_view_column_texts;
using test::list_view_row_texts;
using test::MainWindowTest;
using test::MessageBoxSeen;
using test::read_and_dismiss_message_box;
using test::table_name;
using test::WindowContents;

struct TablePlace {
  TableId table;
  int page;
  Bounds bounds;  // relative to the tab control's top-left corner
};

constexpr TablePlace kTablePlaces[] = {
    {TableId::Dos, 0, {15, 33, 632, 264}},
    {TableId::FileHeader, 1, {15, 33, 632, 272}},
    {TableId::OptionalHeader, 2, {15, 33, 632, 272}},
    {TableId::Directory, 3, {16, 27, 632, 272}},
    {TableId::Sections1, 4, {24, 32, 487, 127}},
    {TableId::Sections2, 4, {24, 175, 487, 129}},
};

// --- How the window starts -------------------------------------------------

TEST_F(MainWindowTest, FrameIsTitledFixedInSizeAndCentred) {
  EXPECT_EQ(test::window_text_utf8(window()), "Twinlens");

  const auto style = static_cast<DWORD>(GetWindowLongPtrW(window(), GWL_STYLE));
  EXPECT_EQ(style & WS_CAPTION, static_cast<DWORD>(WS_CAPTION));
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_TRUE(style & WS_MINIMIZEBOX);
  EXPECT_FALSE(style & WS_MAXIMIZEBOX);
  EXPECT_FALSE(style & WS_THICKFRAME) << "the window must not be resizable";

  RECT frame{};
  GetWindowRect(window(), &frame);
  const int left = (GetSystemMetrics(SM_CXSCREEN) - 697) / 2;
  const int top = (GetSystemMetrics(SM_CYSCREEN) - 477) / 2;
  EXPECT_EQ(test::bounds_of(frame), (Bounds{left, top, 697, 477}));

  // The frame's corner is no sizing handle.
  const LRESULT hit =
      SendMessageW(window(), WM_NCHITTEST, 0, MAKELPARAM(frame.right - 1, frame.bottom - 1));
  EXPECT_NE(hit, HTBOTTOMRIGHT);
}

TEST_F(MainWindowTest, ControlsSitWhereTheLayoutPutsThem) {
  struct Case {
    int id;
    const wchar_t* window_class;
    const char* text;
    Bounds bounds;
  };
  const Case cases[] = {
      {kEditFile1, L"Edit", "", {8, 16, 576, 20}},
      {kOpenFile1, L"Button", "打开", {592, 14, 88, 24}},
      {kEditFile2, L"Edit", "", {8, 46, 576, 20}},
      {kOpenFile2, L"Button", "打开", {592, 44, 88, 24}},
      {kTabControl, WC_TABCONTROLW, "", {14, 73, 664, 327}},
      {kCompare, L"Button", "比较", {408, 409, 112, 32}},
      {kAbout, L"Button", "说明", {568, 408, 96, 32}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "control " << c.id);
    const HWND child = control(c.id);
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(GetParent(child), window());
    EXPECT_EQ(lstrcmpiW(test::class_name(child).c_str(), c.window_class), 0)
        << wide_to_utf8(test::class_name(child));
    EXPECT_TRUE(IsWindowVisible(child));
    EXPECT_EQ(test::window_text_utf8(child), c.text);
    EXPECT_EQ(test::bounds_of(test::rect_in_parent(child)), c.bounds);
  }

  EXPECT_EQ(test::tab_titles(control(kTabControl)),
            (std::vector<std::string>{"DOS头", "文件头", "可选头", "目录", "节表信息"}));
  EXPECT_EQ(current_page(), 0);
}

TEST_F(MainWindowTest, TablesLieOnTheirPagesAboveTheTabControl) {
  const HWND tab = control(kTabControl);
  const RECT tab_rect = test::rect_in_parent(tab);
  // Position in the z-order: 0 is the topmost child.
  const auto z_index = [this](HWND child) {
    int index = 0;
    for (HWND w = GetWindow(window(), GW_CHILD); w != nullptr; w = GetWindow(w, GW_HWNDNEXT)) {
      if (w == child) return index;
      ++index;
    }
    return -1;
  };

  for (const TablePlace& place : kTablePlaces) {
    SCOPED_TRACE(table_name(place.table));
    const HWND view = table(place.table);
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(GetParent(view), window());
    EXPECT_EQ(lstrcmpiW(test::class_name(view).c_str(), WC_LISTVIEWW), 0);
    RECT rect = test::rect_in_parent(view);
    OffsetRect(&rect, -tab_rect.left, -tab_rect.top);
    EXPECT_EQ(test::bounds_of(rect), place.bounds);
    EXPECT_EQ(IsWindowVisible(view) != FALSE, place.page == 0);
    EXPECT_LT(z_index(view), z_index(tab)) << "the table must lie above the tab control";
  }

  // What a click at the DOS table's centre meets is the table, not the tab.
  RECT dos = test::rect_in_parent(table(TableId::Dos));
  const POINT centre{(dos.left + dos.right) / 2, (dos.top + dos.bottom) / 2};
  EXPECT_EQ(ChildWindowFromPointEx(window(), centre, CWP_SKIPINVISIBLE), table(TableId::Dos));
}

TEST_F(MainWindowTest, TablesStartWithTheirColumnsNameRowsAndEmptyValues) {
  struct Case {
    TableId table;
    int rows;
    std::vector<const char*> names;  // column 0 from the top
  };
  const Case cases[] = {
      {TableId::Dos, 19, field_names(TableId::Dos)},
      {TableId::FileHeader, 7, field_names(TableId::FileHeader)},
      {TableId::OptionalHeader, 30, field_names(TableId::OptionalHeader)},
      {TableId::Directory, 16, directory_row_names()},
      {TableId::Sections1, 0, {}},
      {TableId::Sections2, 0, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(table_name(c.table));
    const HWND view = table(c.table);

    std::vector<test::ColumnView> expected_columns;
    for (const TableColumn& column : table_columns(c.table)) {
      expected_columns.push_back({column.title, column.width});
    }
    EXPECT_EQ(test::list_view_columns(view), expected_columns);

    ASSERT_EQ(test::list_view_row_count(view), c.rows);
    EXPECT_EQ(list_view_column_texts(view, 0),
              std::vector<std::string>(c.names.begin(), c.names.end()));
    for (int row = 0; row < c.rows; ++row) {
      std::vector<std::string> values = list_view_row_texts(view, row);
      values.erase(values.begin());
      EXPECT_EQ(values, std::vector<std::string>(values.size())) << "row " << row;
    }
  }
  EXPECT_STREQ(field_names(TableId::Dos).front(), "e_magic");
  EXPECT_STREQ(field_names(TableId::OptionalHeader).back(), "NumberOfRvaAndSizes");
  EXPECT_STREQ(directory_row_names().front(), "导出表");
}

TEST_F(MainWindowTest, TablesAreBorderlessFullRowGridsWithPushHeadersOnlyInDos) {
  for (TableId id : kAllTables) {
    SCOPED_TRACE(table_name(id));
    const HWND view = table(id);
    const auto style = static_cast<DWORD>(GetWindowLongPtrW(view, GWL_STYLE));
    const auto ex_style = static_cast<DWORD>(GetWindowLongPtrW(view, GWL_EXSTYLE));
    EXPECT_EQ(style & LVS_TYPEMASK, static_cast<DWORD>(LVS_REPORT));
    EXPECT_TRUE(style & LVS_SINGLESEL);
    EXPECT_TRUE(style & LVS_SHOWSELALWAYS);
    EXPECT_FALSE(style & WS_BORDER);
    EXPECT_FALSE(ex_style & (WS_EX_CLIENTEDGE | WS_EX_STATICEDGE | WS_EX_WINDOWEDGE));
    const auto extended =
        static_cast<DWORD>(SendMessageW(view, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
    EXPECT_TRUE(extended & LVS_EX_FULLROWSELECT);
    EXPECT_TRUE(extended & LVS_EX_GRIDLINES);

    const bool push_headers = id == TableId::Dos;
    EXPECT_EQ((style & LVS_NOSORTHEADER) == 0, push_headers);
    const auto header = reinterpret_cast<HWND>(SendMessageW(view, LVM_GETHEADER, 0, 0));
    EXPECT_EQ((GetWindowLongPtrW(header, GWL_STYLE) & HDS_BUTTONS) != 0, push_headers);
  }
}

// --- Pages ------------------------------------------------------------------

TEST_F(MainWindowTest, ClickingAPageTitleShowsOnlyThatPagesTables) {
  for (int page : {4, 3, 2, 1, 0, 4}) {
    SCOPED_TRACE(testing::Message() << "page " << page);
    select_page_by_click(page);
    EXPECT_EQ(current_page(), page);
    for (const TablePlace& place : kTablePlaces) {
      const HWND view = table(place.table);
      EXPECT_EQ(IsWindowVisible(view) != FALSE, place.page == page) << table_name(place.table);
      if (place.page != page) continue;
      RECT rect = test::rect_in_parent(view);
      const POINT centre{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
      EXPECT_EQ(ChildWindowFromPointEx(window(), centre, CWP_SKIPINVISIBLE), view)
          << table_name(place.table) << " is covered";
    }
  }
}

// --- The about box ------------------------------------------------------------

TEST_F(MainWindowTest, AboutBoxShowsInformationAndChangesNothing) {
  load(1, dir_.write(L"first.exe", test::make_pe32()));
  select_page_by_click(4);
  const WindowContents before = contents();

  MessageBoxSeen box;
  test::drive_modal([&] { ui_.click(kAbout); },
                    [&] { box = read_and_dismiss_message_box(window()); });
  ASSERT_TRUE(box.appeared);
  EXPECT_EQ(box.caption, "信息：");
  EXPECT_FALSE(box.text.empty());
  EXPECT_EQ(box.owner, nullptr);
  EXPECT_EQ(box.buttons, std::vector<int>{IDOK});
  EXPECT_FALSE(box.main_window_enabled) << "the box must be modal to the whole program";
  expect_unchanged(before);
  EXPECT_TRUE(IsWindowEnabled(window()));
}

// --- The keyboard, in the real program ---------------------------------------

class RealProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(program_.started()) << wide_to_utf8(test::twinlens_program_path());
    window_ = test::wait_for_top_level_window(program_.id(), kMainWindowClass);
    ASSERT_NE(window_, nullptr) << "the program showed no window";
    thread_ = GetWindowThreadProcessId(window_, nullptr);
    SetForegroundWindow(window_);
    ASSERT_TRUE(wait_for([&] { return GetForegroundWindow() == window_; }));
  }

  // Polls for up to 10 seconds.
  template <class Condition>
  static bool wait_for(Condition done) {
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (!done()) {
      if (std::chrono::steady_clock::now() >= deadline) return false;
      Sleep(20);
    }
    return true;
  }

  HWND focus() const { return test::focused_window_of_thread(thread_); }

  // Types a key and waits until the program has handled it.
  void type(WORD key, std::initializer_list<WORD> modifiers = {}) {
    test::type_key(key, modifiers);
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(window_, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &ignored);
    Sleep(50);
  }

  test::ChildProcess program_{test::twinlens_program_path(), L""};
  HWND window_ = nullptr;
  DWORD thread_ = 0;
};

TEST_F(RealProgram, TabAndShiftTabMoveFocusThroughTheControls) {
  const HWND dos = GetDlgItem(window_, table_control_id(TableId::Dos));
  const std::vector<HWND> order = {GetDlgItem(window_, kEditFile1),
                                   GetDlgItem(window_, kOpenFile1),
                                   GetDlgItem(window_, kEditFile2),
                                   GetDlgItem(window_, kOpenFile2),
                                   dos,
                                   GetDlgItem(window_, kTabControl),
                                   GetDlgItem(window_, kCompare),
                                   GetDlgItem(window_, kAbout)};

  // Walk to the first edit box, then once round and back.
  for (int i = 0; i < 12 && focus() != order.front(); ++i) type(VK_TAB);
  ASSERT_EQ(focus(), order.front());
  for (std::size_t i = 1; i <= order.size(); ++i) {
    type(VK_TAB);
    EXPECT_EQ(focus(), order[i % order.size()]) << "Tab step " << i;
  }
  for (std::size_t i = order.size(); i-- > 0;) {
    type(VK_TAB, {VK_SHIFT});
    EXPECT_EQ(focus(), order[i]) << "Shift+Tab back to stop " << i;
  }
}

TEST_F(RealProgram, EscapeWithAModifierHeldLeavesTheWindowOpen) {
  const HWND compare = GetDlgItem(window_, kCompare);
  for (int i = 0; i < 12 && focus() != compare; ++i) type(VK_TAB);
  ASSERT_EQ(focus(), compare);

  for (WORD modifier : std::initializer_list<WORD>{VK_SHIFT, VK_CONTROL, VK_MENU}) {
    type(VK_ESCAPE, {modifier});
    Sleep(300);
    EXPECT_TRUE(IsWindow(window_)) << "Escape with modifier " << modifier << " closed the window";
    EXPECT_FALSE(program_.wait_for_exit(0ms).has_value());
  }
  // The same key alone still closes it: the modifiers were the reason.
  test::type_key(VK_ESCAPE);
  EXPECT_EQ(program_.wait_for_exit(10s), std::optional<DWORD>(0));
}

// Escape on a control that has no use for the key closes the window as the
// close button does, and the program ends with 0.
class EscapeFromControl : public RealProgram, public ::testing::WithParamInterface<int> {};

TEST_P(EscapeFromControl, ClosesTheWindowAndTheProgramEndsWithZero) {
  const HWND target = GetDlgItem(window_, GetParam());
  for (int i = 0; i < 12 && focus() != target; ++i) type(VK_TAB);
  ASSERT_EQ(focus(), target);
  test::type_key(VK_ESCAPE);
  EXPECT_EQ(program_.wait_for_exit(10s), std::optional<DWORD>(0));
}

INSTANTIATE_TEST_SUITE_P(Controls, EscapeFromControl,
                         ::testing::Values(kCompare, kEditFile1, kOpenFile2, kAbout,
                                           table_control_id(TableId::Dos)),
                         [](const ::testing::TestParamInfo<int>& param) -> std::string {
                           switch (param.param) {
                             case kCompare:
                               return "CompareButton";
                             case kEditFile1:
                               return "FirstEditBox";
                             case kOpenFile2:
                               return "SecondOpenButton";
                             case kAbout:
                               return "AboutButton";
                             default:
                               return "DosTable";
                           }
                         });

}  // namespace
}  // namespace twinlens
