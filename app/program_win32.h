// Program start-up and shut-down, and the small run-time shell around them.
#pragma once

namespace twinlens {

// Initialises the shell, creates the program-wide state, loads the main
// window and runs the message loop until the window is gone. Returns 0.
int program_main();

// The shell's exit routines run once, in the order registered, after
// program_main has returned; a fatal error skips them.
using ExitRoutine = void (*)();
void register_exit_routine(ExitRoutine routine);

// Shows the error in a message box and ends the process with code -1,
// without running the exit routines.
[[noreturn]] void fatal_error(const wchar_t* text);

// What the process entry runs: program_main, then the exit routines.
int run_program();

}  // namespace twinlens
