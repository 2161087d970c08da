#include "support/window_test_support.h"

#include <commctrl.h>

#include <map>
#include <stdexcept>

#include "app/globals.h"
#include "app/list_view_tables_win32.h"
#include "app/main_window_win32.h"
#include "support/window_pixels.h"

namespace twinlens::test {

void pump_messages(DWORD quiet_ms, DWORD limit_ms) {
  const DWORD start = GetTickCount();
  DWORD last_message = start;
  for (;;) {
    MSG message;
    bool any = false;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      any = true;
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    const DWORD now = GetTickCount();
    if (any) last_message = now;
    if (now - last_message >= quiet_ms || now - start >= limit_ms) return;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

RunningMainWindow::RunningMainWindow() {
  INITCOMMONCONTROLSEX controls{};
  controls.dwSize = sizeof controls;
  controls.dwICC = ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES | ICC_STANDARD_CLASSES;
  InitCommonControlsEx(&controls);
  init_globals();
  window_ = create_main_window(GetModuleHandleW(nullptr));
  if (window_ == nullptr) {
    free_globals();
    throw std::runtime_error("the main window could not be created");
  }
  ShowWindow(window_, SW_SHOWNORMAL);
  UpdateWindow(window_);
  pump_messages();
}

RunningMainWindow::~RunningMainWindow() {
  DestroyWindow(window_);
  pump_messages(50, 1000);
  free_globals();
}

HWND RunningMainWindow::table(TableId id) const {
  return control(table_control_id(id));
}

void RunningMainWindow::click(int control_id) const {
  SendMessageW(control(control_id), BM_CLICK, 0, 0);
  pump_messages();
}

void RunningMainWindow::select_page(int page) const {
  const HWND tab = control(kTabControl);
  TabCtrl_SetCurSel(tab, page);
  NMHDR header{tab, static_cast<UINT_PTR>(kTabControl), static_cast<UINT>(TCN_SELCHANGE)};
  SendMessageW(window_, WM_NOTIFY, kTabControl, reinterpret_cast<LPARAM>(&header));
  pump_messages();
}

bool RowPixels::contains(COLORREF colour) const {
  for (COLORREF pixel : pixels) {
    if (pixel == colour) return true;
  }
  return false;
}

COLORREF RowPixels::background() const {
  std::map<COLORREF, int> counts;
  for (COLORREF pixel : pixels) ++counts[pixel];
  COLORREF most = CLR_INVALID;
  int best = 0;
  for (const auto& [colour, count] : counts) {
    if (count > best) {
      best = count;
      most = colour;
    }
  }
  return most;
}

bool RowPixels::has_reddish() const {
  for (COLORREF pixel : pixels) {
    const int red = GetRValue(pixel), green = GetGValue(pixel), blue = GetBValue(pixel);
    if (red >= 160 && green <= red / 2 && blue <= red / 2) return true;
  }
  return false;
}

RowPixels read_row_pixels(HWND list_view, int row) {
  RECT bounds{};
  bounds.left = LVIR_BOUNDS;
  SendMessageW(list_view, LVM_GETITEMRECT, static_cast<WPARAM>(row),
               reinterpret_cast<LPARAM>(&bounds));
  RECT client{};
  GetClientRect(list_view, &client);
  // Stay inside the row: its edges belong to the grid.
  RECT inside{std::max(bounds.left, 0L) + 1, bounds.top + 1,
              std::min(bounds.right, client.right) - 1, bounds.bottom - 1};
  const WindowPixels area(list_view, inside);
  RowPixels result;
  for (int y = 0; y < area.height(); ++y) {
    for (int x = 0; x < area.width(); ++x) result.pixels.push_back(area.at(x, y));
  }
  return result;
}

}  // namespace twinlens::test
