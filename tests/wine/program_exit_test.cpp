// How the program ends: after its window closes it returns 0 and runs its
// exit routines; when its window cannot be created it says so and ends with
// -1 without them. Each case runs the program shell in a child process: this
// test program started again in a test-only role.
#include <windows.h>

#include <gtest/gtest.h>
#include <shellapi.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

#include "app/main_window_win32.h"
#include "app/program_win32.h"
#include "pe/file_slot.h"
#include "support/child_process.h"
#include "support/dialog_driver.h"
#include "support/temp_dir.h"

namespace twinlens {
namespace {

using namespace std::chrono_literals;

constexpr wchar_t kRoleOption[] = L"--child-role";
constexpr wchar_t kRunProgram[] = L"run-program";
constexpr wchar_t kFatalStartUp[] = L"fatal-start-up";
constexpr char kExitRoutinesRan[] = "exit routines ran\n";

// --- The child's side --------------------------------------------------------

// Where the child writes what it did; a plain global, as exit routines take
// no arguments.
std::filesystem::path g_journal;

void write_journal(const std::string& line) {
  std::ofstream(g_journal, std::ios::app) << line;
}

void note_exit_routines() {
  write_journal(kExitRoutinesRan);
}

LRESULT CALLBACK refuse_creation(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) return FALSE;
  return DefWindowProcW(window, message, wparam, lparam);
}

int run_child_role(const std::wstring& role) {
  register_exit_routine(note_exit_routines);
  if (role == kFatalStartUp) {
    // Taking the main window's class first makes its creation fail.
    WNDCLASSEXW window_class{};
    window_class.cbSize = sizeof window_class;
    window_class.lpfnWndProc = refuse_creation;
    window_class.hInstance = GetModuleHandleW(nullptr);
    window_class.lpszClassName = kMainWindowClass;
    if (RegisterClassExW(&window_class) == 0) return 3;
  }
  const int code = run_program();
  write_journal("run_program returned " + std::to_string(code) + "; slots " +
                (file_slot_exists(1) || file_slot_exists(2) ? "kept" : "released") + "\n");
  return code;
}

// --- The test's side ---------------------------------------------------------

std::string read_text(const std::filesystem::path& path) {
  std::ifstream in(path);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class ProgramExit : public ::testing::Test {
 protected:
  test::ChildProcess start(const wchar_t* role) {
    return test::ChildProcess(test::this_program_path(), std::wstring(kRoleOption) + L" " + role +
                                                             L" \"" + journal_.wstring() + L"\"");
  }

  test::TempDir dir_;
  std::filesystem::path journal_ = dir_.path() / L"journal.txt";
};

TEST_F(ProgramExit, ClosingTheWindowReturnsZeroAfterRunningTheExitRoutines) {
  test::ChildProcess child = start(kRunProgram);
  ASSERT_TRUE(child.started());
  const HWND window = test::wait_for_top_level_window(child.id(), kMainWindowClass);
  ASSERT_NE(window, nullptr) << "the program showed no window";

  // What the title bar's close button sends.
  PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_EQ(child.wait_for_exit(20s), std::optional<DWORD>(0));
  EXPECT_EQ(read_text(journal_),
            std::string(kExitRoutinesRan) + "run_program returned 0; slots released\n");
}

TEST_F(ProgramExit, WindowThatCannotBeCreatedShowsAnErrorAndEndsWithMinusOne) {
  test::ChildProcess child = start(kFatalStartUp);
  ASSERT_TRUE(child.started());
  const HWND box = test::wait_for_dialog(child.id());
  ASSERT_NE(box, nullptr) << "no error box";
  EXPECT_EQ(test::window_text_utf8(box), "错误");
  EXPECT_FALSE(test::message_box_text(box).empty());
  EXPECT_EQ(test::visible_button_ids(box), std::vector<int>{IDOK});
  // Nothing ends before the user has read the box.
  EXPECT_FALSE(child.wait_for_exit(300ms).has_value());

  test::press_dialog_button(box, IDOK);
  EXPECT_EQ(child.wait_for_exit(20s), std::optional<DWORD>(static_cast<DWORD>(-1)));
  EXPECT_EQ(read_text(journal_), "") << "exit routines ran, or program_main returned";
}

}  // namespace
}  // namespace twinlens

// A child started with --child-role plays that role instead of running the tests.
int main(int argc, char** argv) {
  int count = 0;
  LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  std::optional<std::wstring> role;
  if (arguments != nullptr && count == 4 && std::wstring(arguments[1]) == twinlens::kRoleOption) {
    role = arguments[2];
    twinlens::g_journal = arguments[3];
  }
  LocalFree(arguments);
  if (role) return twinlens::run_child_role(*role);

  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
