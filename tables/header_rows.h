#pragma once

namespace twinlens {

// Writes the slot's DOS header, file header, optional header and directory
// values into its columns of the four header tables: 88 cells, each as the
// field's fixed-width hexadecimal text.
void fill_header_tables(int slot);

}  // namespace twinlens
