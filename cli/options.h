// Parsing a sub-command's arguments: positional values and `--name VALUE`,
// `--name=VALUE` or `--flag` options.
#pragma once

#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace cli {

struct OptionRule {
    std::string_view name; // with its dashes: "--tolerance"
    bool takesValue;
};

struct ParsedArgs {
    std::vector<std::string> positionals;
    std::map<std::string, std::string, std::less<>> options; // flags map to ""

    bool has(std::string_view name) const { return options.find(name) != options.end(); }
    std::optional<std::string> value(std::string_view name) const;
};

// Splits args by rules. Throws UsageError for an unknown option, an option
// given twice, a missing value or a value given to a flag. An argument that
// starts with '-' and then a digit or '.' is a value, not an option (a
// negative number); "--" makes every later argument positional.
ParsedArgs parseArgs(const std::vector<std::string> &args, std::span<const OptionRule> rules);

// Throws UsageError unless the number of positionals is within [least, most].
// `what` names them in the message: "an energy", "one or more files".
void requirePositionals(const ParsedArgs &parsed, std::size_t least, std::size_t most,
                        std::string_view what);

// Quotes a user's text for an error message, cut to a readable length and
// with control characters shown as '?', so that one line stays one line.
std::string quoted(std::string_view text);

// The same for a file's path: a long one keeps its end, where the file's
// name is, and loses its beginning.
std::string quotedPath(std::string_view path);

} // namespace cli
