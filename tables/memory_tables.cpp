#include "tables/memory_tables.h"

#include "tables/table_layout.h"

namespace twinlens {

MemoryTables::MemoryTables() {
  for (int i = 0; i < kTableCount; ++i) {
    const auto id = static_cast<TableId>(i);
    table(id).column_count = table_columns(id).size();
  }
  for (const char* name : directory_row_names()) insert_row(TableId::Directory, name);
}

std::int32_t MemoryTables::insert_row(TableId id, std::string_view text) {
  Table& t = table(id);
  std::vector<std::string> row(t.column_count);
  row[0] = std::string(text);
  t.rows.push_back(std::move(row));
  return static_cast<std::int32_t>(t.rows.size() - 1);
}

void MemoryTables::set_cell_text(TableId id, int row, int column, std::string_view text) {
  Table& t = table(id);
  if (row < 0 || static_cast<std::size_t>(row) >= t.rows.size()) return;
  if (column < 0 || static_cast<std::size_t>(column) >= t.column_count) return;
  t.rows[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)] = std::string(text);
}

std::string MemoryTables::get_cell_text(TableId id, int row, int column) {
  const Table& t = table(id);
  if (row < 0 || static_cast<std::size_t>(row) >= t.rows.size()) return {};
  if (column < 0 || static_cast<std::size_t>(column) >= t.column_count) return {};
  return t.rows[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
}

void MemoryTables::delete_all_rows(TableId id) {
  table(id).rows.clear();
  table(id).selected_row.reset();
}

bool MemoryTables::is_row_selected(TableId id, int row) {
  return table(id).selected_row == row && row >= 0 && row < row_count(id);
}

NativeWindowHandle MemoryTables::table_window_handle(TableId id) {
  // Distinct, stable stand-ins for window handles: the address of each table.
  return &table(id);
}

std::intptr_t MemoryTables::send_table_message(TableId id, std::uint32_t message,
                                               std::uintptr_t wparam, std::intptr_t lparam) {
  sent_messages_.push_back({id, message, wparam, lparam});
  return 0;
}

void MemoryTables::suspend_redraw(TableId id) {
  table(id).redraw_suspended = true;
}

void MemoryTables::resume_redraw(TableId id) {
  table(id).redraw_suspended = false;
}

int MemoryTables::row_count(TableId id) const {
  return static_cast<int>(table(id).rows.size());
}

void MemoryTables::select_row(TableId id, std::optional<int> row) {
  table(id).selected_row = row;
}

bool MemoryTables::redraw_suspended(TableId id) const {
  return table(id).redraw_suspended;
}

}  // namespace twinlens
