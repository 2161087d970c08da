// What the six tables look like when the window is created: their columns
// and the fixed rows. The window builds its list views from this, and the
// in-memory tables of the native tests do too.
#pragma once

#include <vector>

#include "tables/field_tables.h"

namespace twinlens {

struct TableColumn {
  const char* title;  // UTF-8
  int width;          // pixels
};

const std::vector<TableColumn>& table_columns(TableId table);

// The column-0 texts of the 16 rows the directory table has from creation,
// entry 0 (export table) first.
const std::vector<const char*>& directory_row_names();

// The field names of a header table's rows (DOS header, file header or
// optional header), in row order: the standard's names, from the records'
// own field lists. Empty for the other tables.
const std::vector<const char*>& field_names(TableId table);

// The value columns of a slot (1 or 2) in the header tables.
int header_value_column(int slot);       // DOS, file and optional header tables
int directory_address_column(int slot);  // directory table, VirtualAddress
int directory_size_column(int slot);     // directory table, Size
TableId section_table(int slot);

}  // namespace twinlens
