// The six field tables of the main window, seen as grids of text cells.
//
// The operations below are what the rest of the program uses. They forward to
// the installed TableBackend: the real list views in the Windows program, an
// in-memory grid in the native tests. Texts are UTF-8. No operation reports an
// error: a write to a missing cell is lost, a read of one yields "".
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace twinlens {

enum class TableId : int {
  Dos,             // 超级列表框_DOS
  FileHeader,      // 超级列表框_文件头
  OptionalHeader,  // 超级列表框_可选头
  Directory,       // 超级列表框_目录表
  Sections1,       // 超级列表框_区段列表1
  Sections2,       // 超级列表框_区段列表2
};

inline constexpr int kTableCount = 6;

// A platform window handle (HWND on Windows), opaque to the portable code.
using NativeWindowHandle = void*;

class TableBackend {
 public:
  virtual ~TableBackend() = default;
  virtual std::int32_t insert_row(TableId table, std::string_view text) = 0;
  virtual void set_cell_text(TableId table, int row, int column, std::string_view text) = 0;
  virtual std::string get_cell_text(TableId table, int row, int column) = 0;
  virtual void delete_all_rows(TableId table) = 0;
  virtual bool is_row_selected(TableId table, int row) = 0;
  virtual NativeWindowHandle table_window_handle(TableId table) = 0;
  virtual std::intptr_t send_table_message(TableId table, std::uint32_t message,
                                           std::uintptr_t wparam, std::intptr_t lparam) = 0;
  // Painting is held back between these two calls, so that a large fill
  // costs one repaint instead of one per cell. Calls do not nest per table.
  virtual void suspend_redraw(TableId table) = 0;
  virtual void resume_redraw(TableId table) = 0;
};

// The backend serves every table operation until another is installed.
// The caller keeps ownership; pass nullptr before destroying it.
void install_table_backend(TableBackend* backend);
TableBackend* installed_table_backend();

std::int32_t insert_row(TableId table, std::string_view text);
void set_cell_text(TableId table, int row, int column, std::string_view text);
std::string get_cell_text(TableId table, int row, int column);
void delete_all_rows(TableId table);
bool is_row_selected(TableId table, int row);
NativeWindowHandle table_window_handle(TableId table);
std::intptr_t send_table_message(TableId table, std::uint32_t message, std::uintptr_t wparam,
                                 std::intptr_t lparam);

// Holds back a table's painting for the life of the scope.
class RedrawSuspended {
 public:
  explicit RedrawSuspended(TableId table);
  ~RedrawSuspended();
  RedrawSuspended(const RedrawSuspended&) = delete;
  RedrawSuspended& operator=(const RedrawSuspended&) = delete;

 private:
  TableId table_;
};

// Gives the DOS header, file header and optional header tables their 19, 7
// and 30 field-name rows. Run once, when the main window has been created.
void insert_field_name_rows();

}  // namespace twinlens
