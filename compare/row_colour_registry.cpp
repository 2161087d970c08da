#include "compare/row_colour_registry.h"

#include <cstdlib>
#include <memory>
#include <utility>

namespace twinlens {
namespace {

std::unique_ptr<RowColourRegistry> g_registry;

WindowProcedureReplacer& procedure_replacer() {
  static WindowProcedureReplacer replacer;
  return replacer;
}

void append_member(std::string& text, std::int32_t value) {
  text += '|';
  text += std::to_string(value);
}

}  // namespace

void create_row_colour_registry() {
  g_registry = std::make_unique<RowColourRegistry>();
}

void release_row_colour_registry() {
  g_registry.reset();
}

bool row_colour_registry_exists() {
  return g_registry != nullptr;
}

RowColourRegistry& row_colour_registry() {
  if (!g_registry) std::abort();
  return *g_registry;
}

void set_window_procedure_replacer(WindowProcedureReplacer replacer) {
  procedure_replacer() = std::move(replacer);
}

void set_row_colour(WindowRef parent, WindowRef table, std::int32_t row, std::int32_t text_colour,
                    std::int32_t background_colour) {
  RowColourRegistry& registry = row_colour_registry();

  std::size_t entry = 0;
  while (entry < registry.table_windows.size() &&
         !(registry.parent_windows[entry] == parent && registry.table_windows[entry] == table)) {
    ++entry;
  }

  if (entry < registry.table_windows.size()) {
    append_member(registry.row_texts[entry], row);
    append_member(registry.text_colour_texts[entry], text_colour);
    append_member(registry.background_colour_texts[entry], background_colour);
  } else {
    registry.parent_windows.push_back(parent);
    registry.table_windows.push_back(table);
    registry.row_texts.push_back(std::to_string(row));
    registry.text_colour_texts.push_back(std::to_string(text_colour));
    registry.background_colour_texts.push_back(std::to_string(background_colour));
    // Done for every new entry, even when the parent already has the
    // row-colouring procedure; only the first saved procedure is ever used.
    const std::uintptr_t previous = procedure_replacer() ? procedure_replacer()(parent) : 0;
    if (previous != 0) registry.saved_procedures.push_back(previous);
  }

  const TableId id = table.table_id();
  send_table_message(id, kLvmUpdate, 0, 0);
  // LVM_UPDATE above only concerns item 0; the row just recorded must show
  // its new colours too, without waiting for some other repaint.
  send_table_message(id, kLvmRedrawItems, static_cast<std::uintptr_t>(row), row);
}

}  // namespace twinlens
