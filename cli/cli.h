// The command line: `zandor SUBCOMMAND ...`, `zandor --help`,
// `zandor --version`. Plain C++: it never touches Qt or a display.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace cli {

// Exit statuses of every sub-command.
enum Status : int {
    Done = 0,        // results on stdout
    FileFailed = 1,  // a file could not be read (or written)
    BadUsage = 2,    // an unknown sub-command, option or value
    Interrupted = 130, // stopped by Ctrl-C (SIGINT) or SIGTERM, nothing written (as shells report SIGINT)
};

// True when the arguments ask for the command line rather than the window:
// a known sub-command, `help`, `--help`/`-h`, `--version`, or a first
// argument that looks like a mistyped sub-command (a bare word that is not
// an existing file). File names and Qt's own options open the window.
bool wantsCommandLine(int argc, char *argv[]);

// Runs the command line on argv (argv[0] is the program) with std::cout and
// std::cerr.
int run(int argc, char *argv[]);

// The same on an argument list without the program name, writing to the
// given streams; what the tests call.
int run(const std::vector<std::string> &args, std::ostream &out, std::ostream &err);

} // namespace cli
