// zandor info: what a spectrum file holds.
#include "command.h"
#include "errors.h"

namespace cli {

namespace {

int run(const std::vector<std::string> &, std::ostream &, std::ostream &)
{
    throw UsageError("not built yet");
}

} // namespace

const Command infoCommand = {
    "info",
    "what a spectrum file holds",
    "Usage: zandor info FILE... [--json]\n",
    run,
};

} // namespace cli
