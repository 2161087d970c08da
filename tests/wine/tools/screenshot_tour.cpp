// Drives the real twinlens.exe the way a user does for the README's picture:
// opens the two sample files with the "打开" buttons and their dialogs,
// presses "比较" and shows the optional header page. Then it prints the
// window's client area on the screen after "ready", waits until the file named by its
// third argument exists (the caller has taken the screenshot) and closes the
// program. Usage: screenshot_tour FILE1 FILE2 SHOT_TAKEN_MARKER
#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <string>

#include "app/list_view_tables_win32.h"
#include "app/main_window_win32.h"
#include "support/child_process.h"
#include "support/dialog_driver.h"

namespace {

using namespace twinlens;

bool open_in_slot(DWORD process, HWND window, int button, const std::wstring& path) {
  PostMessageW(GetDlgItem(window, button), BM_CLICK, 0, 0);
  const HWND dialog = test::wait_for_dialog(process);
  if (dialog == nullptr) return false;
  test::set_file_name_box_text(dialog, path);
  test::press_dialog_button(dialog, IDOK);
  return test::wait_until_gone(dialog);
}

// Waits until the program's thread has handled everything posted so far.
void settle(HWND window) {
  DWORD_PTR ignored = 0;
  SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &ignored);
  Sleep(500);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: screenshot_tour FILE1 FILE2 SHOT_TAKEN_MARKER\n");
    return 2;
  }
  test::ChildProcess program(test::twinlens_program_path(), L"");
  const HWND window = test::wait_for_top_level_window(program.id(), kMainWindowClass);
  if (window == nullptr || !open_in_slot(program.id(), window, kOpenFile1, argv[1]) ||
      !open_in_slot(program.id(), window, kOpenFile2, argv[2])) {
    std::fprintf(stderr, "could not load the files through the window\n");
    return 1;
  }
  PostMessageW(GetDlgItem(window, kCompare), BM_CLICK, 0, 0);
  settle(window);
  // The optional header page, where the two samples differ; its lower rows
  // hold most of the differences.
  SendMessageW(GetDlgItem(window, kTabControl), TCM_SETCURFOCUS, 2, 0);
  SendMessageW(GetDlgItem(window, table_control_id(TableId::OptionalHeader)), LVM_ENSUREVISIBLE, 26,
               FALSE);
  settle(window);

  // The client area: without a window manager nobody draws the frame.
  RECT client{};
  GetClientRect(window, &client);
  POINT corner{0, 0};
  ClientToScreen(window, &corner);
  std::printf("ready %ld %ld %ld %ld\n", corner.x, corner.y, client.right, client.bottom);
  std::fflush(stdout);
  for (int i = 0; i < 600 && GetFileAttributesW(argv[3]) == INVALID_FILE_ATTRIBUTES; ++i) {
    Sleep(100);
  }
  PostMessageW(window, WM_CLOSE, 0, 0);
  return program.wait_for_exit(std::chrono::seconds(10)) == 0u ? 0 : 1;
}
