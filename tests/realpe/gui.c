/* A GUI program, stripped: no symbol table, and section names cut to 8 bytes
   with no terminating zero. */
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR command_line, int show) {
  (void)instance;
  (void)previous;
  (void)command_line;
  (void)show;
  return GetSystemMetrics(SM_CXSCREEN) > 0 ? 0 : 1;
}
