#include "app/globals.h"

#include "compare/row_colour_registry.h"
#include "pe/file_slot.h"

namespace twinlens {

void init_globals() {
  create_file_slot(1);
  create_row_colour_registry();
  create_file_slot(2);
}

void free_globals() {
  release_file_slot(1);
  release_row_colour_registry();
  release_file_slot(2);
}

}  // namespace twinlens
