#include <windows.h>

#include "app/program_win32.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  return twinlens::run_program();
}
