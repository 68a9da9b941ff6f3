// zandor convert: a spectrum to EMSA/MSA (.msa, .emsa) or CSV (.csv); from a
// spectrum image, its sum spectrum, one pixel's or a rectangle's.
#include "cli.h"
#include "command.h"
#include "errors.h"
#include "interrupt.h"
#include "options.h"

#include "image/open.h"
#include "image/spectra.h"
#include "spectrum/emsa.h"
#include "spectrum/write.h"

#include <array>
#include <charconv>
#include <ostream>

namespace cli {

namespace {

enum class Target { Emsa, Csv };

constexpr std::array<OptionRule, 2> Options = {{{"--pixel", true}, {"--region", true}}};

// N whole numbers from 0 separated by commas ("3,4"), or nothing.
std::optional<std::vector<std::size_t>> wholeNumbers(std::string_view text, std::size_t n)
{
    std::vector<std::size_t> out;
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = text.find(',', start);
        std::string_view part = text.substr(start, comma == std::string_view::npos ? comma : comma - start);
        while (!part.empty() && part.front() == ' ')
            part.remove_prefix(1);
        while (!part.empty() && part.back() == ' ')
            part.remove_suffix(1);
        std::size_t value = 0;
        const auto [end, ec] = std::from_chars(part.data(), part.data() + part.size(), value);
        if (part.empty() || ec != std::errc() || end != part.data() + part.size())
            return std::nullopt;
        out.push_back(value);
        if (comma == std::string_view::npos)
            break;
        start = comma + 1;
    }
    if (out.size() != n)
        return std::nullopt;
    return out;
}

// The spectrum of the image that the options ask for, and what it is.
std::pair<spectrum::Spectrum, std::string> imageSpectrum(const image::PixelSource &source, const std::string &input,
                                                         const std::optional<std::vector<std::size_t>> &pixel,
                                                         const std::optional<std::vector<std::size_t>> &region,
                                                         const std::string &optionText, ProgressLine &line)
{
    const image::Header &h = source.header();
    const std::string size = std::to_string(h.width) + " × " + std::to_string(h.height);
    image::ChunkOptions options;
    options.threads = 0;
    options.progress = line.reporter("summing");
    spectrum::Result<spectrum::Spectrum> result = spectrum::Error{""};
    std::string what;
    if (pixel) {
        const std::size_t x = (*pixel)[0], y = (*pixel)[1];
        if (x >= h.width || y >= h.height)
            throw UsageError("--pixel " + cli::quoted(optionText) + " is outside the " + size +
                             " image (pixels 0 to " + std::to_string(h.width - 1) + ", 0 to " +
                             std::to_string(h.height - 1) + ")");
        result = image::pixelSpectrum(source, x, y);
        what = "pixel " + std::to_string(x) + ", " + std::to_string(y);
    } else if (region) {
        const image::Rect rect{(*region)[0], (*region)[1], (*region)[2], (*region)[3]};
        if (rect.x0 >= rect.x1 || rect.y0 >= rect.y1)
            throw UsageError("--region " + cli::quoted(optionText) + " holds no pixel (X0 < X1 and Y0 < Y1 are needed)");
        if (rect.x1 > h.width || rect.y1 > h.height)
            throw UsageError("--region " + cli::quoted(optionText) + " reaches outside the " + size + " image");
        result = image::regionSpectrum(source, rect, options);
        what = "sum of " + std::to_string((rect.x1 - rect.x0) * (rect.y1 - rect.y0)) + " pixels";
    } else {
        result = image::sumSpectrum(source, options);
        what = "sum of " + std::to_string(h.pixels()) + " pixels";
    }
    if (!result)
        throw FileError(cli::quotedPath(input) + ": " + result.error().message());
    return {std::move(result.value()), what};
}

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
    const ParsedArgs parsed = parseArgs(args, Options);
    requirePositionals(parsed, 2, 2, "an input and an output file");
    const std::string &input = parsed.positionals[0];
    const std::string &output = parsed.positionals[1];
    Target target;
    if (endsWithNoCase(output, ".msa") || endsWithNoCase(output, ".emsa"))
        target = Target::Emsa;
    else if (endsWithNoCase(output, ".csv"))
        target = Target::Csv;
    else
        throw UsageError("the output file must end in .msa or .emsa (EMSA/MSA) or .csv, not " + cli::quotedPath(output));

    const std::optional<std::string> pixelText = parsed.value("--pixel");
    const std::optional<std::string> regionText = parsed.value("--region");
    if (pixelText && regionText)
        throw UsageError("--pixel and --region cannot be given together");
    std::optional<std::vector<std::size_t>> pixel, region;
    if (pixelText && !(pixel = wholeNumbers(*pixelText, 2)))
        throw UsageError("--pixel " + cli::quoted(*pixelText) + " is not X,Y (two whole numbers from 0)");
    if (regionText && !(region = wholeNumbers(*regionText, 4)))
        throw UsageError("--region " + cli::quoted(*regionText) + " is not X0,Y0,X1,Y1 (four whole numbers from 0)");

    ProgressLine line(err, "zandor convert");
    const auto opened = image::openFile(input, line.reporter("opening"));
    line.clear();
    if (!opened)
        throw FileError(cli::quotedPath(input) + ": " + opened.error().message());
    spectrum::Spectrum spectrum;
    std::string what;
    std::vector<std::string> warnings;
    if (opened->isImage()) {
        warnings = opened->image->header().warnings;
        auto [s, w] = imageSpectrum(*opened->image, input, pixel, region, pixelText ? *pixelText : regionText.value_or(""), line);
        line.clear();
        spectrum = std::move(s);
        what = ", " + w;
    } else {
        if (pixel || region)
            throw UsageError(std::string(pixel ? "--pixel" : "--region") + " needs a spectrum image, and " +
                             cli::quotedPath(input) + " holds a single spectrum");
        spectrum = std::move(*opened->spectrum);
        warnings = spectrum.warnings;
    }
    for (const std::string &warning : warnings)
        err << "zandor convert: " << cli::quotedPath(input) << ": warning: " << warning << '\n';

    const auto failure = target == Target::Emsa ? spectrum::writeEmsa(spectrum, output) : spectrum::writeCsv(spectrum, output);
    if (failure)
        throw FileError("cannot write " + cli::quotedPath(output) + ": " + failure->message());
    out << "wrote " << output << " (" << (target == Target::Emsa ? "EMSA/MSA" : "CSV") << ", " << spectrum.channels()
        << " channels" << (spectrum.calibration ? "" : ", uncalibrated") << what << ")\n";
    return Done;
}

} // namespace

const Command convertCommand = {
    "convert",
    "a spectrum, or a spectrum image's sum, pixel or region, to EMSA/MSA or CSV",
    "Usage: zandor convert IN OUT [--pixel X,Y | --region X0,Y0,X1,Y1]\n"
    "\n"
    "Reads the spectrum IN (any format zandor info reads) and writes it as OUT:\n"
    "  .msa, .emsa   EMSA/MSA 1.0: counts, calibration in eV and the keywords of\n"
    "                the file read\n"
    "  .csv          a header line, then energy in keV and counts per channel\n"
    "                (channel number and counts when IN is uncalibrated)\n"
    "When IN is a spectrum image, OUT is its sum spectrum, or:\n"
    "  --pixel X,Y              the spectrum of pixel X, Y (0-based from the top\n"
    "                           left)\n"
    "  --region X0,Y0,X1,Y1     the sum over X0 <= x < X1 and Y0 <= y < Y1\n"
    "\n"
    "OUT is replaced only once it is written whole. The reader's warnings go to\n"
    "stderr.\n",
    runConvert,
};

} // namespace cli
