// A load of a file with 32,767 sections chosen in the real open dialog, timed
// from the dialog's OK to the section table filled and painted. Then the
// parts of it: the load called directly, the table operations it makes, and
// the bare list-view fill underneath, to show where the time goes.
//
// Run under Wine on a display, from the repository's folder:
//   state="$PWD/build/win64/wine"
//   sh cmake/wine/wine-session.sh start "$state"
//   exe=build/win64/tests/wine/window_load_benchmark/window_load_benchmark.exe
//   sh cmake/wine/wine-run.sh "$state" "$exe"
//   sh cmake/wine/wine-session.sh stop "$state"
#include <windows.h>

#include <commctrl.h>

#include <atomic>
#include <cstdio>
#include <string>

#include "app/list_view_tables_win32.h"
#include "pe/load_file.h"
#include "support/dialog_driver.h"
#include "support/pe_builder.h"
#include "support/temp_dir.h"
#include "support/window_reading.h"
#include "support/window_test_support.h"
#include "tables/field_tables.h"
#include "tables/table_layout.h"

namespace {

using namespace twinlens;

constexpr int kSectionCount = 32767;

double now_ms() {
  LARGE_INTEGER frequency, counter;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&counter);
  return 1000.0 * static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

test::Bytes many_sections(std::uint32_t flags) {
  test::PeSpec spec;
  spec.sections.clear();
  for (int i = 0; i < kSectionCount; ++i) {
    const auto n = static_cast<std::uint32_t>(i);
    spec.sections.push_back(
        {"s" + std::to_string(i), 0x200, 0x1000 + n * 0x1000, 0x200, 0x400 + n * 0x200, flags});
  }
  return test::make_pe32(spec);
}

struct DialogLoad {
  double ok_to_dialog_gone = 0;  // Wine's dialog closing
  double ok_to_filled = 0;       // what the user waits for
  int rows = 0;
};

// Chooses `file` in slot 1's open dialog; the clock starts at OK.
DialogLoad load_through_dialog(const test::RunningMainWindow& ui,
                               const std::filesystem::path& file) {
  std::atomic<double> ok_at{0}, gone_at{0};
  test::drive_modal([&] { SendMessageW(ui.control(kOpenFile1), BM_CLICK, 0, 0); },
                    [&] {
                      const HWND dialog = test::wait_for_dialog(GetCurrentProcessId());
                      if (dialog == nullptr) return;
                      test::set_file_name_box_text(dialog, file.wstring());
                      ok_at = now_ms();
                      test::press_dialog_button(dialog, IDOK);
                      test::wait_until_gone(dialog);
                      gone_at = now_ms();
                    });
  const HWND table = ui.table(TableId::Sections1);
  UpdateWindow(table);
  DialogLoad result;
  result.ok_to_filled = now_ms() - ok_at;
  result.ok_to_dialog_gone = gone_at - ok_at;
  result.rows = test::list_view_row_count(table);
  return result;
}

enum class Fill { TableOperations, Bare, BarePaintingOn, LookUpEachCall };

// Fills the section table of slot 1 with 32,767 rows of six cells: through
// the table operations, as the loader does, or straight into the list view,
// with or without painting held back, with or without looking the list view
// up for each call the way the table backend does.
double fill_ms(const test::RunningMainWindow& ui, Fill fill) {
  const HWND view = ui.table(TableId::Sections1);
  const HWND parent = ui.window();
  const int id = table_control_id(TableId::Sections1);
  delete_all_rows(TableId::Sections1);
  test::pump_messages(50, 2000);
  const double start = now_ms();
  if (fill == Fill::TableOperations) {
    const RedrawSuspended suspended(TableId::Sections1);
    for (int row = 0; row < kSectionCount; ++row) {
      insert_row(TableId::Sections1, "s");
      for (int column = 1; column < 6; ++column) {
        set_cell_text(TableId::Sections1, row, column, "00001000");
      }
    }
  } else {
    const bool hold_painting = fill != Fill::BarePaintingOn;
    const bool look_up = fill == Fill::LookUpEachCall;
    if (hold_painting) SendMessageW(view, WM_SETREDRAW, FALSE, 0);
    wchar_t text[] = L"00001000";
    for (int row = 0; row < kSectionCount; ++row) {
      LVITEMW item{};
      item.mask = LVIF_TEXT;
      item.iItem = row;
      item.pszText = text;
      ListView_InsertItem(look_up ? GetDlgItem(parent, id) : view, &item);
      for (int column = 1; column < 6; ++column) {
        ListView_SetItemText(look_up ? GetDlgItem(parent, id) : view, row, column, text);
      }
    }
    if (hold_painting) {
      SendMessageW(view, WM_SETREDRAW, TRUE, 0);
      RedrawWindow(view, nullptr, nullptr, RDW_ERASE | RDW_FRAME | RDW_INVALIDATE);
    }
  }
  UpdateWindow(view);
  return now_ms() - start;
}

}  // namespace

int main() {
  test::RunningMainWindow ui;
  test::TempDir dir;
  const auto first = dir.write(L"many-1.exe", many_sections(0x60000020));
  const auto second = dir.write(L"many-2.exe", many_sections(0xC0000040));
  std::printf("%d sections, file of %llu bytes\n", kSectionCount,
              static_cast<unsigned long long>(std::filesystem::file_size(first)));

  // The sections page showing, so the table is the one painting is held back for.
  ui.select_page(4);
  for (const auto& [what, file] :
       {std::pair{"into an empty table", first}, std::pair{"replacing 32767 rows", second}}) {
    const DialogLoad load = load_through_dialog(ui, file);
    std::printf(
        "dialog OK to filled table, %s: %.0f ms (dialog closing %.0f ms, load %.0f ms), "
        "%d rows\n",
        what, load.ok_to_filled, load.ok_to_dialog_gone, load.ok_to_filled - load.ok_to_dialog_gone,
        load.rows);
  }

  for (int page : {4, 0}) {
    ui.select_page(page);
    const double start = now_ms();
    load_file_into_slot(page == 4 ? first : second, 1);
    UpdateWindow(ui.window());
    std::printf("load_file_into_slot alone, sections page %s: %.0f ms\n",
                page == 4 ? "showing" : "hidden", now_ms() - start);
    std::fflush(stdout);
    test::pump_messages(50, 2000);
  }

  std::printf("fill of 32767 rows x 6 cells (ms):\n");
  std::printf("  %-55s %9s %9s\n", "", "showing", "hidden");
  struct Variant {
    const char* what;
    Fill fill;
    bool when_shown;  // a visible table painting each row takes many minutes under Wine
  };
  const Variant variants[] = {
      {"through the table operations (painting held back)", Fill::TableOperations, true},
      {"straight into the list view, painting held back", Fill::Bare, true},
      {"same, painting on", Fill::BarePaintingOn, false},
      {"painting held back, GetDlgItem before each call", Fill::LookUpEachCall, true},
  };
  for (const Variant& variant : variants) {
    std::string shown = "-";
    if (variant.when_shown) {
      ui.select_page(4);
      shown = std::to_string(static_cast<long>(fill_ms(ui, variant.fill)));
    }
    ui.select_page(0);
    const double hidden = fill_ms(ui, variant.fill);
    std::printf("  %-55s %9s %9.0f\n", variant.what, shown.c_str(), hidden);
    std::fflush(stdout);
  }
  return 0;
}
