#include "elements.h"

#include "textutil.h"
#include "generated/tables.h"

#include <charconv>

namespace xray {

static_assert(table::ElementCount == LastElementZ);
static_assert(table::FirstLineZ == FirstLineZ && table::LastLineZ == LastLineZ);

std::string_view elementSymbol(int Z)
{
    return Z >= 1 && Z <= LastElementZ ? table::elementNames[Z].symbol : "";
}

std::string_view elementName(int Z)
{
    return Z >= 1 && Z <= LastElementZ ? table::elementNames[Z].name : "";
}

std::optional<int> parseElement(std::string_view text)
{
    text = trimmed(text);
    if (text.empty())
        return std::nullopt;
    if (text.front() >= '0' && text.front() <= '9') {
        int Z = 0;
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), Z);
        if (error != std::errc() || end != text.data() + text.size() || Z < 1 || Z > LastElementZ)
            return std::nullopt;
        return Z;
    }
    for (int Z = 1; Z <= LastElementZ; ++Z)
        if (equalsIgnoringCase(text, table::elementNames[Z].symbol))
            return Z;
    return std::nullopt;
}

} // namespace xray
