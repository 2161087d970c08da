#include "app/list_view_tables_win32.h"

#include <commctrl.h>

#include <vector>

#include "app/wide_text.h"
#include "tables/table_layout.h"

namespace twinlens {

HWND create_table_list_view(HWND parent, TableId table, const RECT& bounds, HFONT font) {
  // Column headers act as push buttons only in the DOS header table; a click
  // on them does nothing in any table.
  DWORD style =
      WS_CHILD | WS_TABSTOP | WS_CLIPSIBLINGS | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS;
  if (table != TableId::Dos) style |= LVS_NOSORTHEADER;
  const HWND list_view = CreateWindowExW(
      0, WC_LISTVIEWW, L"", style, bounds.left, bounds.top, bounds.right - bounds.left,
      bounds.bottom - bounds.top, parent,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(table_control_id(table))),
      reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE)), nullptr);
  if (list_view == nullptr) return nullptr;

  SendMessageW(list_view, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  ListView_SetExtendedListViewStyle(list_view, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
  ListView_SetTextColor(list_view, RGB(0, 0, 0));
  ListView_SetTextBkColor(list_view, RGB(255, 255, 255));
  ListView_SetBkColor(list_view, RGB(255, 255, 255));

  int index = 0;
  for (const TableColumn& column : table_columns(table)) {
    std::wstring title = utf8_to_wide(column.title);
    LVCOLUMNW lvc{};
    lvc.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT;
    lvc.fmt = LVCFMT_LEFT;
    lvc.cx = column.width;
    lvc.pszText = title.data();
    ListView_InsertColumn(list_view, index++, &lvc);
  }

  if (table == TableId::Directory) {
    int row = 0;
    for (const char* name : directory_row_names()) {
      std::wstring text = utf8_to_wide(name);
      LVITEMW item{};
      item.mask = LVIF_TEXT;
      item.iItem = row++;
      item.pszText = text.data();
      ListView_InsertItem(list_view, &item);
    }
  }
  return list_view;
}

// The fills use a remembered handle: under Wine GetDlgItem asks the window
// server, and a large section table costs several lookups per row.
HWND ListViewTables::list_view(TableId table) const {
  HWND& view = views_[static_cast<int>(table)];
  if (view == nullptr || !IsWindow(view)) view = GetDlgItem(parent_, table_control_id(table));
  return view;
}

bool ListViewTables::cell_exists(HWND view, int row, int column) const {
  if (view == nullptr || row < 0 || column < 0) return false;
  if (row >= ListView_GetItemCount(view)) return false;
  return column < Header_GetItemCount(ListView_GetHeader(view));
}

std::int32_t ListViewTables::insert_row(TableId table, std::string_view text) {
  const HWND view = list_view(table);
  if (view == nullptr) return -1;
  std::wstring wide = utf8_to_wide(text);
  LVITEMW item{};
  item.mask = LVIF_TEXT;
  item.iItem = ListView_GetItemCount(view);  // after the last row
  item.pszText = wide.data();
  return static_cast<std::int32_t>(ListView_InsertItem(view, &item));
}

void ListViewTables::set_cell_text(TableId table, int row, int column, std::string_view text) {
  const HWND view = list_view(table);
  if (!cell_exists(view, row, column)) return;
  std::wstring wide = utf8_to_wide(text);
  ListView_SetItemText(view, row, column, wide.data());
}

std::string ListViewTables::get_cell_text(TableId table, int row, int column) {
  const HWND view = list_view(table);
  if (!cell_exists(view, row, column)) return {};
  // The control copies at most the buffer's size less one; grow until it fits.
  std::vector<wchar_t> buffer(64);
  for (;;) {
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = buffer.data();
    item.cchTextMax = static_cast<int>(buffer.size());
    const auto length = static_cast<std::size_t>(SendMessageW(
        view, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item)));
    if (length + 1 < buffer.size()) return wide_to_utf8(std::wstring_view(buffer.data(), length));
    buffer.resize(buffer.size() * 4);
  }
}

void ListViewTables::delete_all_rows(TableId table) {
  const HWND view = list_view(table);
  if (view != nullptr) ListView_DeleteAllItems(view);
}

bool ListViewTables::is_row_selected(TableId table, int row) {
  const HWND view = list_view(table);
  if (view == nullptr || row < 0) return false;
  return ListView_GetItemState(view, row, LVIS_SELECTED) != 0;
}

// Looked up anew each time: what is matched against a notification's sender
// must be the table as it is now.
NativeWindowHandle ListViewTables::table_window_handle(TableId table) {
  return GetDlgItem(parent_, table_control_id(table));
}

std::intptr_t ListViewTables::send_table_message(TableId table, std::uint32_t message,
                                                 std::uintptr_t wparam, std::intptr_t lparam) {
  return SendMessageW(list_view(table), message, wparam, lparam);
}

void ListViewTables::suspend_redraw(TableId table) {
  const HWND view = list_view(table);
  auto& state = redraw_state_[static_cast<int>(table)];
  state = RedrawState::Running;
  if (view == nullptr) return;
  // A table on a page that is not showing still lays out every row it gets,
  // so its painting is held back too.
  state = (GetWindowLongPtrW(view, GWL_STYLE) & WS_VISIBLE) != 0 ? RedrawState::HeldShown
                                                                 : RedrawState::HeldHidden;
  SendMessageW(view, WM_SETREDRAW, FALSE, 0);
}

void ListViewTables::resume_redraw(TableId table) {
  auto& state = redraw_state_[static_cast<int>(table)];
  const RedrawState was = state;
  state = RedrawState::Running;
  if (was == RedrawState::Running) return;
  const HWND view = list_view(table);
  SendMessageW(view, WM_SETREDRAW, TRUE, 0);
  if (was == RedrawState::HeldHidden) {
    // WM_SETREDRAW TRUE marks a window visible: a hidden table goes back to hidden.
    ShowWindow(view, SW_HIDE);
    return;
  }
  RedrawWindow(view, nullptr, nullptr, RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN);
}

}  // namespace twinlens
