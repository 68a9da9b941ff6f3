// zandor convert: a spectrum to EMSA/MSA (.msa, .emsa) or CSV (.csv).
#include "command.h"
#include "errors.h"

namespace cli {

namespace {

int run(const std::vector<std::string> &, std::ostream &, std::ostream &)
{
    throw UsageError("not built yet");
}

} // namespace

const Command convertCommand = {
    "convert",
    "a spectrum to EMSA/MSA (.msa, .emsa) or CSV (.csv)",
    "Usage: zandor convert IN OUT\n",
    run,
};

} // namespace cli
