// The six field tables as the main window's report list views.
#pragma once

#include <windows.h>

#include "tables/field_tables.h"

namespace twinlens {

// Control identifiers of the main window's children.
enum ControlId : int {
  kEditFile1 = 1001,   // 编辑框_文件1
  kOpenFile1 = 1002,   // 按钮_文件1
  kEditFile2 = 1003,   // 编辑框_文件2
  kOpenFile2 = 1004,   // 按钮_文件2
  kTabControl = 1005,  // 选择夹1
  kCompare = 1006,     // 按钮_比较
  kAbout = 1007,       // 按钮1
  kFirstTable = 1100,  // + TableId: 超级列表框_DOS ... 超级列表框_区段列表2
};

inline int table_control_id(TableId table) {
  return kFirstTable + static_cast<int>(table);
}

// Creates one table's list view as a child of `parent`, with its columns and,
// for the directory table, its 16 preset rows. Hidden until its page shows.
HWND create_table_list_view(HWND parent, TableId table, const RECT& bounds, HFONT font);

// Serves the table operations from the list views of one parent window.
class ListViewTables : public TableBackend {
 public:
  explicit ListViewTables(HWND parent) : parent_(parent) {}

  std::int32_t insert_row(TableId table, std::string_view text) override;
  void set_cell_text(TableId table, int row, int column, std::string_view text) override;
  std::string get_cell_text(TableId table, int row, int column) override;
  void delete_all_rows(TableId table) override;
  bool is_row_selected(TableId table, int row) override;
  NativeWindowHandle table_window_handle(TableId table) override;
  std::intptr_t send_table_message(TableId table, std::uint32_t message, std::uintptr_t wparam,
                                   std::intptr_t lparam) override;
  void suspend_redraw(TableId table) override;
  void resume_redraw(TableId table) override;

 private:
  HWND list_view(TableId table) const;
  bool cell_exists(HWND list_view, int row, int column) const;

  enum class RedrawState { Running, HeldShown, HeldHidden };

  HWND parent_;
  mutable HWND views_[kTableCount] = {};
  RedrawState redraw_state_[kTableCount] = {};
};

}  // namespace twinlens
