// A sub-command: its name, a one-line summary for `zandor --help`, its full
// help text for `zandor help NAME`, and what it runs.
#pragma once

#include <iosfwd>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace cli {

struct Command {
    std::string_view name;
    std::string_view summary;  // one line, no full stop
    std::string_view help;     // usage line(s), then the options; ends with '\n'
    // Runs with the arguments after the sub-command's name. Results go to
    // out; a failure is thrown as a UsageError or FileError (errors.h).
    int (*run)(const std::vector<std::string> &args, std::ostream &out, std::ostream &err);
};

// Every sub-command, in the order `zandor --help` lists them.
std::span<const Command *const> commands();

// The sub-command of that name, or null.
const Command *findCommand(std::string_view name);

// The sub-commands, each defined in its own file.
extern const Command linesCommand;     // lines.cpp
extern const Command edgesCommand;     // edges.cpp
extern const Command findLinesCommand; // find.cpp
extern const Command infoCommand;      // info.cpp
extern const Command convertCommand;   // convert.cpp
extern const Command identifyCommand;  // identify.cpp
extern const Command mapCommand;       // map.cpp

} // namespace cli
