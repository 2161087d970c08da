// The run's only memory of row colours: which rows of which tables are drawn
// in which text and background colours, kept as "|"-joined decimal texts.
// The comparison appends to it; the main window's replacement procedure reads
// it at every row the tables paint.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "tables/field_tables.h"

namespace twinlens {

// Names the main window or one of its tables.
class WindowRef {
 public:
  static WindowRef main_window() { return WindowRef(0); }
  static WindowRef table(TableId id) { return WindowRef(1 + static_cast<int>(id)); }

  bool is_main_window() const { return id_ == 0; }
  TableId table_id() const { return static_cast<TableId>(id_ - 1); }  // only for a table
  bool operator==(const WindowRef& other) const { return id_ == other.id_; }
  bool operator!=(const WindowRef& other) const { return id_ != other.id_; }

 private:
  explicit WindowRef(int id) : id_(id) {}
  int id_;
};

struct RowColourRegistry {
  // One entry per (parent, table) pair, in order of first colour; these five
  // lists always have the same length.
  std::vector<WindowRef> parent_windows;
  std::vector<WindowRef> table_windows;
  std::vector<std::string> row_texts;
  std::vector<std::string> text_colour_texts;
  std::vector<std::string> background_colour_texts;
  // One member per replacement of a window procedure that returned a
  // previous one. Only the first, the main window's own, is ever called.
  std::vector<std::uintptr_t> saved_procedures;
};

void create_row_colour_registry();
void release_row_colour_registry();
bool row_colour_registry_exists();
RowColourRegistry& row_colour_registry();

// Replaces the parent window's procedure with the row-colouring one and
// returns the previous procedure, or 0 when the replacement failed. The
// Windows program installs the real one; tests install a stand-in.
using WindowProcedureReplacer = std::function<std::uintptr_t(WindowRef parent)>;
void set_window_procedure_replacer(WindowProcedureReplacer replacer);

// Records colours for one row of a table and has the table repaint it.
void set_row_colour(WindowRef parent, WindowRef table, std::int32_t row, std::int32_t text_colour,
                    std::int32_t background_colour);

// List-view messages, by value, so that this file needs no platform headers.
inline constexpr std::uint32_t kLvmRedrawItems = 0x1015;  // LVM_REDRAWITEMS
inline constexpr std::uint32_t kLvmUpdate = 0x102A;       // LVM_UPDATE

}  // namespace twinlens
