#include "tables/section_rows.h"

#include "pe/file_slot.h"
#include "tables/cell_text.h"
#include "tables/field_tables.h"
#include "tables/table_layout.h"

namespace twinlens {

void fill_section_table(int slot) {
  const FileSlot& file = file_slot(slot);
  const TableId table = section_table(slot);
  const RedrawSuspended suspended(table);

  delete_all_rows(table);
  for (const ImageSectionHeader& section : file.sections) {
    const std::int32_t row = insert_row(table, section_name_text(section.Name));
    // The columns put each address or offset before its size.
    set_cell_text(table, row, 1, hex_text(section.VirtualAddress));
    set_cell_text(table, row, 2, hex_text(section.VirtualSize));
    set_cell_text(table, row, 3, hex_text(section.PointerToRawData));
    set_cell_text(table, row, 4, hex_text(section.SizeOfRawData));
    set_cell_text(table, row, 5, hex_text(section.Characteristics));
  }
}

}  // namespace twinlens
