#include "app/main_window_win32.h"

#include <commctrl.h>
#include <commdlg.h>
#include <windowsx.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/list_view_tables_win32.h"
#include "app/wide_text.h"
#include "compare/compare_tables.h"
#include "compare/row_colour_window_procedure.h"
#include "pe/load_file.h"
#include "pe/user_message.h"
#include "tables/field_tables.h"

namespace twinlens {
namespace {

HWND g_main_window = nullptr;

// Long paths and \\?\ paths fit: the dialog can hand back up to 32767 characters.
constexpr DWORD kPathBufferLength = 32768;

struct ControlLayout {
  int id;
  const wchar_t* window_class;
  const wchar_t* text;
  DWORD style;
  DWORD ex_style;
  RECT bounds;  // client coordinates: left, top, right, bottom
};

constexpr DWORD kEditStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL;
constexpr DWORD kButtonStyle =
    WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON | BS_CENTER | BS_VCENTER;

RECT rect_at(int left, int top, int width, int height) {
  return {left, top, left + width, top + height};
}

// The tab control sits at (14, 73); the tables are placed from its corner.
constexpr POINT kTabOrigin = {14, 73};

struct TablePlacement {
  TableId table;
  int page;
  RECT bounds;  // relative to the tab control's top-left corner
};

const std::array<TablePlacement, kTableCount>& table_placements() {
  static const std::array<TablePlacement, kTableCount> placements = {{
      {TableId::Dos, 0, rect_at(15, 33, 632, 264)},
      {TableId::FileHeader, 1, rect_at(15, 33, 632, 272)},
      {TableId::OptionalHeader, 2, rect_at(15, 33, 632, 272)},
      {TableId::Directory, 3, rect_at(16, 27, 632, 272)},
      {TableId::Sections1, 4, rect_at(24, 32, 487, 127)},
      {TableId::Sections2, 4, rect_at(24, 175, 487, 129)},
  }};
  return placements;
}

const wchar_t* const kPageTitles[kPageCount] = {L"DOS头", L"文件头", L"可选头", L"目录",
                                                L"节表信息"};

constexpr wchar_t kAboutCaption[] = L"信息：";
constexpr wchar_t kAboutNote[] = L"Twinlens：并排查看并比较两个32位PE文件的文件头。";

// What the window keeps for itself: its tables and each open dialog's last path.
struct MainWindowState {
  explicit MainWindowState(HWND window) : tables(window) {}
  ListViewTables tables;
  std::array<std::wstring, 2> last_paths;
};

MainWindowState* state_of(HWND window) {
  return reinterpret_cast<MainWindowState*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

HWND create_control(HWND parent, const ControlLayout& layout, HFONT font) {
  const HWND control = CreateWindowExW(
      layout.ex_style, layout.window_class, layout.text, layout.style, layout.bounds.left,
      layout.bounds.top, layout.bounds.right - layout.bounds.left,
      layout.bounds.bottom - layout.bounds.top, parent,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(layout.id)),
      reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE)), nullptr);
  if (control != nullptr) SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return control;
}

// Shows the tables of one page and hides the others.
void show_page(HWND window, int page) {
  for (const TablePlacement& placement : table_placements()) {
    ShowWindow(GetDlgItem(window, table_control_id(placement.table)),
               placement.page == page ? SW_SHOW : SW_HIDE);
  }
}

void show_message_box_win32(const std::string& text, const std::string& title) {
  MessageBoxW(nullptr, utf8_to_wide(text).c_str(), utf8_to_wide(title).c_str(),
              MB_OK | MB_TASKMODAL);
}

// Creates the children in tab order. The tables come before the tab control,
// so they lie above it and its painting never covers them.
bool on_create(HWND window) {
  const auto font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  const ControlLayout top_row[] = {
      {kEditFile1, WC_EDITW, L"", kEditStyle, WS_EX_CLIENTEDGE, rect_at(8, 16, 576, 20)},
      {kOpenFile1, WC_BUTTONW, L"打开", kButtonStyle, 0, rect_at(592, 14, 88, 24)},
      {kEditFile2, WC_EDITW, L"", kEditStyle, WS_EX_CLIENTEDGE, rect_at(8, 46, 576, 20)},
      {kOpenFile2, WC_BUTTONW, L"打开", kButtonStyle, 0, rect_at(592, 44, 88, 24)},
  };
  for (const ControlLayout& layout : top_row) {
    if (create_control(window, layout, font) == nullptr) return false;
  }

  for (const TablePlacement& placement : table_placements()) {
    RECT bounds = placement.bounds;
    OffsetRect(&bounds, kTabOrigin.x, kTabOrigin.y);
    if (create_table_list_view(window, placement.table, bounds, font) == nullptr) return false;
  }

  const ControlLayout bottom_row[] = {
      {kTabControl, WC_TABCONTROLW, L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_CLIPSIBLINGS, 0,
       rect_at(kTabOrigin.x, kTabOrigin.y, 664, 327)},
      {kCompare, WC_BUTTONW, L"比较", kButtonStyle, 0, rect_at(408, 409, 112, 32)},
      {kAbout, WC_BUTTONW, L"说明", kButtonStyle, 0, rect_at(568, 408, 96, 32)},
  };
  for (const ControlLayout& layout : bottom_row) {
    if (create_control(window, layout, font) == nullptr) return false;
  }

  const HWND tab = GetDlgItem(window, kTabControl);
  for (int page = 0; page < kPageCount; ++page) {
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<wchar_t*>(kPageTitles[page]);
    if (TabCtrl_InsertItem(tab, page, &item) != page) return false;
  }
  // Creation order is not z-order on every platform: put the tab control
  // right behind the last table explicitly.
  SetWindowPos(tab, GetDlgItem(window, table_control_id(TableId::Sections2)), 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  show_page(window, 0);

  install_table_backend(&state_of(window)->tables);
  insert_field_name_rows();
  return true;
}

// Runs slot n's open dialog and, if a file was chosen, shows its path and loads it.
void open_file_for_slot(HWND window, int slot) {
  MainWindowState& state = *state_of(window);
  std::wstring& last_path = state.last_paths[static_cast<std::size_t>(slot - 1)];

  std::vector<wchar_t> path(kPathBufferLength, L'\0');
  last_path.copy(path.data(), std::min<std::size_t>(last_path.size(), path.size() - 1));

  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = window;
  dialog.lpstrFile = path.data();
  dialog.nMaxFile = kPathBufferLength;
  dialog.Flags = OFN_HIDEREADONLY | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST;
  if (!GetOpenFileNameW(&dialog)) return;  // cancelled or failed: nothing changes

  last_path = path.data();
  SetDlgItemTextW(window, slot == 1 ? kEditFile1 : kEditFile2, last_path.c_str());
  load_file_into_slot(std::filesystem::path(last_path), slot);
}

void show_about_box() {
  MessageBoxW(nullptr, kAboutNote, kAboutCaption, MB_OK | MB_TASKMODAL);
}

bool modifier_held() {
  return GetKeyState(VK_CONTROL) < 0 || GetKeyState(VK_SHIFT) < 0 || GetKeyState(VK_MENU) < 0;
}

void on_command(HWND window, int id, HWND control, UINT code) {
  if (id == IDCANCEL && control == nullptr) {
    // Escape, as the dialog manager reports it; closes like the close button.
    if (!modifier_held()) PostMessageW(window, WM_CLOSE, 0, 0);
    return;
  }
  if (code != BN_CLICKED) return;
  switch (id) {
    case kOpenFile1:
      open_file_for_slot(window, 1);
      break;
    case kOpenFile2:
      open_file_for_slot(window, 2);
      break;
    case kCompare:
      compare_tables();
      break;
    case kAbout:
      show_about_box();
      break;
    default:
      break;
  }
}

LRESULT on_notify(HWND window, const NMHDR& header) {
  if (header.idFrom == kTabControl && header.code == TCN_SELCHANGE) {
    show_page(window, TabCtrl_GetCurSel(header.hwndFrom));
  }
  return 0;
}

LRESULT CALLBACK main_window_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_NCCREATE: {
      SetWindowLongPtrW(window, GWLP_USERDATA,
                        reinterpret_cast<LONG_PTR>(new MainWindowState(window)));
      g_main_window = window;
      break;
    }
    case WM_CREATE:
      return on_create(window) ? 0 : -1;
    case WM_COMMAND:
      on_command(window, LOWORD(wparam), reinterpret_cast<HWND>(lparam), HIWORD(wparam));
      return 0;
    case WM_NOTIFY:
      return on_notify(window, *reinterpret_cast<const NMHDR*>(lparam));
    case WM_DESTROY:
      // Nothing may reach the list views once they are gone.
      if (installed_table_backend() == &state_of(window)->tables) install_table_backend(nullptr);
      PostQuitMessage(0);
      return 0;
    case WM_NCDESTROY:
      delete state_of(window);
      SetWindowLongPtrW(window, GWLP_USERDATA, 0);
      g_main_window = nullptr;
      break;
    default:
      break;
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

}  // namespace

HWND create_main_window(HINSTANCE instance) {
  WNDCLASSEXW window_class{};
  window_class.cbSize = sizeof window_class;
  window_class.lpfnWndProc = main_window_procedure;
  window_class.hInstance = instance;
  window_class.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
  window_class.hIconSm = window_class.hIcon;
  window_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  window_class.lpszClassName = kMainWindowClass;
  RegisterClassExW(&window_class);  // already registered on a second window: fine

  set_message_box_service(show_message_box_win32);
  use_row_colour_window_procedure([](WindowRef window) -> HWND {
    if (window.is_main_window()) return main_window();
    return static_cast<HWND>(table_window_handle(window.table_id()));
  });

  const int left = (GetSystemMetrics(SM_CXSCREEN) - kMainWindowWidth) / 2;
  const int top = (GetSystemMetrics(SM_CYSCREEN) - kMainWindowHeight) / 2;
  return CreateWindowExW(0, kMainWindowClass, kMainWindowTitle,
                         WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, left, top,
                         kMainWindowWidth, kMainWindowHeight, nullptr, nullptr, instance, nullptr);
}

HWND main_window() {
  return g_main_window;
}

}  // namespace twinlens
