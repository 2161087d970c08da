#include "tables/field_tables.h"

#include <cstdlib>

#include "tables/table_layout.h"

namespace twinlens {
namespace {

TableBackend* g_table_backend = nullptr;

TableBackend& backend() {
  // Tables are used only while the window (or a test) has installed them.
  if (g_table_backend == nullptr) std::abort();
  return *g_table_backend;
}

}  // namespace

void install_table_backend(TableBackend* table_backend) {
  g_table_backend = table_backend;
}

TableBackend* installed_table_backend() {
  return g_table_backend;
}

std::int32_t insert_row(TableId table, std::string_view text) {
  return backend().insert_row(table, text);
}

void set_cell_text(TableId table, int row, int column, std::string_view text) {
  backend().set_cell_text(table, row, column, text);
}

std::string get_cell_text(TableId table, int row, int column) {
  return backend().get_cell_text(table, row, column);
}

void delete_all_rows(TableId table) {
  backend().delete_all_rows(table);
}

bool is_row_selected(TableId table, int row) {
  return backend().is_row_selected(table, row);
}

NativeWindowHandle table_window_handle(TableId table) {
  return backend().table_window_handle(table);
}

std::intptr_t send_table_message(TableId table, std::uint32_t message, std::uintptr_t wparam,
                                 std::intptr_t lparam) {
  return backend().send_table_message(table, message, wparam, lparam);
}

RedrawSuspended::RedrawSuspended(TableId table) : table_(table) {
  backend().suspend_redraw(table_);
}

RedrawSuspended::~RedrawSuspended() {
  backend().resume_redraw(table_);
}

void insert_field_name_rows() {
  for (TableId table : {TableId::Dos, TableId::FileHeader, TableId::OptionalHeader}) {
    for (const char* name : field_names(table)) insert_row(table, name);
  }
}

}  // namespace twinlens
