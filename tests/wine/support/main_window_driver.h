// The real main window, in process, with what a user does to it: clicks on
// its buttons and page titles, and answers to the open-file dialog and the
// message boxes they bring up. Also a snapshot of everything it shows.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/list_view_tables_win32.h"
#include "support/temp_dir.h"
#include "support/window_test_support.h"
#include "tables/field_tables.h"

namespace twinlens::test {

using Cells = std::vector<std::vector<std::string>>;

inline constexpr TableId kAllTables[] = {
    TableId::Dos,       TableId::FileHeader, TableId::OptionalHeader,
    TableId::Directory, TableId::Sections1,  TableId::Sections2};

inline std::size_t index_of(TableId table) {
  return static_cast<std::size_t>(table);
}

const char* table_name(TableId table);

// Paths as Windows compares them: letter case and redundant parts aside.
bool same_path(const std::filesystem::path& a, const std::filesystem::path& b);

// What an open-file dialog looked like while the test used it.
struct OpenDialogSeen {
  bool appeared = false;
  HWND owner = nullptr;
  bool owner_enabled = true;
  bool read_only_box_shown = false;
  std::filesystem::path offered;  // what its file-name box offered, with the folder it showed
};

// What a message box looked like.
struct MessageBoxSeen {
  bool appeared = false;
  std::string caption;
  std::string text;
  HWND owner = nullptr;
  std::vector<int> buttons;
  bool main_window_enabled = true;
};

// Waits for the next message box of this process, reads it and presses its
// OK; `while_shown` runs before the press. Runs on a driving thread.
MessageBoxSeen read_and_dismiss_message_box(HWND main_window,
                                            const std::function<void()>& while_shown = {});

// Everything the window shows, to prove that an action changed nothing.
struct WindowContents {
  std::string file1, file2;
  int page = -1;
  std::array<bool, kTableCount> shown{};
  std::array<Cells, kTableCount> tables;
};

class MainWindowTest : public ::testing::Test {
 protected:
  HWND window() const { return ui_.window(); }
  HWND control(int id) const { return ui_.control(id); }
  HWND table(TableId id) const { return ui_.table(id); }
  std::string text_of(int id) const;
  int current_page() const;

  WindowContents contents() const;
  void expect_unchanged(const WindowContents& before) const;

  // Clicks the slot's "打开", then in its dialog types `choice` and presses
  // OK, or presses Cancel when there is no choice. `after_ok` runs on the
  // driving thread once the dialog is gone (to answer a message box).
  OpenDialogSeen use_open_dialog(int slot, const std::optional<std::filesystem::path>& choice,
                                 const std::function<void()>& after_ok = {});
  // Loads a file that is expected to load: no message box is answered.
  void load(int slot, const std::filesystem::path& file);

  // Clicks on a page's title in the tab control.
  void select_page_by_click(int page);

  RunningMainWindow ui_;
  TempDir dir_;
};

}  // namespace twinlens::test
