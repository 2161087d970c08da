#include "app/program_win32.h"

#include <windows.h>

#include <commctrl.h>

#include <vector>

#include "app/globals.h"
#include "app/main_window_win32.h"

namespace twinlens {
namespace {

std::vector<ExitRoutine>& exit_routines() {
  static std::vector<ExitRoutine> routines;
  return routines;
}

void initialise_shell() {
  INITCOMMONCONTROLSEX controls{};
  controls.dwSize = sizeof controls;
  controls.dwICC = ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES | ICC_STANDARD_CLASSES;
  InitCommonControlsEx(&controls);
}

int run_message_loop(HWND window) {
  MSG message;
  BOOL got;
  while ((got = GetMessageW(&message, nullptr, 0, 0)) != 0) {
    if (got == -1) fatal_error(L"消息循环出错");
    // The dialog manager gives the window Tab, Shift+Tab and Escape.
    if (IsWindow(window) && IsDialogMessageW(window, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return static_cast<int>(message.wParam);
}

}  // namespace

void register_exit_routine(ExitRoutine routine) {
  exit_routines().push_back(routine);
}

void fatal_error(const wchar_t* text) {
  MessageBoxW(nullptr, text, L"错误", MB_OK | MB_ICONERROR | MB_TASKMODAL);
  ExitProcess(static_cast<UINT>(-1));
}

int program_main() {
  initialise_shell();
  init_globals();
  register_exit_routine(free_globals);

  const HWND window = create_main_window(GetModuleHandleW(nullptr));
  if (window == nullptr) fatal_error(L"无法创建主窗口");
  ShowWindow(window, SW_SHOWNORMAL);
  UpdateWindow(window);

  run_message_loop(window);
  return 0;
}

int run_program() {
  const int code = program_main();
  for (ExitRoutine routine : exit_routines()) routine();
  exit_routines().clear();
  return code;
}

}  // namespace twinlens
