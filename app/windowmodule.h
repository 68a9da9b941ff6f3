// Loading the window module: the Qt half of the program.
#pragma once

// The name of the module's entry point, an `int (int argc, char **argv)`
// that runs the window and returns the program's exit status.
inline constexpr const char *WindowEntryPoint = "zandor_window_main";

// Finds the module, loads it and runs its entry point. A module that cannot
// be found or loaded gives one line on stderr and status 1.
int runWindowModule(int argc, char *argv[]);
