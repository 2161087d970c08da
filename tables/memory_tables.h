// An in-memory stand-in for the window's six list views, with the same
// columns and preset rows. The native build runs the program's logic on it.
#pragma once

#include <array>
#include <optional>
#include <vector>

#include "tables/field_tables.h"

namespace twinlens {

class MemoryTables : public TableBackend {
 public:
  struct SentMessage {
    TableId table;
    std::uint32_t message;
    std::uintptr_t wparam;
    std::intptr_t lparam;
  };

  MemoryTables();

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

  int row_count(TableId table) const;
  // Single selection, as in the list views: selecting a row deselects the other.
  void select_row(TableId table, std::optional<int> row);
  bool redraw_suspended(TableId table) const;
  const std::vector<SentMessage>& sent_messages() const { return sent_messages_; }

 private:
  struct Table {
    std::size_t column_count = 0;
    std::vector<std::vector<std::string>> rows;
    std::optional<int> selected_row;
    bool redraw_suspended = false;
  };

  Table& table(TableId id) { return tables_[static_cast<std::size_t>(id)]; }
  const Table& table(TableId id) const { return tables_[static_cast<std::size_t>(id)]; }

  std::array<Table, kTableCount> tables_;
  std::vector<SentMessage> sent_messages_;
};

}  // namespace twinlens
