// zandor edges: an element's absorption edges.
#include "cli.h"
#include "command.h"
#include "errors.h"
#include "json.h"
#include "options.h"
#include "xrayformat.h"

#include "xray/elements.h"

#include <ostream>

namespace cli {

namespace {

constexpr OptionRule Rules[] = {{"--json", false}};

int runEdges(const std::vector<std::string> &args, std::ostream &out, std::ostream &)
{
    const ParsedArgs parsed = parseArgs(args, Rules);
    requirePositionals(parsed, 1, 1, "an element: a symbol such as Fe, or an atomic number");
    const int Z = elementArgument(parsed.positionals[0]);
    if (parsed.has("--json")) {
        Json result = Json::object();
        result["element"] = xray::elementSymbol(Z);
        result["Z"] = Z;
        result["edges"] = edgesJson(Z);
        printJson(out, result);
        return Done;
    }
    out << elementTitle(Z) << "\n\n";
    printEdges(out, Z);
    return Done;
}

} // namespace

const Command edgesCommand = {
    "edges",
    "an element's absorption edges",
    "Usage: zandor edges ELEMENT [--json]\n"
    "\n"
    "The element's K, L1-L3 and M1-M5 absorption edges with their energies,\n"
    "fluorescence yields and jump ratios, for H (1) to Cf (98).\n"
    "ELEMENT is a symbol in any letter case (fe, Fe) or an atomic number (26).\n"
    "\n"
    "  --json   the same as JSON (see man zandor)\n",
    runEdges,
};

} // namespace cli
