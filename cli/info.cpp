// zandor info: what a spectrum file or spectrum image holds.
#include "cli.h"
#include "command.h"
#include "errors.h"
#include "interrupt.h"
#include "json.h"
#include "options.h"

#include "image/open.h"
#include "image/spectra.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <ostream>

namespace cli {

namespace {

constexpr std::array<OptionRule, 1> Options = {{{"--json", false}}};

Json toJson(const std::string &file, const spectrum::Spectrum &s)
{
    Json json = Json::object();
    json["file"] = file;
    json["kind"] = "spectrum";
    json["format"] = std::string(spectrum::formatName(s.format));
    json["channels"] = s.channels();
    json["calibrated"] = s.calibration.has_value();
    json["offset_eV"] = numberOrNull(s.calibration ? std::optional(s.calibration->offset_eV) : std::nullopt);
    json["gain_eV"] = numberOrNull(s.calibration ? std::optional(s.calibration->gain_eV) : std::nullopt);
    json["live_time_s"] = numberOrNull(s.meta.liveTime_s);
    json["real_time_s"] = numberOrNull(s.meta.realTime_s);
    json["beam_kV"] = numberOrNull(s.meta.beam_kV);
    json["title"] = s.meta.title.empty() ? Json(nullptr) : Json(s.meta.title);
    const double totalCounts = s.totalCounts(); // finite counts may still add up past a double
    json["total_counts"] = numberOrNull(std::isfinite(totalCounts) ? std::optional(totalCounts) : std::nullopt);
    json["warnings"] = Json::array();
    for (const std::string &warning : s.warnings)
        json["warnings"].push_back(warning);
    return json;
}

// A spectrum image: its size, and of its sum spectrum, the counts of the
// whole cube.
Json toJson(const std::string &file, const image::Header &h, const spectrum::Spectrum &sum)
{
    Json json = Json::object();
    json["file"] = file;
    json["kind"] = "spectrum_image";
    json["format"] = std::string(image::formatName(h.format));
    json["width"] = h.width;
    json["height"] = h.height;
    json["channels"] = h.channels;
    json["calibrated"] = h.calibration.has_value();
    json["offset_eV"] = numberOrNull(h.calibration ? std::optional(h.calibration->offset_eV) : std::nullopt);
    json["gain_eV"] = numberOrNull(h.calibration ? std::optional(h.calibration->gain_eV) : std::nullopt);
    json["live_time_s"] = numberOrNull(sum.meta.liveTime_s);
    json["real_time_s"] = numberOrNull(sum.meta.realTime_s);
    json["beam_kV"] = numberOrNull(h.meta.beam_kV);
    json["title"] = h.meta.title.empty() ? Json(nullptr) : Json(h.meta.title);
    const double totalCounts = sum.totalCounts();
    json["total_counts"] = numberOrNull(std::isfinite(totalCounts) ? std::optional(totalCounts) : std::nullopt);
    json["warnings"] = Json::array();
    for (const std::string &warning : h.warnings)
        json["warnings"].push_back(warning);
    return json;
}

// Six significant figures, no exponent for everyday sizes: 100, 5.0025,
// 1.23457e+09.
std::string figure(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.6g", value);
    return text;
}

// A count total: whole numbers in full, with thin groups of three.
std::string total(double value)
{
    if (!std::isfinite(value))
        return "too large to add up";
    if (std::fabs(value) >= 1e15 || value != std::floor(value))
        return figure(value);
    char digits[32];
    std::snprintf(digits, sizeof digits, "%.0f", std::fabs(value));
    std::string out = value < 0 ? "-" : "";
    const std::string text = digits;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (i > 0 && (text.size() - i) % 3 == 0)
            out += ' ';
        out += text[i];
    }
    return out;
}

void printRow(std::ostream &out, std::string_view name, const std::string &value)
{
    std::string label(name);
    label.resize(14, ' ');
    out << "  " << label << value << '\n';
}

std::string seconds(const std::optional<double> &value)
{
    return value ? figure(*value) + " s" : "-";
}

// The rows of a spectrum and of an image's sum spectrum: from the
// channels on.
void printSpectrumRows(std::ostream &out, const spectrum::Spectrum &s)
{
    printRow(out, "channels", std::to_string(s.channels()));
    if (s.calibration) {
        const double first = s.calibration->energy_eV(0) / 1000.0;
        const double last = s.calibration->energy_eV(double(s.channels() - 1)) / 1000.0;
        printRow(out, "calibration", "offset " + figure(s.calibration->offset_eV) + " eV, gain " +
                                         figure(s.calibration->gain_eV) + " eV per channel (" + figure(first) +
                                         " to " + figure(last) + " keV)");
    } else {
        printRow(out, "calibration", "none (channel numbers only)");
    }
    printRow(out, "live time", seconds(s.meta.liveTime_s));
    printRow(out, "real time", seconds(s.meta.realTime_s));
    printRow(out, "beam", s.meta.beam_kV ? figure(*s.meta.beam_kV) + " kV" : "-");
    printRow(out, "title", s.meta.title.empty() ? "-" : s.meta.title);
    printRow(out, "total counts", total(s.totalCounts()));
}

void printReadable(std::ostream &out, const std::string &file, const spectrum::Spectrum &s)
{
    out << file << '\n';
    printRow(out, "format", std::string(spectrum::formatTitle(s.format)));
    printSpectrumRows(out, s);
    for (const std::string &warning : s.warnings)
        printRow(out, "warning", warning);
}

void printReadable(std::ostream &out, const std::string &file, const image::Header &h, const spectrum::Spectrum &sum)
{
    out << file << '\n';
    printRow(out, "format", std::string(image::formatTitle(h.format)));
    std::string size = "spectrum image of " + std::to_string(h.width) + " × " + std::to_string(h.height) +
                       " pixels, " + std::string(image::sampleTypeName(h.type)) + " counts";
    if (h.meta.pixelWidth && h.meta.pixelHeight)
        size += ", pixels of " + figure(*h.meta.pixelWidth) + " × " + figure(*h.meta.pixelHeight) +
                (h.meta.pixelUnit.empty() ? "" : " " + h.meta.pixelUnit);
    printRow(out, "image", size);
    spectrum::Spectrum shown = sum;
    shown.meta.title = h.meta.title; // the map's, not the sum spectrum's
    printSpectrumRows(out, shown);
    for (const std::string &warning : h.warnings)
        printRow(out, "warning", warning);
}

int runInfo(const std::vector<std::string> &args, std::ostream &out, std::ostream &err)
{
    const ParsedArgs parsed = parseArgs(args, Options);
    requirePositionals(parsed, 1, std::size_t(-1), "one or more spectrum files");
    const bool json = parsed.has("--json");
    const std::vector<std::string> &files = parsed.positionals;

    // Each file that can be read is reported; each that cannot gets one line
    // on stderr, and the status is then 1.
    Json array = Json::array();
    bool failed = false;
    bool first = true;
    ProgressLine line(err, "zandor info");
    for (const std::string &file : files) {
        const auto opened = image::openFile(file, line.reporter("opening"));
        std::optional<spectrum::Spectrum> sum;
        if (opened && opened->isImage()) {
            image::ChunkOptions options;
            options.threads = 0;
            options.progress = line.reporter("summing");
            auto summed = image::sumSpectrum(*opened->image, options);
            line.clear();
            if (!summed) {
                err << "zandor info: " << cli::quotedPath(file) << ": " << summed.error().message() << '\n';
                failed = true;
                continue;
            }
            sum = std::move(summed.value());
        }
        line.clear();
        if (!opened) {
            err << "zandor info: " << cli::quotedPath(file) << ": " << opened.error().message() << '\n';
            failed = true;
            continue;
        }
        if (json) {
            array.push_back(sum ? toJson(file, opened->image->header(), *sum) : toJson(file, *opened->spectrum));
        } else {
            if (!first)
                out << '\n';
            if (sum)
                printReadable(out, file, opened->image->header(), *sum);
            else
                printReadable(out, file, *opened->spectrum);
        }
        first = false;
    }
    if (json && !(files.size() == 1 && array.empty()))
        printJson(out, files.size() == 1 ? array[0] : array);
    return failed ? FileFailed : Done;
}

} // namespace

const Command infoCommand = {
    "info",
    "what a spectrum file or spectrum image holds",
    "Usage: zandor info FILE... [--json]\n"
    "\n"
    "Reads each spectrum file (EMSA/MSA, Bruker spx, text with energy and counts,\n"
    "or counts alone) or spectrum image (Bruker bcf, or a Lispix ripple .rpl with\n"
    "its .raw; the format is told by the content) and prints its format,\n"
    "channels, calibration, live and real time, beam energy, title, total counts\n"
    "and the reader's warnings; for a spectrum image also its size in pixels,\n"
    "the counts being those of the whole cube.\n"
    "\n"
    "  --json   one JSON object per file (an array for several files) with the keys\n"
    "           file, kind (spectrum or spectrum_image), format, channels,\n"
    "           calibrated, offset_eV, gain_eV, live_time_s, real_time_s, beam_kV,\n"
    "           title, total_counts, warnings, and for a spectrum image width and\n"
    "           height after format; null where the file has no value\n"
    "\n"
    "A file that cannot be read gives one line on stderr with the reason; the\n"
    "other files are still reported, and the exit status is then 1.\n",
    runInfo,
};

} // namespace cli
