#include "options.h"

#include "errors.h"

#include <algorithm>

namespace cli {

std::optional<std::string> ParsedArgs::value(std::string_view name) const
{
    const auto it = options.find(name);
    if (it == options.end())
        return std::nullopt;
    return it->second;
}

namespace {

bool looksLikeNumber(std::string_view arg)
{
    return arg.size() >= 2 && arg[0] == '-' && ((arg[1] >= '0' && arg[1] <= '9') || arg[1] == '.');
}

const OptionRule *findRule(std::span<const OptionRule> rules, std::string_view name)
{
    const auto it = std::find_if(rules.begin(), rules.end(),
                                 [&](const OptionRule &s) { return s.name == name; });
    return it == rules.end() ? nullptr : &*it;
}

} // namespace

ParsedArgs parseArgs(const std::vector<std::string> &args, std::span<const OptionRule> rules)
{
    ParsedArgs parsed;
    bool onlyPositionals = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string &arg = args[i];
        if (onlyPositionals || arg.size() < 2 || arg[0] != '-' || looksLikeNumber(arg)) {
            parsed.positionals.push_back(arg);
            continue;
        }
        if (arg == "--") {
            onlyPositionals = true;
            continue;
        }
        const std::size_t eq = arg.find('=');
        const std::string name = arg.substr(0, eq);
        const OptionRule *rule = findRule(rules, name);
        if (!rule)
            throw UsageError("unknown option " + quoted(name));
        if (parsed.has(name))
            throw UsageError("option " + quoted(name) + " given more than once");
        std::string value;
        if (eq != std::string::npos) {
            if (!rule->takesValue)
                throw UsageError("option " + quoted(name) + " takes no value");
            value = arg.substr(eq + 1);
        } else if (rule->takesValue) {
            if (i + 1 >= args.size())
                throw UsageError("option " + quoted(name) + " needs a value");
            value = args[++i];
        }
        parsed.options.emplace(name, std::move(value));
    }
    return parsed;
}

void requirePositionals(const ParsedArgs &parsed, std::size_t least, std::size_t most,
                        std::string_view what)
{
    const std::size_t n = parsed.positionals.size();
    if (n < least)
        throw UsageError("needs " + std::string(what));
    if (n > most)
        throw UsageError("unexpected argument " + quoted(parsed.positionals[most]));
}

namespace {

constexpr std::size_t MaxShown = 60;

// Quotes text, its control characters shown as '?'.
std::string quote(std::string_view text, std::string_view before, std::string_view after)
{
    std::string out = "'";
    out += before;
    for (const char ch : text) {
        const unsigned char c = static_cast<unsigned char>(ch);
        out += (c < 0x20 || c == 0x7f) ? '?' : ch;
    }
    out += after;
    out += '\'';
    return out;
}

bool continuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

} // namespace

std::string quoted(std::string_view text)
{
    std::size_t shown = std::min(text.size(), MaxShown);
    // Never cut a UTF-8 character in two.
    while (shown < text.size() && shown > 0 && continuationByte(text[shown]))
        --shown;
    return quote(text.substr(0, shown), "", shown < text.size() ? "..." : "");
}

std::string quotedPath(std::string_view path)
{
    if (path.size() <= MaxShown)
        return quote(path, "", "");
    std::size_t from = path.size() - MaxShown;
    while (from < path.size() && continuationByte(path[from]))
        ++from;
    return quote(path.substr(from), "...", "");
}

} // namespace cli
