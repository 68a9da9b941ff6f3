// zandor edges: an element's absorption edges.
#include "command.h"
#include "errors.h"

namespace cli {

namespace {

int run(const std::vector<std::string> &, std::ostream &, std::ostream &)
{
    throw UsageError("not built yet");
}

} // namespace

const Command edgesCommand = {
    "edges",
    "an element's absorption edges",
    "Usage: zandor edges ELEMENT [--json]\n",
    run,
};

} // namespace cli
