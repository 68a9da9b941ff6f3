// zandor lines: an element's X-ray lines and absorption edges.
#include "answers.h"
#include "cli.h"
#include "command.h"
#include "errors.h"
#include "json.h"
#include "options.h"
#include "xrayformat.h"

#include "xray/elements.h"
#include "xray/lines.h"

#include <cctype>
#include <optional>
#include <ostream>

namespace cli {

namespace {

constexpr OptionRule Rules[] = {{"--family", true}, {"--json", false}};

constexpr xray::Family Families[] = {xray::Family::K, xray::Family::L, xray::Family::M};

std::optional<xray::Family> familyOption(const ParsedArgs &parsed)
{
    const std::optional<std::string> text = parsed.value("--family");
    if (!text)
        return std::nullopt;
    for (const xray::Family family : Families)
        if (text->size() == 1 && std::toupper(static_cast<unsigned char>((*text)[0])) == xray::familyName(family)[0])
            return family;
    throw UsageError("--family " + cli::quoted(*text) + " is not K, L or M");
}

std::string relativeText(double relative)
{
    if (relative > 0 && relative < 0.00005)
        return "<0.0001";
    return format("%.4f", relative);
}

void printLines(std::ostream &out, int Z, std::optional<xray::Family> family)
{
    for (const xray::Family f : Families) {
        if (family && f != *family)
            continue;
        bool heading = false;
        for (const xray::Line &line : xray::linesOf(Z)) {
            if (line.family != f)
                continue;
            if (!heading) {
                out << format("%s lines   IUPAC     energy eV       keV   relative\n",
                              std::string(xray::familyName(f)).c_str());
                heading = true;
            }
            out << format("  %-8s %-7s %11s %9s   %8s\n",
                          line.siegbahn().empty() ? "" : std::string(line.siegbahn()).c_str(),
                          std::string(line.iupac()).c_str(), eV(line.energy_eV).c_str(),
                          format("%.4f", line.energy_eV / 1000).c_str(), relativeText(line.relative).c_str());
        }
        if (heading)
            out << '\n';
        else if (family)
            out << "No " << xray::familyName(f) << " lines in the table for " << xray::elementSymbol(Z)
                << ".\n\n";
    }
}

int runLines(const std::vector<std::string> &args, std::ostream &out, std::ostream &)
{
    const ParsedArgs parsed = parseArgs(args, Rules);
    requirePositionals(parsed, 1, 1, "an element: a symbol such as Fe, or an atomic number");
    const int Z = elementArgument(parsed.positionals[0]);
    const std::optional<xray::Family> family = familyOption(parsed);

    if (parsed.has("--json")) {
        Json result = Json::object();
        result["element"] = xray::elementSymbol(Z);
        result["Z"] = Z;
        result["lines"] = linesJson(Z, family);
        result["edges"] = edgesJson(Z);
        printJson(out, result);
        return Done;
    }
    out << elementTitle(Z) << '\n';
    if (!xray::hasLines(Z)) {
        out << "No X-ray lines in the table: it holds the lines of B (Z = 5) to Cf (Z = 98).\n\n";
    } else {
        out << "X-ray lines by family and energy; relative intensity within the family "
               "(its strongest line = 1)\n\n";
        printLines(out, Z, family);
    }
    printEdges(out, Z);
    return Done;
}

} // namespace

Json linesJson(int Z, std::optional<xray::Family> family)
{
    Json lines = Json::array();
    for (const xray::Family f : Families) {
        if (family && f != *family)
            continue;
        for (const xray::Line &line : xray::linesOf(Z)) {
            if (line.family != f)
                continue;
            Json l = Json::object();
            l["iupac"] = line.iupac();
            l["siegbahn"] = line.siegbahn().empty() ? Json(nullptr) : Json(line.siegbahn());
            l["family"] = xray::familyName(line.family);
            l["energy_eV"] = line.energy_eV;
            l["relative_intensity"] = line.relative;
            lines.push_back(std::move(l));
        }
    }
    return lines;
}

const Command linesCommand = {
    "lines",
    "an element's X-ray lines and absorption edges",
    "Usage: zandor lines ELEMENT [--family K|L|M] [--json]\n"
    "\n"
    "The element's K, L and M lines with their IUPAC and Siegbahn names, energies and\n"
    "relative intensities within their family, then its absorption edges.\n"
    "ELEMENT is a symbol in any letter case (fe, Fe) or an atomic number (26).\n"
    "Lines are known for B (5) to Cf (98), edges for H (1) to Cf (98).\n"
    "\n"
    "  --family K|L|M   only the lines of that family\n"
    "  --json           the same as JSON (see man zandor)\n",
    runLines,
};

} // namespace cli
