#pragma once

namespace twinlens {

// Compares the two files as the header tables show them, row by row, and
// records red text for each row whose texts differ and black for each row
// whose texts agree, always on white.
void compare_tables();

inline constexpr int kDifferentRowColour = 255;          // red
inline constexpr int kSameRowColour = 0;                 // black
inline constexpr int kComparedRowBackground = 0xFFFFFF;  // white

}  // namespace twinlens
