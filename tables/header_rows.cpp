#include "tables/header_rows.h"

#include "pe/file_slot.h"
#include "tables/cell_text.h"
#include "tables/field_tables.h"
#include "tables/table_layout.h"

namespace twinlens {
namespace {

// Writes each visited field into the next row of one column.
class ColumnWriter {
 public:
  ColumnWriter(TableId table, int column) : table_(table), column_(column) {}

  template <class Field>
  void operator()(const char*, const Field& field) {
    set_cell_text(table_, row_++, column_, hex_text(field));
  }

 private:
  TableId table_;
  int column_;
  int row_ = 0;
};

}  // namespace

void fill_header_tables(int slot) {
  const FileSlot& file = file_slot(slot);
  const int column = header_value_column(slot);
  const RedrawSuspended dos(TableId::Dos), file_header(TableId::FileHeader),
      optional(TableId::OptionalHeader), directory(TableId::Directory);

  visit_fields_of_dos_header(file.dos_header, ColumnWriter(TableId::Dos, column));
  visit_fields_of_file_header(file.nt_headers.FileHeader,
                              ColumnWriter(TableId::FileHeader, column));
  const ImageOptionalHeader32& optional_header = file.nt_headers.OptionalHeader;
  visit_scalar_fields_of_optional_header(optional_header,
                                         ColumnWriter(TableId::OptionalHeader, column));

  int row = 0;
  for (const ImageDataDirectory& entry : optional_header.DataDirectory) {
    set_cell_text(TableId::Directory, row++, directory_address_column(slot),
                  hex_text(entry.VirtualAddress));
  }
  row = 0;
  for (const ImageDataDirectory& entry : optional_header.DataDirectory) {
    set_cell_text(TableId::Directory, row++, directory_size_column(slot), hex_text(entry.Size));
  }
}

}  // namespace twinlens
