#include "support/child_process.h"

#include <cstdlib>
#include <filesystem>
#include <thread>
#include <vector>

#include "app/wide_text.h"

namespace twinlens::test {

ChildProcess::ChildProcess(const std::wstring& program, const std::wstring& arguments) {
  std::wstring command_line = L"\"" + program + L"\" " + arguments;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  if (!CreateProcessW(program.c_str(), command_line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      nullptr, &startup, &info_)) {
    info_ = {};
  }
}

ChildProcess::~ChildProcess() {
  if (!started()) return;
  if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) {
    TerminateProcess(info_.hProcess, 1);
    WaitForSingleObject(info_.hProcess, 10000);
  }
  CloseHandle(info_.hThread);
  CloseHandle(info_.hProcess);
}

std::optional<DWORD> ChildProcess::wait_for_exit(std::chrono::milliseconds timeout) {
  if (!started()) return std::nullopt;
  if (WaitForSingleObject(info_.hProcess, static_cast<DWORD>(timeout.count())) != WAIT_OBJECT_0) {
    return std::nullopt;
  }
  DWORD code = 0;
  GetExitCodeProcess(info_.hProcess, &code);
  return code;
}

namespace {

struct WindowSearch {
  DWORD process_id;
  const wchar_t* window_class;
  HWND found;
};

// Named, not a lambda: the 32-bit callback must be stdcall.
BOOL CALLBACK find_process_window(HWND window, LPARAM context) {
  auto& s = *reinterpret_cast<WindowSearch*>(context);
  DWORD owner_process = 0;
  GetWindowThreadProcessId(window, &owner_process);
  wchar_t name[256] = {};
  GetClassNameW(window, name, 256);
  if (owner_process != s.process_id || !IsWindowVisible(window) ||
      std::wcscmp(name, s.window_class) != 0) {
    return TRUE;
  }
  s.found = window;
  return FALSE;
}

}  // namespace

HWND wait_for_top_level_window(DWORD process_id, const wchar_t* window_class,
                               std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  do {
    WindowSearch search{process_id, window_class, nullptr};
    EnumWindows(find_process_window, reinterpret_cast<LPARAM>(&search));
    if (search.found != nullptr) {
      DWORD_PTR ignored = 0;
      SendMessageTimeoutW(search.found, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &ignored);
      return search.found;
    }
    std::this_thread::sleep_for(50ms);
  } while (std::chrono::steady_clock::now() < deadline);
  return nullptr;
}

std::wstring this_program_path() {
  std::vector<wchar_t> path(MAX_PATH);
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length < path.size()) return std::wstring(path.data(), length);
    path.resize(path.size() * 2);
  }
}

std::wstring twinlens_program_path() {
  if (const char* linux_path = std::getenv("TWINLENS_EXE"); linux_path && *linux_path == '/') {
    std::wstring path = L"Z:" + utf8_to_wide(linux_path);
    for (wchar_t& c : path) {
      if (c == L'/') c = L'\\';
    }
    return path;
  }
  // build/<preset>/tests/wine/X.exe -> build/<preset>/app/twinlens.exe
  const std::filesystem::path self(this_program_path());
  return (self.parent_path().parent_path().parent_path() / L"app" / L"twinlens.exe").wstring();
}

HWND focused_window_of_thread(DWORD thread_id) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(thread_id, &info)) return nullptr;
  return info.hwndFocus;
}

void type_key(WORD key, std::initializer_list<WORD> modifiers) {
  std::vector<INPUT> inputs;
  const auto add = [&inputs](WORD virtual_key, DWORD flags) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = virtual_key;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(virtual_key, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = flags;
    inputs.push_back(input);
  };
  for (WORD modifier : modifiers) add(modifier, 0);
  add(key, 0);
  add(key, KEYEVENTF_KEYUP);
  for (auto it = std::rbegin(modifiers); it != std::rend(modifiers); ++it) {
    add(*it, KEYEVENTF_KEYUP);
  }
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

}  // namespace twinlens::test
