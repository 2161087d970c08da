#pragma once

#include <filesystem>

namespace twinlens {

// Loads one file's headers into slot 1 or 2 and has the slot's tables
// rewritten. Refuses anything that is not a 32-bit PE file with a message
// box; reads at most 64 + 248 + NumberOfSections * 40 bytes, whatever the
// file's size, and closes the file on every path.
void load_file_into_slot(const std::filesystem::path& path, int slot);

}  // namespace twinlens
