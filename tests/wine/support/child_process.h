// Child processes for the tests that need a whole program: the real
// twinlens.exe, or the test program itself in a test-only role.
#pragma once

#include <windows.h>

#include <chrono>
#include <optional>
#include <string>

namespace twinlens::test {

using namespace std::chrono_literals;

// A started process. If it still runs when this goes away, it is killed and
// waited for, so no test leaves one behind whatever path it takes.
class ChildProcess {
 public:
  ChildProcess(const std::wstring& program, const std::wstring& arguments);
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  bool started() const { return info_.hProcess != nullptr; }
  DWORD id() const { return info_.dwProcessId; }

  // The exit code, or nothing if the process still runs after `timeout`.
  std::optional<DWORD> wait_for_exit(std::chrono::milliseconds timeout);

 private:
  PROCESS_INFORMATION info_{};
};

// The first visible top-level window of the process with this class, once
// its thread is idle in its message loop; nullptr after `timeout`.
HWND wait_for_top_level_window(DWORD process_id, const wchar_t* window_class,
                               std::chrono::milliseconds timeout = 30s);

// The test program's own path, and the real program's: from TWINLENS_EXE
// (a Linux path, seen by Wine on drive Z:), else beside the build's app folder.
std::wstring this_program_path();
std::wstring twinlens_program_path();

// The window with the keyboard focus on another thread (of any process).
HWND focused_window_of_thread(DWORD thread_id);

// Types one key through the system's input queue, as a keyboard does, with
// the given modifier keys (VK_SHIFT, VK_CONTROL, VK_MENU) held down.
void type_key(WORD key, std::initializer_list<WORD> modifiers = {});

}  // namespace twinlens::test
