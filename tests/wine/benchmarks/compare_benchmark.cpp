// How long "比较" takes with its repaint, and how a repaint of the visible DOS
// header table grows with the comparisons made since start-up (every
// comparison appends to the colour texts that each row paint walks).
//
// Run under Wine on a display, e.g.:
//   sh cmake/wine/wine-session.sh start build/win64/wine
//   cmake/wine/wine-run.sh build/win64/wine build/win64/tests/wine/benchmarks/compare_benchmark.exe
//   sh cmake/wine/wine-session.sh stop build/win64/wine
#include <windows.h>

#include <cstdio>

#include "app/list_view_tables_win32.h"
#include "compare/compare_tables.h"
#include "pe/load_file.h"
#include "support/pe_builder.h"
#include "support/temp_dir.h"
#include "support/window_test_support.h"

namespace {

double now_ms() {
  LARGE_INTEGER frequency, counter;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&counter);
  return 1000.0 * static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Paints the whole visible table now and returns how long it took.
double repaint_ms(HWND table) {
  const double start = now_ms();
  RedrawWindow(table, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  return now_ms() - start;
}

}  // namespace

int main() {
  using namespace twinlens;
  test::RunningMainWindow ui;
  test::TempDir dir;
  test::PeSpec newer;
  newer.time_date_stamp = 0x12345678;
  load_file_into_slot(dir.write("one.exe", test::make_pe32()), 1);
  load_file_into_slot(dir.write("two.exe", test::make_pe32(newer)), 2);
  test::pump_messages();
  const HWND dos = ui.table(TableId::Dos);

  // One click as the user makes it: the comparison, then the repaint it asks for.
  const double click_start = now_ms();
  SendMessageW(ui.control(kCompare), BM_CLICK, 0, 0);
  UpdateWindow(dos);
  std::printf("one compare with its repaint: %.2f ms\n", now_ms() - click_start);

  int comparisons = 1;
  for (int target : {1, 100, 1000}) {
    while (comparisons < target) {
      compare_tables();
      ++comparisons;
    }
    test::pump_messages(50, 2000);
    constexpr int kRepeats = 10;
    double total = 0;
    for (int i = 0; i < kRepeats; ++i) total += repaint_ms(dos);
    std::printf("repaint of the visible DOS table after %4d comparisons: %.2f ms\n", comparisons,
                total / kRepeats);
  }
  return 0;
}
