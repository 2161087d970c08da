#include "compare/compare_tables.h"

#include "compare/row_colour_registry.h"
#include "tables/field_tables.h"
#include "tables/table_layout.h"

namespace twinlens {
namespace {

bool cells_differ(TableId table, int row, int column_1, int column_2) {
  return get_cell_text(table, row, column_1) != get_cell_text(table, row, column_2);
}

void record_row(TableId table, int row, bool differs) {
  set_row_colour(WindowRef::main_window(), WindowRef::table(table), row,
                 differs ? kDifferentRowColour : kSameRowColour, kComparedRowBackground);
}

}  // namespace

void compare_tables() {
  for (TableId table : {TableId::Dos, TableId::FileHeader, TableId::OptionalHeader}) {
    const int rows = static_cast<int>(field_names(table).size());
    for (int row = 0; row < rows; ++row) {
      record_row(table, row,
                 cells_differ(table, row, header_value_column(1), header_value_column(2)));
    }
  }
  const int directory_rows = static_cast<int>(directory_row_names().size());
  for (int row = 0; row < directory_rows; ++row) {
    const bool differs =
        cells_differ(TableId::Directory, row, directory_address_column(1),
                     directory_address_column(2)) ||
        cells_differ(TableId::Directory, row, directory_size_column(1), directory_size_column(2));
    record_row(TableId::Directory, row, differs);
  }
}

}  // namespace twinlens
