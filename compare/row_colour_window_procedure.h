// The main window's replacement procedure: it answers the tables' custom-draw
// notifications from the row colour registry and hands everything else to the
// window's own procedure.
#pragma once

#include <windows.h>

#include <functional>

#include "compare/row_colour_registry.h"

namespace twinlens {

LRESULT CALLBACK row_colour_window_procedure(HWND window, UINT message, WPARAM wparam,
                                             LPARAM lparam);

// Has set_row_colour put row_colour_window_procedure in place of the parent
// window's procedure. window_handle gives the HWND a WindowRef names; the
// program calls this once at start-up, after init_globals.
void use_row_colour_window_procedure(std::function<HWND(WindowRef)> window_handle);

}  // namespace twinlens
