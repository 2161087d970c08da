#include "support/window_reading.h"

#include <commctrl.h>

#include <ostream>

#include "app/wide_text.h"

namespace twinlens::test {
namespace {

constexpr int kTextCapacity = 1024;

}  // namespace

std::wstring class_name(HWND window) {
  wchar_t name[256] = {};
  GetClassNameW(window, name, 256);
  return name;
}

RECT rect_in_parent(HWND child) {
  RECT rect{};
  GetWindowRect(child, &rect);
  MapWindowPoints(HWND_DESKTOP, GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

Bounds bounds_of(const RECT& rect) {
  return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

void PrintTo(const Bounds& bounds, std::ostream* out) {
  *out << "(" << bounds.left << ", " << bounds.top << ", " << bounds.width << ", " << bounds.height
       << ")";
}

void PrintTo(const ColumnView& column, std::ostream* out) {
  *out << "{\"" << column.title << "\", " << column.width << "}";
}

int list_view_row_count(HWND list_view) {
  return static_cast<int>(SendMessageW(list_view, LVM_GETITEMCOUNT, 0, 0));
}

int list_view_column_count(HWND list_view) {
  const auto header = reinterpret_cast<HWND>(SendMessageW(list_view, LVM_GETHEADER, 0, 0));
  return static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
}

std::vector<ColumnView> list_view_columns(HWND list_view) {
  std::vector<ColumnView> columns;
  const int count = list_view_column_count(list_view);
  for (int index = 0; index < count; ++index) {
    wchar_t title[kTextCapacity] = {};
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = title;
    column.cchTextMax = kTextCapacity;
    SendMessageW(list_view, LVM_GETCOLUMNW, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(&column));
    columns.push_back({wide_to_utf8(title), column.cx});
  }
  return columns;
}

std::string list_view_text(HWND list_view, int row, int column) {
  wchar_t text[kTextCapacity] = {};
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = text;
  item.cchTextMax = kTextCapacity;
  const auto length = SendMessageW(list_view, LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
                                   reinterpret_cast<LPARAM>(&item));
  return wide_to_utf8(std::wstring(text, static_cast<std::size_t>(length)));
}

std::vector<std::string> list_view_column_texts(HWND list_view, int column) {
  std::vector<std::string> texts;
  const int rows = list_view_row_count(list_view);
  for (int row = 0; row < rows; ++row) texts.push_back(list_view_text(list_view, row, column));
  return texts;
}

std::vector<std::string> list_view_row_texts(HWND list_view, int row) {
  std::vector<std::string> texts;
  const int columns = list_view_column_count(list_view);
  for (int column = 0; column < columns; ++column) {
    texts.push_back(list_view_text(list_view, row, column));
  }
  return texts;
}

std::vector<std::vector<std::string>> list_view_cells(HWND list_view) {
  std::vector<std::vector<std::string>> rows;
  const int count = list_view_row_count(list_view);
  for (int row = 0; row < count; ++row) rows.push_back(list_view_row_texts(list_view, row));
  return rows;
}

std::vector<std::string> tab_titles(HWND tab_control) {
  std::vector<std::string> titles;
  const auto count = SendMessageW(tab_control, TCM_GETITEMCOUNT, 0, 0);
  for (WPARAM index = 0; index < static_cast<WPARAM>(count); ++index) {
    wchar_t title[kTextCapacity] = {};
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = title;
    item.cchTextMax = kTextCapacity;
    SendMessageW(tab_control, TCM_GETITEMW, index, reinterpret_cast<LPARAM>(&item));
    titles.push_back(wide_to_utf8(title));
  }
  return titles;
}

}  // namespace twinlens::test
