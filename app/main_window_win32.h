// The main window: two file rows, the tab control with the six tables, and
// the compare and about buttons.
#pragma once

#include <windows.h>

namespace twinlens {

inline constexpr wchar_t kMainWindowClass[] = L"TwinlensMainWindow";
inline constexpr wchar_t kMainWindowTitle[] = L"Twinlens";
inline constexpr int kMainWindowWidth = 697;
inline constexpr int kMainWindowHeight = 477;
inline constexpr int kPageCount = 5;

// Creates the window and its controls, centred on the screen and not yet
// shown. Creating it installs its list views as the tables and gives the
// header tables their field-name rows. Returns nullptr when it cannot.
HWND create_main_window(HINSTANCE instance);

// The main window while it exists, else nullptr.
HWND main_window();

}  // namespace twinlens
