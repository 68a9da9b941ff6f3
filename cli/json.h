// JSON output of the sub-commands' --json option. Objects keep their keys in
// the order they are set, which is the documented order.
#pragma once

#include <nlohmann/json.hpp>

#include <iosfwd>
#include <optional>

namespace cli {

using Json = nlohmann::ordered_json;

// A number, or null where the value is absent.
inline Json numberOrNull(const std::optional<double> &value)
{
    return value ? Json(*value) : Json(nullptr);
}

// Writes value with two-space indents and a final line end. Text that is not
// valid UTF-8 (a Windows-1252 title in a spectrum file) has its bad bytes
// replaced by U+FFFD instead of failing the whole output.
void printJson(std::ostream &out, const Json &value);

} // namespace cli
