#include "support/dialog_driver.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "app/wide_text.h"

namespace twinlens::test {
namespace {

constexpr wchar_t kDialogClass[] = L"#32770";
constexpr int kFileNameBoxId = 0x47C;
constexpr int kMessageBoxTextId = 0xFFFF;

std::wstring class_of(HWND window) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  return name;
}

struct DialogSearch {
  DWORD process_id;
  std::vector<HWND> found;
};

// Enumeration callbacks are named functions: on 32-bit Windows they must be
// stdcall, which a lambda is not.
BOOL CALLBACK collect_dialog(HWND window, LPARAM context) {
  auto& s = *reinterpret_cast<DialogSearch*>(context);
  DWORD owner_process = 0;
  GetWindowThreadProcessId(window, &owner_process);
  if (owner_process == s.process_id && IsWindowVisible(window) &&
      class_of(window) == kDialogClass) {
    s.found.push_back(window);
  }
  return TRUE;
}

BOOL CALLBACK find_edit(HWND child, LPARAM context) {
  if (class_of(child) != L"Edit") return TRUE;
  *reinterpret_cast<HWND*>(context) = child;
  return FALSE;
}

std::vector<HWND> visible_dialogs(DWORD process_id) {
  DialogSearch search{process_id, {}};
  EnumWindows(collect_dialog, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

}  // namespace

HWND wait_for_dialog(DWORD process_id, std::chrono::milliseconds timeout, HWND other_than) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  do {
    for (HWND dialog : visible_dialogs(process_id)) {
      if (dialog == other_than) continue;
      // Answered only once the dialog's thread runs its modal loop, i.e. the
      // dialog has finished initialising.
      DWORD_PTR ignored = 0;
      SendMessageTimeoutW(dialog, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &ignored);
      if (IsWindow(dialog)) return dialog;
    }
    std::this_thread::sleep_for(20ms);
  } while (std::chrono::steady_clock::now() < deadline);
  return nullptr;
}

bool wait_until_gone(HWND window, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (IsWindow(window)) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(20ms);
  }
  return true;
}

std::string window_text_utf8(HWND window) {
  const int length = GetWindowTextLengthW(window);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const int copied = GetWindowTextW(window, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
  return wide_to_utf8(text);
}

std::string message_box_text(HWND box) {
  return window_text_utf8(GetDlgItem(box, kMessageBoxTextId));
}

std::vector<int> visible_button_ids(HWND dialog) {
  std::vector<int> ids;
  for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    if (class_of(child) != L"Button" || !IsWindowVisible(child)) continue;
    const auto type = GetWindowLongPtrW(child, GWL_STYLE) & BS_TYPEMASK;
    if (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON) ids.push_back(GetDlgCtrlID(child));
  }
  return ids;
}

HWND file_name_edit(HWND open_dialog) {
  const HWND box = GetDlgItem(open_dialog, kFileNameBoxId);
  if (box == nullptr) return nullptr;
  if (class_of(box) == L"Edit") return box;
  // A ComboBoxEx32 holds a ComboBox holding the edit; a plain combo box holds it directly.
  HWND edit = nullptr;
  EnumChildWindows(box, find_edit, reinterpret_cast<LPARAM>(&edit));
  return edit;
}

std::string file_name_box_text(HWND open_dialog) {
  return window_text_utf8(file_name_edit(open_dialog));
}

void set_file_name_box_text(HWND open_dialog, const std::wstring& text) {
  SendMessageW(file_name_edit(open_dialog), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void press_dialog_button(HWND dialog, int id) {
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

void drive_modal(const std::function<void()>& ui_action, const std::function<void()>& driver) {
  std::atomic<bool> ui_done{false};
  std::atomic<int> left_open{0};
  std::thread driver_thread([&] {
    driver();
    // Whatever the driver left open would block the UI thread for good. A
    // dialog it has just dismissed may take a moment to go.
    std::this_thread::sleep_for(500ms);
    const auto deadline = std::chrono::steady_clock::now() + kDialogTimeout;
    while (!ui_done && std::chrono::steady_clock::now() < deadline) {
      for (HWND dialog : visible_dialogs(GetCurrentProcessId())) {
        ++left_open;
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        PostMessageW(dialog, WM_CLOSE, 0, 0);
      }
      std::this_thread::sleep_for(200ms);
    }
  });
  ui_action();
  ui_done = true;
  driver_thread.join();
  EXPECT_EQ(left_open, 0) << "the driver left a dialog open; it was cancelled";
}

}  // namespace twinlens::test
