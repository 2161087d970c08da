#include "support/main_window_driver.h"

#include <commctrl.h>
#include <commdlg.h>

#include "app/wide_text.h"
#include "support/dialog_driver.h"
#include "support/window_reading.h"

namespace twinlens::test {
namespace {

// The open dialog's "read only" check box (chx1).
constexpr int kReadOnlyBox = 0x410;

// The path the dialog offers: its file-name box, taken in the folder it shows.
std::filesystem::path offered_path(HWND dialog) {
  const std::filesystem::path name(utf8_to_wide(file_name_box_text(dialog)));
  if (name.empty() || name.is_absolute()) return name;
  wchar_t folder[MAX_PATH * 4] = {};
  SendMessageW(dialog, CDM_GETFOLDERPATH, std::size(folder), reinterpret_cast<LPARAM>(folder));
  return std::filesystem::path(folder) / name;
}

}  // namespace

const char* table_name(TableId table) {
  static const char* const names[] = {"DOS",       "file header", "optional header",
                                      "directory", "sections 1",  "sections 2"};
  return names[index_of(table)];
}

bool same_path(const std::filesystem::path& a, const std::filesystem::path& b) {
  return lstrcmpiW(a.lexically_normal().c_str(), b.lexically_normal().c_str()) == 0;
}

MessageBoxSeen read_and_dismiss_message_box(HWND main_window,
                                            const std::function<void()>& while_shown) {
  MessageBoxSeen seen;
  const HWND box = wait_for_dialog(GetCurrentProcessId());
  if (box == nullptr) return seen;
  seen.appeared = true;
  if (while_shown) while_shown();
  seen.caption = window_text_utf8(box);
  seen.text = message_box_text(box);
  seen.owner = GetWindow(box, GW_OWNER);
  seen.buttons = visible_button_ids(box);
  seen.main_window_enabled = IsWindowEnabled(main_window) != FALSE;
  press_dialog_button(box, IDOK);
  EXPECT_TRUE(wait_until_gone(box));
  return seen;
}

std::string MainWindowTest::text_of(int id) const {
  return window_text_utf8(control(id));
}

int MainWindowTest::current_page() const {
  return static_cast<int>(SendMessageW(control(kTabControl), TCM_GETCURSEL, 0, 0));
}

WindowContents MainWindowTest::contents() const {
  WindowContents now;
  now.file1 = text_of(kEditFile1);
  now.file2 = text_of(kEditFile2);
  now.page = current_page();
  for (TableId id : kAllTables) {
    now.shown[index_of(id)] = IsWindowVisible(table(id)) != FALSE;
    now.tables[index_of(id)] = list_view_cells(table(id));
  }
  return now;
}

void MainWindowTest::expect_unchanged(const WindowContents& before) const {
  const WindowContents after = contents();
  EXPECT_EQ(after.file1, before.file1);
  EXPECT_EQ(after.file2, before.file2);
  EXPECT_EQ(after.page, before.page);
  for (TableId id : kAllTables) {
    EXPECT_EQ(after.shown[index_of(id)], before.shown[index_of(id)]) << table_name(id) << " table";
    EXPECT_EQ(after.tables[index_of(id)], before.tables[index_of(id)])
        << table_name(id) << " table";
  }
}

OpenDialogSeen MainWindowTest::use_open_dialog(int slot,
                                               const std::optional<std::filesystem::path>& choice,
                                               const std::function<void()>& after_ok) {
  OpenDialogSeen seen;
  drive_modal([&] { ui_.click(slot == 1 ? kOpenFile1 : kOpenFile2); },
              [&] {
                const HWND dialog = wait_for_dialog(GetCurrentProcessId());
                if (dialog == nullptr) return;
                seen.appeared = true;
                seen.owner = GetWindow(dialog, GW_OWNER);
                seen.owner_enabled = IsWindowEnabled(window()) != FALSE;
                seen.read_only_box_shown = IsWindowVisible(GetDlgItem(dialog, kReadOnlyBox));
                seen.offered = offered_path(dialog);
                if (choice) set_file_name_box_text(dialog, choice->wstring());
                press_dialog_button(dialog, choice ? IDOK : IDCANCEL);
                EXPECT_TRUE(wait_until_gone(dialog)) << "the dialog stayed open";
                if (choice && after_ok) after_ok();
              });
  EXPECT_TRUE(seen.appeared) << "no open dialog for slot " << slot;
  return seen;
}

void MainWindowTest::load(int slot, const std::filesystem::path& file) {
  const OpenDialogSeen seen = use_open_dialog(slot, file);
  ASSERT_TRUE(seen.appeared);
}

void MainWindowTest::select_page_by_click(int page) {
  const HWND tab = control(kTabControl);
  RECT item{};
  SendMessageW(tab, TCM_GETITEMRECT, static_cast<WPARAM>(page), reinterpret_cast<LPARAM>(&item));
  const LPARAM at = MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2);
  PostMessageW(tab, WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMessageW(tab, WM_LBUTTONUP, 0, at);
  pump_messages();
}

}  // namespace twinlens::test
