#include <windows.h>

#include "app/wide_text.h"
#include "tables/cell_text.h"

namespace twinlens {

std::string ansi_to_utf8(const std::string& ansi) {
  return wide_to_utf8(code_page_to_wide(CP_ACP, ansi));
}

}  // namespace twinlens
