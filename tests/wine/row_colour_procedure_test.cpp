// The main window's row-colouring procedure on real windows: a parent with a
// known procedure of its own, list views as its children, and the colours
// the list views paint through the replacement.
#include "compare/row_colour_window_procedure.h"

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "app/globals.h"
#include "app/wide_text.h"
#include "compare/row_colour_registry.h"
#include "support/window_pixels.h"
#include "tables/field_tables.h"

namespace twinlens {
namespace {

// What the parent's own procedure was handed, and what it answers.
struct Received {
  HWND window;
  UINT message;
  WPARAM wparam;
  LPARAM lparam;
};
std::vector<Received> g_received;
constexpr UINT kTestMessage = WM_USER + 5;
constexpr LRESULT kTestMessageAnswer = 0x5A5A5;
// The answer to WM_NOTIFY; CDRF_DODEFAULT except while a test changes it.
LRESULT g_notify_answer = CDRF_DODEFAULT;

LRESULT CALLBACK own_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NOTIFY || message == kTestMessage) {
    g_received.push_back({window, message, wparam, lparam});
    return message == kTestMessage ? kTestMessageAnswer : g_notify_answer;
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

constexpr wchar_t kParentClass[] = L"TwinlensRowColourTestParent";
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kSelectedBackground = 0x8050FF;
constexpr int kRows = 6;

// Tables served by real list views; only the ones a test creates exist.
class ListViewTables : public TableBackend {
 public:
  std::array<HWND, kTableCount> windows{};

  std::int32_t insert_row(TableId table, std::string_view text) override {
    std::wstring wide = utf8_to_wide(text);
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = ListView_GetItemCount(window(table));
    item.pszText = wide.data();
    return ListView_InsertItem(window(table), &item);
  }
  void set_cell_text(TableId table, int row, int column, std::string_view text) override {
    std::wstring wide = utf8_to_wide(text);
    ListView_SetItemText(window(table), row, column, wide.data());
  }
  std::string get_cell_text(TableId table, int row, int column) override {
    wchar_t text[256] = {};
    ListView_GetItemText(window(table), row, column, text, 256);
    return wide_to_utf8(text);
  }
  void delete_all_rows(TableId table) override { ListView_DeleteAllItems(window(table)); }
  bool is_row_selected(TableId table, int row) override {
    return ListView_GetItemState(window(table), row, LVIS_SELECTED) != 0;
  }
  NativeWindowHandle table_window_handle(TableId table) override { return window(table); }
  std::intptr_t send_table_message(TableId table, std::uint32_t message, std::uintptr_t wparam,
                                   std::intptr_t lparam) override {
    return SendMessageW(window(table), message, wparam, lparam);
  }
  void suspend_redraw(TableId table) override {
    SendMessageW(window(table), WM_SETREDRAW, FALSE, 0);
  }
  void resume_redraw(TableId table) override { SendMessageW(window(table), WM_SETREDRAW, TRUE, 0); }

 private:
  HWND window(TableId table) const { return windows[static_cast<std::size_t>(table)]; }
};

void pump_messages() {
  MSG message;
  for (int round = 0; round < 20; ++round) {
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    Sleep(10);
  }
}

// An exact list-view custom-draw record as a list view sends it, with every
// byte the test does not set filled with a pattern, so that stray writes show.
NMLVCUSTOMDRAW custom_draw_record(HWND from, DWORD stage, DWORD_PTR row) {
  NMLVCUSTOMDRAW record;
  std::memset(&record, 0xA5, sizeof(record));
  record.nmcd.hdr.hwndFrom = from;
  record.nmcd.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(from));
  record.nmcd.hdr.code = static_cast<UINT>(NM_CUSTOMDRAW);
  record.nmcd.dwDrawStage = stage;
  record.nmcd.dwItemSpec = row;
  record.nmcd.uItemState = CDIS_SELECTED | CDIS_FOCUS;
  record.clrText = RGB(0x11, 0x22, 0x33);
  record.clrTextBk = RGB(0x44, 0x55, 0x66);
  record.iSubItem = 0;
  return record;
}

bool same_bytes(const NMLVCUSTOMDRAW& a, const NMLVCUSTOMDRAW& b) {
  return std::memcmp(&a, &b, sizeof(a)) == 0;
}

class RowColourProcedure : public ::testing::Test {
 protected:
  void SetUp() override {
    g_received.clear();
    g_notify_answer = CDRF_DODEFAULT;
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES};
    ASSERT_TRUE(InitCommonControlsEx(&controls));

    WNDCLASSEXW window_class{};
    window_class.cbSize = sizeof(window_class);
    window_class.lpfnWndProc = own_procedure;
    window_class.hInstance = GetModuleHandleW(nullptr);
    window_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    window_class.lpszClassName = kParentClass;
    ASSERT_NE(RegisterClassExW(&window_class), 0);
    parent = CreateWindowExW(0, kParentClass, L"比较", WS_POPUP | WS_CLIPCHILDREN, 0, 0, 960, 300,
                             nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(parent, nullptr);

    // Coloured (DOS, file header) and never coloured (optional header).
    for (TableId table : {TableId::Dos, TableId::FileHeader, TableId::OptionalHeader}) {
      const int index = static_cast<int>(table);
      HWND list =
          CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SINGLESEL,
                          10 + 320 * index, 10, 300, 260, parent,
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(100 + index)),
                          GetModuleHandleW(nullptr), nullptr);
      ASSERT_NE(list, nullptr);
      tables.windows[static_cast<std::size_t>(table)] = list;
      LVCOLUMNW column{};
      column.mask = LVCF_TEXT | LVCF_WIDTH;
      column.cx = 280;
      column.pszText = const_cast<wchar_t*>(L"文件1");
      ListView_InsertColumn(list, 0, &column);
    }

    init_globals();
    install_table_backend(&tables);
    for (TableId table : {TableId::Dos, TableId::FileHeader, TableId::OptionalHeader}) {
      for (int row = 0; row < kRows; ++row) insert_row(table, "MMMMMMMMMMMM");
    }
    use_row_colour_window_procedure([this](WindowRef window) -> HWND {
      return window.is_main_window() ? parent
                                     : tables.windows[static_cast<std::size_t>(window.table_id())];
    });

    const WindowRef main = WindowRef::main_window();
    set_row_colour(main, WindowRef::table(TableId::Dos), 0, 255, 0xFFFFFF);
    set_row_colour(main, WindowRef::table(TableId::Dos), 1, 0, 0xFFFFFF);
    set_row_colour(main, WindowRef::table(TableId::Dos), 2, 255, 0xFFFFFF);
    set_row_colour(main, WindowRef::table(TableId::Dos), 1, 255, 0xFFFFFF);
    set_row_colour(main, WindowRef::table(TableId::FileHeader), 0, 0, 0xFFFFFF);
    // Creating and filling the list views notified the parent; start afresh.
    g_received.clear();
  }

  void TearDown() override {
    set_window_procedure_replacer({});
    if (parent != nullptr) DestroyWindow(parent);
    install_table_backend(nullptr);
    free_globals();
    UnregisterClassW(kParentClass, GetModuleHandleW(nullptr));
  }

  HWND list(TableId table) const { return tables.windows[static_cast<std::size_t>(table)]; }

  // Hands the record to the replacement as the list view would.
  LRESULT notify(NMLVCUSTOMDRAW& record) {
    return row_colour_window_procedure(parent, WM_NOTIFY, record.nmcd.hdr.idFrom,
                                       reinterpret_cast<LPARAM>(&record));
  }

  HWND parent = nullptr;
  ListViewTables tables;
};

TEST_F(RowColourProcedure, ReplacesTheParentsProcedureAndKeepsItsOwnFirst) {
  EXPECT_EQ(GetWindowLongPtrW(parent, GWLP_WNDPROC),
            reinterpret_cast<LONG_PTR>(&row_colour_window_procedure));
  // One replacement per coloured table; the second one saved the first.
  const auto& saved = row_colour_registry().saved_procedures;
  ASSERT_EQ(saved.size(), 2u);
  EXPECT_EQ(saved[0], reinterpret_cast<std::uintptr_t>(&own_procedure));
  EXPECT_EQ(saved[1], reinterpret_cast<std::uintptr_t>(&row_colour_window_procedure));
}

TEST_F(RowColourProcedure, PrepaintAsksForItemNotificationsAndLeavesTheRecord) {
  for (TableId table : {TableId::Dos, TableId::OptionalHeader}) {
    SCOPED_TRACE("table " + std::to_string(static_cast<int>(table)));
    NMLVCUSTOMDRAW record = custom_draw_record(list(table), CDDS_PREPAINT, 0);
    const NMLVCUSTOMDRAW before = record;
    EXPECT_EQ(notify(record), CDRF_NOTIFYITEMDRAW);
    EXPECT_TRUE(same_bytes(record, before));
  }
  EXPECT_TRUE(g_received.empty());
}

TEST_F(RowColourProcedure, ItemPrepaintWritesTheRowsColoursAndClearsItsState) {
  ListView_SetItemState(list(TableId::Dos), 2, LVIS_SELECTED, LVIS_SELECTED);
  g_received.clear();
  struct Case {
    int row;
    COLORREF text;
    COLORREF background;
  };
  const Case cases[] = {
      {0, kRed, kWhite},
      {1, kRed, kWhite},  // black first, red last
      {2, kWhite, kSelectedBackground},
      {4, RGB(0x11, 0x22, 0x33), RGB(0x44, 0x55, 0x66)},  // not recorded: the control's
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("row " + std::to_string(c.row));
    NMLVCUSTOMDRAW record =
        custom_draw_record(list(TableId::Dos), CDDS_ITEMPREPAINT, static_cast<DWORD_PTR>(c.row));
    NMLVCUSTOMDRAW expected = record;
    expected.clrText = c.text;
    expected.clrTextBk = c.background;
    expected.nmcd.uItemState = 0;
    EXPECT_EQ(notify(record), CDRF_DODEFAULT);
    EXPECT_TRUE(same_bytes(record, expected))
        << std::hex << "text " << record.clrText << " background " << record.clrTextBk << " state "
        << record.nmcd.uItemState;
  }
  EXPECT_TRUE(g_received.empty());
}

TEST_F(RowColourProcedure, EverythingElseReachesTheParentsOwnProcedureUnchanged) {
  g_notify_answer = 0x13579;

  NMLVCUSTOMDRAW unregistered =
      custom_draw_record(list(TableId::OptionalHeader), CDDS_ITEMPREPAINT, 0);
  NMLVCUSTOMDRAW postpaint = custom_draw_record(list(TableId::Dos), CDDS_POSTPAINT, 0);
  NMLVCUSTOMDRAW item_postpaint = custom_draw_record(list(TableId::Dos), CDDS_ITEMPOSTPAINT, 1);
  for (NMLVCUSTOMDRAW* record : {&unregistered, &postpaint, &item_postpaint}) {
    SCOPED_TRACE("stage " + std::to_string(record->nmcd.dwDrawStage));
    const NMLVCUSTOMDRAW before = *record;
    g_received.clear();
    EXPECT_EQ(notify(*record), 0x13579);
    EXPECT_TRUE(same_bytes(*record, before));
    ASSERT_EQ(g_received.size(), 1u);
    EXPECT_EQ(g_received[0].window, parent);
    EXPECT_EQ(g_received[0].message, static_cast<UINT>(WM_NOTIFY));
    EXPECT_EQ(g_received[0].wparam, record->nmcd.hdr.idFrom);
    EXPECT_EQ(g_received[0].lparam, reinterpret_cast<LPARAM>(record));
  }

  NMHDR click{list(TableId::Dos), 100, static_cast<UINT>(NM_CLICK)};
  g_received.clear();
  EXPECT_EQ(row_colour_window_procedure(parent, WM_NOTIFY, 100, reinterpret_cast<LPARAM>(&click)),
            0x13579);
  ASSERT_EQ(g_received.size(), 1u);
  EXPECT_EQ(g_received[0].lparam, reinterpret_cast<LPARAM>(&click));

  g_received.clear();
  EXPECT_EQ(row_colour_window_procedure(parent, kTestMessage, 0x1234, -42), kTestMessageAnswer);
  ASSERT_EQ(g_received.size(), 1u);
  EXPECT_EQ(g_received[0].window, parent);
  EXPECT_EQ(g_received[0].message, kTestMessage);
  EXPECT_EQ(g_received[0].wparam, 0x1234u);
  EXPECT_EQ(g_received[0].lparam, -42);

  // The same through the window itself.
  g_received.clear();
  EXPECT_EQ(SendMessageW(parent, kTestMessage, 7, 8), kTestMessageAnswer);
  EXPECT_EQ(g_received.size(), 1u);
}

TEST_F(RowColourProcedure, WithNothingToHandOnToMessagesGoToTheDefaultProcedure) {
  NMLVCUSTOMDRAW record = custom_draw_record(list(TableId::OptionalHeader), CDDS_ITEMPREPAINT, 0);
  // The replacement never returned a previous procedure.
  row_colour_registry().saved_procedures.clear();
  EXPECT_EQ(row_colour_window_procedure(parent, kTestMessage, 1, 2), 0);
  EXPECT_EQ(notify(record), 0);

  // The registry is already gone while the window still gets messages.
  free_globals();
  EXPECT_EQ(row_colour_window_procedure(parent, kTestMessage, 1, 2), 0);
  EXPECT_EQ(notify(record), 0);
  record = custom_draw_record(list(TableId::Dos), CDDS_ITEMPREPAINT, 0);
  EXPECT_EQ(notify(record), 0);
  init_globals();

  EXPECT_TRUE(g_received.empty());
}

// One row of a list view as it shows on the screen.
test::WindowPixels row_pixels(HWND list, int row) {
  RECT bounds{};
  ListView_GetItemRect(list, row, &bounds, LVIR_BOUNDS);
  return test::WindowPixels(list, bounds);
}

// How many pixels of `colour` lie within the smallest rectangle that holds
// every pixel of `frame`: the text drawn on a coloured background.
std::size_t count_within(const test::WindowPixels& pixels, COLORREF colour, COLORREF frame) {
  int left = pixels.width(), top = pixels.height(), right = -1, bottom = -1;
  for (int y = 0; y < pixels.height(); ++y) {
    for (int x = 0; x < pixels.width(); ++x) {
      if (pixels.at(x, y) != frame) continue;
      left = std::min(left, x), right = std::max(right, x);
      top = std::min(top, y), bottom = std::max(bottom, y);
    }
  }
  std::size_t n = 0;
  for (int y = top; y <= bottom; ++y) {
    for (int x = left; x <= right; ++x) n += pixels.at(x, y) == colour ? 1u : 0u;
  }
  return n;
}

TEST_F(RowColourProcedure, ListViewsPaintTheRecordedColours) {
  ListView_SetItemState(list(TableId::Dos), 2, LVIS_SELECTED, LVIS_SELECTED);
  ShowWindow(parent, SW_SHOWNOACTIVATE);
  UpdateWindow(parent);
  pump_messages();

  const HWND dos = list(TableId::Dos);
  const test::WindowPixels red_row = row_pixels(dos, 0);
  const test::WindowPixels plain_row = row_pixels(dos, 3);  // never recorded
  const test::WindowPixels selected_row = row_pixels(dos, 2);
  ASSERT_FALSE(red_row.empty());
  ASSERT_FALSE(plain_row.empty());
  ASSERT_FALSE(selected_row.empty());
  const std::size_t row_size = static_cast<std::size_t>(red_row.width() * red_row.height());

  const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);

  EXPECT_GT(red_row.count(kRed), 50u);
  EXPECT_GT(red_row.count(kWhite), row_size / 2);

  // The control's own black on white.
  EXPECT_GT(plain_row.count(kBlack), 50u);
  EXPECT_EQ(plain_row.count(kRed), 0u);

  // White text on 0x8050FF, and not the control's own selection colours.
  EXPECT_GT(selected_row.count(kSelectedBackground), row_size / 5);
  EXPECT_GT(count_within(selected_row, kWhite, kSelectedBackground), 50u);
  EXPECT_EQ(selected_row.count(highlight), 0u);
  EXPECT_EQ(selected_row.count(kRed), 0u);

  // A list view without colours keeps the control's own.
  const test::WindowPixels other_table = row_pixels(list(TableId::OptionalHeader), 0);
  EXPECT_GT(other_table.count(kBlack), 50u);
  EXPECT_EQ(other_table.count(kRed), 0u);
  EXPECT_EQ(other_table.count(kSelectedBackground), 0u);
}

}  // namespace
}  // namespace twinlens
