// A test fixture holding what the running program holds: both file slots,
// the colour registry, the six tables (in memory) and a message-box recorder.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/globals.h"
#include "compare/row_colour_registry.h"
#include "pe/file_reader.h"
#include "pe/user_message.h"
#include "tables/memory_tables.h"

namespace twinlens::test {

struct ShownMessage {
  std::string text;
  std::string title;
  bool operator==(const ShownMessage& other) const {
    return text == other.text && title == other.title;
  }
};

class ProgramState : public ::testing::Test {
 protected:
  void SetUp() override {
    init_globals();
    install_table_backend(&tables);
    set_message_box_service([this](const std::string& text, const std::string& title) {
      messages.push_back({text, title});
    });
  }

  void TearDown() override {
    set_message_box_service({});
    set_file_opener({});
    set_window_procedure_replacer({});
    install_table_backend(nullptr);
    free_globals();
  }

  MemoryTables tables;
  std::vector<ShownMessage> messages;
};

}  // namespace twinlens::test
