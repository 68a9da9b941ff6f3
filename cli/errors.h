// The two ways a sub-command fails. Each carries one line, shown on stderr
// after the sub-command's name; the status follows from the type.
#pragma once

#include <stdexcept>
#include <string>

namespace cli {

// A bad sub-command, option or value (status 2). The message names it:
// "unknown option '--foo'", "energy 'abc' is not a number".
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A file that could not be read or written (status 1). The message names
// the file and the reason, with the line number where one applies.
class FileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace cli
