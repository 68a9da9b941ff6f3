// zandor identify: the elements and artefacts in a spectrum.
#include "command.h"
#include "errors.h"

namespace cli {

namespace {

int run(const std::vector<std::string> &, std::ostream &, std::ostream &)
{
    throw UsageError("not built yet");
}

} // namespace

const Command identifyCommand = {
    "identify",
    "the elements and artefacts in a spectrum",
    "Usage: zandor identify FILE... [--detector si|ge|cdte] [--fwhm E] [--beam KV] [--exclude C,O] [--require Cu] [--json]\n",
    run,
};

} // namespace cli
