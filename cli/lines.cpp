// zandor lines: an element's X-ray lines and absorption edges.
#include "command.h"
#include "errors.h"

namespace cli {

namespace {

int run(const std::vector<std::string> &, std::ostream &, std::ostream &)
{
    throw UsageError("not built yet");
}

} // namespace

const Command linesCommand = {
    "lines",
    "an element's X-ray lines and absorption edges",
    "Usage: zandor lines ELEMENT [--family K|L|M] [--json]\n",
    run,
};

} // namespace cli
