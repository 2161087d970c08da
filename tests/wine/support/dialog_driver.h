// Finds and drives the modal dialogs a process shows (open-file dialogs and
// message boxes, window class #32770) from a thread other than the one whose
// modal loop they block.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace twinlens::test {

using namespace std::chrono_literals;

// Long enough for Wine's first open dialog on a cold prefix; a hang still fails.
inline constexpr std::chrono::milliseconds kDialogTimeout = 30s;

// The first visible top-level #32770 window of the process other than
// `other_than`, waited for up to `timeout`; nullptr if none came.
HWND wait_for_dialog(DWORD process_id, std::chrono::milliseconds timeout = kDialogTimeout,
                     HWND other_than = nullptr);

// True once `window` is destroyed, false if it still exists after `timeout`.
bool wait_until_gone(HWND window, std::chrono::milliseconds timeout = kDialogTimeout);

std::string window_text_utf8(HWND window);

// A message box's text: its static control 0xFFFF, the same on Windows and Wine.
std::string message_box_text(HWND box);

// The identifiers of a dialog's visible push buttons, in z-order.
std::vector<int> visible_button_ids(HWND dialog);

// The open dialog's file-name box (control 0x47C: an edit inside a combo box).
HWND file_name_edit(HWND open_dialog);
std::string file_name_box_text(HWND open_dialog);
void set_file_name_box_text(HWND open_dialog, const std::wstring& text);

// Presses a dialog button as a click does, without waiting for what the
// press leads to (that may be another modal window on the dialog's thread).
void press_dialog_button(HWND dialog, int id);

// Runs `ui_action` on the calling thread (the one that owns the windows and
// runs their modal loops) while `driver` runs on a second thread. Once the
// driver is done, any dialog it left open is cancelled so that the UI thread
// cannot hang, and that counts as a test failure. Returns when both are done.
void drive_modal(const std::function<void()>& ui_action, const std::function<void()>& driver);

}  // namespace twinlens::test
