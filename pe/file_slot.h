// The two file slots: the parsed headers of the file loaded into each.
#pragma once

#include <vector>

#include "pe/pe_records.h"

namespace twinlens {

struct FileSlot {
  ImageDosHeader dos_header;
  ImageNtHeaders32 nt_headers;
  std::vector<ImageSectionHeader> sections;  // in file order
};

inline constexpr int kSlotCount = 2;

// Slots are named by their number, 1 or 2. Both exist from create_file_slot
// until release_file_slot; only the loader writes them in between.
void create_file_slot(int slot);
void release_file_slot(int slot);
bool file_slot_exists(int slot);
FileSlot& file_slot(int slot);

}  // namespace twinlens
