// Loading files through the real open-file dialog of each slot, and the
// message boxes a failed load brings up.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "app/list_view_tables_win32.h"
#include "app/wide_text.h"
#include "support/dialog_driver.h"
#include "support/main_window_driver.h"
#include "support/pe_builder.h"
#include "support/window_reading.h"

namespace twinlens {
namespace {

using namespace std::chrono_literals;
using test::Cells;
using test::index_of;
using test::list_view_cells;
using test::list_view_column_texts;
using test::list_view_row_texts;
using test::MessageBoxSeen;
using test::OpenDialogSeen;
using test::read_and_dismiss_message_box;
using test::same_path;
using test::table_name;
using test::WindowContents;

using OpenDialog = test::MainWindowTest;

// Two files told apart by every cell the tests look at.
test::Bytes first_file() {
  return test::make_pe32();
}

test::Bytes second_file() {
  test::PeSpec spec;
  spec.e_lfanew = 0xC0;
  spec.time_date_stamp = 0x12345678;
  spec.import_size = 0x3C;
  spec.sections = {{".text", 0x0800, 0x1000, 0x0800, 0x400, 0x60000020},
                   {".rdata", 0x0100, 0x2000, 0x0200, 0xC00, 0x40000040},
                   {".reloc", 0x0010, 0x3000, 0x0200, 0xE00, 0x42000040}};
  return test::make_pe32(spec);
}

test::Bytes dos_header_only() {
  test::Bytes bytes = first_file();
  bytes.resize(64);
  return bytes;
}

TEST_F(OpenDialog, LoadsEachSlotIntoItsOwnColumns) {
  const auto first = dir_.write(L"first.exe", first_file());
  const auto second = dir_.write(L"second.exe", second_file());

  const OpenDialogSeen dialog = use_open_dialog(1, first);
  ASSERT_TRUE(dialog.appeared);
  EXPECT_EQ(dialog.owner, window());
  EXPECT_FALSE(dialog.owner_enabled) << "the dialog must be modal to the window";
  EXPECT_FALSE(dialog.read_only_box_shown);

  EXPECT_TRUE(same_path(utf8_to_wide(text_of(kEditFile1)), first)) << text_of(kEditFile1);
  EXPECT_EQ(text_of(kEditFile2), "");

  struct Cell {
    TableId table;
    int row;
    const char* slot1;
    const char* slot2;
  };
  const Cell cells[] = {
      {TableId::Dos, 0, "5A4D", "5A4D"},
      {TableId::Dos, 1, "0090", "0090"},
      {TableId::Dos, 18, "00000080", "000000C0"},
      {TableId::FileHeader, 0, "014C", "014C"},
      {TableId::FileHeader, 1, "0002", "0003"},
      {TableId::FileHeader, 2, "5F3759DF", "12345678"},
      {TableId::OptionalHeader, 0, "010B", "010B"},
      {TableId::OptionalHeader, 9, "00400000", "00400000"},
      {TableId::OptionalHeader, 29, "00000010", "00000010"},
  };
  for (const Cell& cell : cells) {
    EXPECT_EQ(test::list_view_text(table(cell.table), cell.row, 1), cell.slot1)
        << table_name(cell.table) << " row " << cell.row;
  }
  const HWND directory = table(TableId::Directory);
  EXPECT_EQ(list_view_row_texts(directory, 1),
            (std::vector<std::string>{"导入表", "00002000", "00000028", "", ""}));
  EXPECT_EQ(list_view_row_texts(directory, 0),
            (std::vector<std::string>{"导出表", "00000000", "00000000", "", ""}));
  for (TableId id : {TableId::Dos, TableId::FileHeader, TableId::OptionalHeader}) {
    for (const std::string& text : list_view_column_texts(table(id), 1)) {
      EXPECT_FALSE(text.empty()) << table_name(id) << ": every field of file 1 is shown";
    }
    EXPECT_EQ(list_view_column_texts(table(id), 2),
              std::vector<std::string>(list_view_column_texts(table(id), 2).size()));
  }
  EXPECT_EQ(list_view_cells(table(TableId::Sections1)),
            (Cells{{".text", "00001000", "00001234", "00000400", "00001400", "60000020"},
                   {".data", "00003000", "00000200", "00001800", "00000200", "C0000040"}}));
  EXPECT_EQ(test::list_view_row_count(table(TableId::Sections2)), 0);
  // Loaded while page 0 shows: the tables of the other pages must not have come up.
  for (TableId id : test::kAllTables) {
    EXPECT_EQ(IsWindowVisible(table(id)) != FALSE, id == TableId::Dos) << table_name(id);
  }

  // Slot 2, loaded while its section table shows.
  const WindowContents before = contents();
  select_page_by_click(4);
  load(2, second);
  EXPECT_TRUE(same_path(utf8_to_wide(text_of(kEditFile2)), second)) << text_of(kEditFile2);
  EXPECT_EQ(text_of(kEditFile1), before.file1);
  for (const Cell& cell : cells) {
    EXPECT_EQ(test::list_view_text(table(cell.table), cell.row, 2), cell.slot2)
        << table_name(cell.table) << " row " << cell.row;
  }
  for (TableId id : {TableId::Dos, TableId::FileHeader, TableId::OptionalHeader}) {
    Cells now = list_view_cells(table(id));
    Cells then = before.tables[index_of(id)];
    for (std::size_t row = 0; row < now.size(); ++row) {
      EXPECT_EQ(now[row][1], then[row][1]) << table_name(id) << ": file 1's column kept";
      EXPECT_FALSE(now[row][2].empty()) << table_name(id) << " row " << row;
    }
  }
  EXPECT_EQ(list_view_row_texts(directory, 1),
            (std::vector<std::string>{"导入表", "00002000", "00000028", "00002000", "0000003C"}));
  EXPECT_EQ(list_view_cells(table(TableId::Sections1)), before.tables[4]);
  EXPECT_EQ(list_view_cells(table(TableId::Sections2)),
            (Cells{{".text", "00001000", "00000800", "00000400", "00000800", "60000020"},
                   {".rdata", "00002000", "00000100", "00000C00", "00000200", "40000040"},
                   {".reloc", "00003000", "00000010", "00000E00", "00000200", "42000040"}}));
  // Painting held back during the fill must be back on: the tables still
  // show, and a row that changes is repainted.
  for (TableId id : {TableId::Sections1, TableId::Sections2}) {
    const HWND view = table(id);
    EXPECT_TRUE(IsWindowVisible(view)) << table_name(id);
    ValidateRect(view, nullptr);
    LVITEMW selected{};
    selected.stateMask = selected.state = LVIS_SELECTED;
    SendMessageW(view, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&selected));
    EXPECT_TRUE(GetUpdateRect(view, nullptr, FALSE)) << table_name(id) << " does not repaint";
  }
}

TEST_F(OpenDialog, FailedLoadShowsTheErrorBoxAndKeepsThePath) {
  struct Case {
    const char* what;
    test::Bytes bytes;
    bool locked;  // held open without sharing, so it cannot be opened again
    const char* message;
  };
  const Case cases[] = {
      {"text file", {'h', 'e', 'l', 'l', 'o', '\n'}, false, "不是32位的PE文件"},
      {"DOS header but no NT headers", dos_header_only(), false, "不是32位的PE文件"},
      {"file in use", first_file(), true, "打开文件失败"},
  };
  int index = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const auto file = dir_.write(L"bad" + std::to_wstring(index++) + L".exe", c.bytes);
    HANDLE lock = INVALID_HANDLE_VALUE;
    if (c.locked) {
      lock = CreateFileW(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
      ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    }
    const WindowContents before = contents();

    MessageBoxSeen box;
    std::string path_during_box;
    use_open_dialog(1, file, [&] {
      box = read_and_dismiss_message_box(window(), [&] { path_during_box = text_of(kEditFile1); });
    });
    if (lock != INVALID_HANDLE_VALUE) CloseHandle(lock);

    ASSERT_TRUE(box.appeared) << "no message box";
    EXPECT_EQ(box.caption, "错误");
    EXPECT_EQ(box.text, c.message);
    EXPECT_EQ(box.owner, nullptr);
    EXPECT_EQ(box.buttons, std::vector<int>{IDOK});
    EXPECT_FALSE(box.main_window_enabled) << "the box must be modal to the whole program";

    // The path is in the box before the load starts, and stays.
    EXPECT_TRUE(same_path(utf8_to_wide(path_during_box), file)) << path_during_box;
    EXPECT_EQ(text_of(kEditFile1), path_during_box);
    WindowContents expected = before;
    expected.file1 = text_of(kEditFile1);
    expect_unchanged(expected);
  }
}

TEST_F(OpenDialog, InsistsOnAnExistingFile) {
  const auto missing = dir_.path() / L"missing.exe";
  const WindowContents before = contents();
  bool warned = false, dialog_stayed = false;
  test::drive_modal([&] { ui_.click(kOpenFile1); },
                    [&] {
                      const HWND dialog = test::wait_for_dialog(GetCurrentProcessId());
                      if (dialog == nullptr) return;
                      test::set_file_name_box_text(dialog, missing.wstring());
                      test::press_dialog_button(dialog, IDOK);
                      // The dialog warns in a box of its own and stays.
                      const HWND warning =
                          test::wait_for_dialog(GetCurrentProcessId(), 10s, dialog);
                      warned = warning != nullptr;
                      if (warned) {
                        test::press_dialog_button(warning, IDOK);
                        test::wait_until_gone(warning);
                      }
                      dialog_stayed = IsWindow(dialog) && IsWindowVisible(dialog);
                      test::press_dialog_button(dialog, IDCANCEL);
                      test::wait_until_gone(dialog);
                    });
  EXPECT_TRUE(warned);
  EXPECT_TRUE(dialog_stayed);
  expect_unchanged(before);
}

TEST_F(OpenDialog, CancelledDialogChangesNothing) {
  const auto first = dir_.write(L"first.exe", first_file());
  const auto second = dir_.write(L"second.exe", second_file());
  load(1, first);

  for (int slot : {1, 2}) {
    SCOPED_TRACE(testing::Message() << "slot " << slot);
    const WindowContents before = contents();
    test::drive_modal([&] { ui_.click(slot == 1 ? kOpenFile1 : kOpenFile2); },
                      [&] {
                        const HWND dialog = test::wait_for_dialog(GetCurrentProcessId());
                        if (dialog == nullptr) return;
                        // A file typed in and then cancelled is not taken either.
                        test::set_file_name_box_text(dialog, second.wstring());
                        test::press_dialog_button(dialog, IDCANCEL);
                        test::wait_until_gone(dialog);
                      });
    expect_unchanged(before);
  }
  // Nor is it offered next time.
  EXPECT_TRUE(same_path(use_open_dialog(1, std::nullopt).offered, first));
  EXPECT_EQ(use_open_dialog(2, std::nullopt).offered, std::filesystem::path());
}

TEST_F(OpenDialog, EachDialogOffersItsOwnSlotsLastPath) {
  const auto first = dir_.write(L"first.exe", first_file());
  const auto second = dir_.write(L"second.exe", second_file());
  const auto third = dir_.write(L"third.exe", second_file());
  const std::filesystem::path nothing;

  EXPECT_EQ(use_open_dialog(1, std::nullopt).offered, nothing);
  load(1, first);
  EXPECT_EQ(use_open_dialog(2, std::nullopt).offered, nothing) << "slot 1's path leaked";
  EXPECT_TRUE(same_path(use_open_dialog(1, std::nullopt).offered, first));

  load(2, second);
  EXPECT_TRUE(same_path(use_open_dialog(2, std::nullopt).offered, second));
  EXPECT_TRUE(same_path(use_open_dialog(1, std::nullopt).offered, first));

  // A failed load is still the path the dialog last chose.
  const auto bad = dir_.write(L"bad.exe", {'M', 'Z'});
  use_open_dialog(2, bad, [&] { read_and_dismiss_message_box(window()); });
  EXPECT_TRUE(same_path(use_open_dialog(2, std::nullopt).offered, bad));
  load(2, third);
  EXPECT_TRUE(same_path(use_open_dialog(2, std::nullopt).offered, third));
  EXPECT_TRUE(same_path(use_open_dialog(1, std::nullopt).offered, first));
}

}  // namespace
}  // namespace twinlens
