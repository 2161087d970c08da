// What the program holds, plus a stand-in for the replacement of the main
// window's procedure: it remembers whom it was called for and answers with
// known "previous procedures", so tests can tell which answer was kept.
#pragma once

#include <cstdint>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "compare/row_colour_registry.h"
#include "support/program_state.h"

namespace twinlens {

inline void PrintTo(const WindowRef& window, std::ostream* out) {
  if (window.is_main_window()) {
    *out << "main window";
  } else {
    *out << "table " << static_cast<int>(window.table_id());
  }
}

namespace test {

class RowColourState : public ProgramState {
 protected:
  void SetUp() override {
    ProgramState::SetUp();
    set_window_procedure_replacer([this](WindowRef parent) -> std::uintptr_t {
      replaced_for.push_back(parent);
      const std::size_t call = replaced_for.size() - 1;
      return call < previous_procedures.size() ? previous_procedures[call] : 0;
    });
  }

  // What the replacement answers at its first, second, ... call; 0 after.
  std::vector<std::uintptr_t> previous_procedures = {0x401000, 0x402000, 0x403000,
                                                     0x404000, 0x405000, 0x406000};
  std::vector<WindowRef> replaced_for;
};

// The members of a "|"-joined registry text.
inline std::vector<std::string> members(const std::string& text) {
  std::vector<std::string> result;
  std::istringstream stream(text);
  std::string member;
  while (std::getline(stream, member, '|')) result.push_back(member);
  return result;
}

}  // namespace test
}  // namespace twinlens
