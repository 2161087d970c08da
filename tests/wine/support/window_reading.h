// Reads what a window shows, through the messages any other program would
// use, so that the tests do not depend on the code under test to read it.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace twinlens::test {

std::wstring class_name(HWND window);

// A child's rectangle in its parent's client coordinates.
RECT rect_in_parent(HWND child);

// Rectangle (left, top, width, height), as the layout names them.
struct Bounds {
  int left, top, width, height;
  bool operator==(const Bounds& other) const {
    return left == other.left && top == other.top && width == other.width && height == other.height;
  }
};
Bounds bounds_of(const RECT& rect);
void PrintTo(const Bounds& bounds, std::ostream* out);

// Report list views of this process (texts are UTF-8).
struct ColumnView {
  std::string title;
  int width;
  bool operator==(const ColumnView& other) const {
    return title == other.title && width == other.width;
  }
};
void PrintTo(const ColumnView& column, std::ostream* out);

int list_view_row_count(HWND list_view);
int list_view_column_count(HWND list_view);
std::vector<ColumnView> list_view_columns(HWND list_view);
std::string list_view_text(HWND list_view, int row, int column);
std::vector<std::string> list_view_column_texts(HWND list_view, int column);
std::vector<std::string> list_view_row_texts(HWND list_view, int row);
std::vector<std::vector<std::string>> list_view_cells(HWND list_view);

std::vector<std::string> tab_titles(HWND tab_control);

}  // namespace twinlens::test
