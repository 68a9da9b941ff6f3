// zandor convert: a spectrum to EMSA/MSA (.msa, .emsa) or CSV (.csv).
#include "cli.h"
#include "command.h"
#include "errors.h"
#include "options.h"

#include "spectrum/emsa.h"
#include "spectrum/read.h"
#include "spectrum/write.h"

#include <ostream>

namespace cli {

namespace {

enum class Target { Emsa, Csv };

bool endsWithNoCase(std::string_view text, std::string_view suffix)
{
    if (text.size() < suffix.size())
        return false;
    for (std::size_t i = 0; i < suffix.size(); ++i) {
        char c = text[text.size() - suffix.size() + i];
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
        if (c != suffix[i])
            return false;
    }
    return true;
}

int runConvert(const std::vector<std::string> &args, std::ostream &out, std::ostream &err)
{
    const ParsedArgs parsed = parseArgs(args, {});
    requirePositionals(parsed, 2, 2, "an input and an output file");
    const std::string &input = parsed.positionals[0];
    const std::string &output = parsed.positionals[1];
    Target target;
    if (endsWithNoCase(output, ".msa") || endsWithNoCase(output, ".emsa"))
        target = Target::Emsa;
    else if (endsWithNoCase(output, ".csv"))
        target = Target::Csv;
    else
        throw UsageError("the output file must end in .msa or .emsa (EMSA/MSA) or .csv, not " + cli::quoted(output));

    const spectrum::Result<spectrum::Spectrum> read = spectrum::readFile(input);
    if (!read)
        throw FileError(cli::quoted(input) + ": " + read.error().message());
    for (const std::string &warning : read->warnings)
        err << "zandor convert: " << cli::quoted(input) << ": warning: " << warning << '\n';

    const auto failure = target == Target::Emsa ? spectrum::writeEmsa(read.value(), output)
                                                : spectrum::writeCsv(read.value(), output);
    if (failure)
        throw FileError("cannot write " + cli::quoted(output) + ": " + failure->message());
    out << "wrote " << output << " (" << (target == Target::Emsa ? "EMSA/MSA" : "CSV") << ", "
        << read->channels() << " channels" << (read->calibration ? "" : ", uncalibrated") << ")\n";
    return Done;
}

} // namespace

const Command convertCommand = {
    "convert",
    "a spectrum to EMSA/MSA (.msa, .emsa) or CSV (.csv)",
    "Usage: zandor convert IN OUT\n"
    "\n"
    "Reads the spectrum IN (any format zandor info reads) and writes it as OUT:\n"
    "  .msa, .emsa   EMSA/MSA 1.0: counts, calibration in eV and the keywords of\n"
    "                the file read\n"
    "  .csv          a header line, then energy in keV and counts per channel\n"
    "                (channel number and counts when IN is uncalibrated)\n"
    "\n"
    "OUT is replaced only once it is written whole. The reader's warnings go to\n"
    "stderr.\n",
    runConvert,
};

} // namespace cli
