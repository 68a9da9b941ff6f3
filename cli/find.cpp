// zandor find: lines, escape and sum peaks near an energy, ranked.
#include "command.h"
#include "errors.h"

namespace cli {

namespace {

int run(const std::vector<std::string> &, std::ostream &, std::ostream &)
{
    throw UsageError("not built yet");
}

} // namespace

const Command findLinesCommand = {
    "find",
    "lines, escape and sum peaks near an energy, ranked",
    "Usage: zandor find ENERGY [--tolerance E] [--detector si|ge|cdte] [--fwhm E] [--beam KV] [--elements Fe,Cu] [--limit N] [--json]\n",
    run,
};

} // namespace cli
