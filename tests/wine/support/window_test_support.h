// Helpers for tests that drive the real main window under Wine, in process.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "tables/field_tables.h"

namespace twinlens::test {

// Dispatches messages, paints included, until the queue has stayed empty for
// `quiet_ms` or `limit_ms` has passed.
void pump_messages(DWORD quiet_ms = 150, DWORD limit_ms = 5000);

// The program's main window with the program-wide state around it, as
// program_main sets them up, shown and painted.
class RunningMainWindow {
 public:
  RunningMainWindow();
  ~RunningMainWindow();
  RunningMainWindow(const RunningMainWindow&) = delete;
  RunningMainWindow& operator=(const RunningMainWindow&) = delete;

  HWND window() const { return window_; }
  HWND control(int id) const { return GetDlgItem(window_, id); }
  HWND table(TableId id) const;
  // Clicks a push button as the user would, and lets the window react.
  void click(int control_id) const;
  // Makes a page of the tab control current, as a click on its title does.
  void select_page(int page) const;

 private:
  HWND window_ = nullptr;
};

// The colours a painted list-view row shows, read back from the screen.
struct RowPixels {
  std::vector<COLORREF> pixels;
  bool contains(COLORREF colour) const;
  // The colour most pixels have: the row's background.
  COLORREF background() const;
  // Any pixel clearly red (as text drawn in 255 gives, antialiasing included).
  bool has_reddish() const;
};

// Reads the pixels of a visible row of a list view (its whole width).
RowPixels read_row_pixels(HWND list_view, int row);

}  // namespace twinlens::test
