#pragma once

namespace twinlens {

// Rebuilds the slot's section table from its section list, one row per
// section header in file order.
void fill_section_table(int slot);

}  // namespace twinlens
