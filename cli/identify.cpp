// zandor identify: the elements and artefacts in a spectrum.
#include "answers.h"
#include "cli.h"
#include "command.h"
#include "detectoroptions.h"
#include "errors.h"
#include "json.h"
#include "options.h"
#include "xrayformat.h"

#include "identify/identify.h"
#include "spectrum/read.h"
#include "xray/elements.h"
#include "xray/lines.h"

#include <algorithm>
#include <cmath>
#include <ostream>

namespace cli {

namespace {

constexpr OptionRule Rules[] = {
    {"--detector", true}, {"--fwhm", true}, {"--beam", true},
    {"--exclude", true},  {"--require", true}, {"--allow", true},  {"--tube", true},
    {"--json", false},    {"--xrf", false},
};

std::optional<NamedValue> option(const ParsedArgs &parsed, const char *name)
{
    const auto text = parsed.value(name);
    return text ? std::optional(NamedValue{name, *text}) : std::nullopt;
}

IdentifyValues readValues(const ParsedArgs &parsed)
{
    IdentifyValues v;
    v.detector = option(parsed, "--detector");
    v.fwhm = option(parsed, "--fwhm");
    v.beam = option(parsed, "--beam");
    v.exclude = option(parsed, "--exclude");
    v.require = option(parsed, "--require");
    v.allow = option(parsed, "--allow");
    v.tube = option(parsed, "--tube");
    v.xrf = parsed.has("--xrf");
    return v;
}

// A line's name for the JSON and the text: its Siegbahn name, or its IUPAC
// name where it has none ("Ka1", "M2N4").
std::string lineName(const xray::Line &line) { return std::string(xray::displayName(line)); }

// "Fe Ka1"
std::string lineText(const xray::Line &line)
{
    return std::string(xray::elementSymbol(line.Z)) + " " + lineName(line);
}

Json lineJson(const xray::Line &line)
{
    Json j = Json::object();
    j["element"] = xray::elementSymbol(line.Z);
    j["siegbahn"] = lineName(line);
    return j;
}

Json assignmentJson(const identify::Assignment &a)
{
    Json j = Json::object();
    j["kind"] = identify::assignmentKindName(a.kind);
    switch (a.kind) {
    case identify::AssignmentKind::Line:
        j["element"] = xray::elementSymbol(a.line->Z);
        j["siegbahn"] = lineName(*a.line);
        break;
    case identify::AssignmentKind::Escape:
        j["element"] = xray::elementSymbol(a.line->Z);
        j["siegbahn"] = lineName(*a.line);
        j["escape_line"] = xray::escapeLineLabel(*a.escape);
        break;
    case identify::AssignmentKind::Sum:
        j["lines"] = Json::array({lineJson(*a.line), lineJson(*a.second)});
        break;
    case identify::AssignmentKind::Zero:
    case identify::AssignmentKind::Unexplained:
        break;
    }
    return j;
}

// Counts: whole numbers in everyday sizes, six significant digits beyond.
Json countsJson(double counts)
{
    return std::fabs(counts) < 1e15 ? Json(std::int64_t(std::llround(counts))) : Json(significant(counts, 6));
}

std::string assignmentText(const identify::IdentifiedPeak &p)
{
    const identify::Assignment &a = p.assignment;
    switch (a.kind) {
    case identify::AssignmentKind::Line:
        return lineText(*a.line);
    case identify::AssignmentKind::Escape:
        return "escape peak of " + lineText(*a.line) + " (" + xray::escapeLineLabel(*a.escape) + " left the detector)";
    case identify::AssignmentKind::Sum:
        return a.line == a.second ? "sum peak 2 x " + lineText(*a.line)
                                  : "sum peak " + lineText(*a.line) + " + " + lineText(*a.second);
    case identify::AssignmentKind::Zero:
        return "the detector's noise peak at zero energy";
    case identify::AssignmentKind::Unexplained:
        return "unexplained: " + identify::reasonText(p.reason);
    }
    return {};
}

std::string fwhmSourceText(identify::Identification::FwhmSource source)
{
    switch (source) {
    case identify::Identification::FwhmSource::Given:
        return "given";
    case identify::Identification::FwhmSource::File:
        return "from the file";
    case identify::Identification::FwhmSource::Estimated:
        return "estimated from the spectrum";
    case identify::Identification::FwhmSource::Usual:
        return "the detector's usual; the spectrum did not show it";
    }
    return {};
}

void printReadable(std::ostream &out, const std::string &file, const identify::Identification &id)
{
    out << file << '\n';
    out << "  detector   " << xray::materialLabel(id.material)
        << format(", FWHM %.1f eV at Mn Ka (%s)\n", id.fwhmMnKa_eV, fwhmSourceText(id.fwhmSource).c_str());
    if (id.beam_kV)
        out << "  beam       " << format("%g kV", *id.beam_kV) << (id.beamFromFile ? " (from the file)\n" : "\n");
    else
        out << "  beam       not known (--beam KV)\n";
    if (id.responsePeaks > 0 && (id.response.shiftOffset_eV != 0 || id.response.shiftGain != 0)) {
        // The file's energies are off by this much: a line at E shows at E + shift.
        const identify::Response &r = id.response;
        out << "  energies   " << format("a line at E shows %+.1f eV %+.3f%% E", r.shiftOffset_eV, 100 * r.shiftGain);
        if (r.shiftQuadratic_eV != 0)
            out << format(" %+.2f eV (E/keV)^2", r.shiftQuadratic_eV);
        out << format(" off its energy; measured on %d peaks\n", id.responsePeaks);
    }
    if (id.elements.empty()) {
        out << "  elements   none found\n";
    } else {
        std::string list;
        for (const identify::IdentifiedElement &e : id.elements) {
            if (!list.empty())
                list += ", ";
            list += std::string(xray::elementSymbol(e.Z)) + " (" + std::string(identify::confidenceName(e.confidence))
                    + ")";
        }
        out << "  elements   " << list << '\n';
        out << "\n  element  confidence  sigma  lines\n";
        for (const identify::IdentifiedElement &e : id.elements) {
            std::string lines;
            for (const xray::Line *line : e.lines) {
                if (!lines.empty())
                    lines += ' ';
                lines += lineName(*line);
            }
            out << format("  %-7s  %-10s %6.1f  %s\n", std::string(xray::elementSymbol(e.Z)).c_str(),
                          std::string(identify::confidenceName(e.confidence)).c_str(), e.significance,
                          lines.empty() ? "none of its own: under other elements' peaks" : lines.c_str());
            if (const std::string reason = identify::reasonText(e.reason); !reason.empty())
                out << "           " << reason << '\n';
        }
    }
    if (!id.peaks.empty()) {
        out << "\n  energy keV   net counts  signif.  peak\n";
        for (const identify::IdentifiedPeak &p : id.peaks)
            // + 0.0: no "-0.000" for a centroid a hair below zero.
            out << format("  %10.3f %12.0f %8.1f  ", std::round(p.peak.energy_eV) / 1000 + 0.0, p.peak.netCounts,
                          p.peak.significance)
                << assignmentText(p) << '\n';
    }
    if (!id.notes.empty()) {
        out << '\n';
        for (const identify::Note &note : id.notes)
            out << "  note: " << note.text << '\n';
    }
}

int runIdentify(const std::vector<std::string> &args, std::ostream &out, std::ostream &err)
{
    const ParsedArgs parsed = parseArgs(joinUnits(args), Rules);
    requirePositionals(parsed, 1, std::size_t(-1), "one or more spectrum files");
    const identify::IdentifyOptions options = identifyOptions(readValues(parsed));
    const bool json = parsed.has("--json");
    const std::vector<std::string> &files = parsed.positionals;

    // Each file that can be read and identified is reported; each that
    // cannot gets one line on stderr, and the status is then 1.
    Json array = Json::array();
    bool failed = false, first = true;
    for (const std::string &file : files) {
        const spectrum::Result<spectrum::Spectrum> read = spectrum::readFile(file);
        if (!read) {
            err << "zandor identify: " << cli::quotedPath(file) << ": " << read.error().message() << '\n';
            failed = true;
            continue;
        }
        const spectrum::Result<identify::Identification> id = identify::identify(read.value(), options);
        if (!id) {
            err << "zandor identify: " << cli::quotedPath(file) << ": " << id.error().message() << '\n';
            failed = true;
            continue;
        }
        if (json) {
            array.push_back(identificationJson(file, id.value()));
            // The JSON's keys are fixed: its notes go to stderr.
            for (const identify::Note &note : id.value().notes)
                err << "zandor identify: " << cli::quotedPath(file) << ": note: " << note.text << '\n';
        } else {
            if (!first)
                out << '\n';
            printReadable(out, file, id.value());
        }
        first = false;
    }
    if (json && !(files.size() == 1 && array.empty()))
        printJson(out, files.size() == 1 ? array[0] : array);
    return failed ? FileFailed : Done;
}

} // namespace

identify::IdentifyOptions identifyOptions(const IdentifyValues &v)
{
    identify::IdentifyOptions o;
    o.material = v.detector ? materialValue(v.detector->text) : xray::Material::Si;
    if (v.fwhm)
        o.fwhmMnKa_eV = fwhmValue(v.fwhm->name, v.fwhm->text);
    if (v.beam)
        o.beam_kV = beamValue(v.beam->name, v.beam->text) / 1000;
    o.xrf = v.xrf;
    std::vector<std::string> symbols;
    if (v.exclude)
        o.exclude = elementList(v.exclude->name, v.exclude->text, symbols);
    if (v.allow)
        o.allow = elementList(v.allow->name, v.allow->text, symbols);
    if (v.tube) {
        const std::vector<int> tube = elementList(v.tube->name, v.tube->text, symbols);
        if (tube.size() != 1 || !xray::hasLines(tube.front()))
            throw UsageError(v.tube->name + " " + cli::quoted(v.tube->text) +
                             ": one element with X-ray lines, the tube's anode (Rh)");
        o.tube = tube.front();
    }
    if (v.require) {
        o.require = elementList(v.require->name, v.require->text, symbols);
        for (const int Z : o.require) {
            if (!xray::hasLines(Z))
                throw UsageError(v.require->name + " " + cli::quoted(v.require->text) + ": " +
                                 std::string(xray::elementSymbol(Z)) + " has no X-ray lines in the table (B to Cf have)");
            if (std::find(o.exclude.begin(), o.exclude.end(), Z) != o.exclude.end())
                throw UsageError(std::string(xray::elementSymbol(Z)) + " is both required and excluded");
        }
    }
    return o;
}

Json identificationJson(const std::optional<std::string> &file, const identify::Identification &id)
{
    Json j = Json::object();
    j["file"] = file ? Json(*file) : Json(nullptr);
    j["detector"] = xray::materialKey(id.material);
    j["fwhm_eV"] = rounded(id.fwhmMnKa_eV, 1);
    j["beam_kV"] = numberOrNull(id.beam_kV);
    Json elements = Json::array();
    for (const identify::IdentifiedElement &e : id.elements) {
        Json element = Json::object();
        element["element"] = xray::elementSymbol(e.Z);
        element["Z"] = e.Z;
        element["confidence"] = identify::confidenceName(e.confidence);
        Json lines = Json::array();
        for (const xray::Line *line : e.lines)
            lines.push_back(lineName(*line));
        element["lines"] = std::move(lines);
        elements.push_back(std::move(element));
    }
    j["elements"] = std::move(elements);
    Json peaks = Json::array();
    for (const identify::IdentifiedPeak &p : id.peaks) {
        Json peak = Json::object();
        peak["energy_eV"] = rounded(p.peak.energy_eV, 1);
        peak["net_counts"] = countsJson(p.peak.netCounts);
        peak["significance"] = rounded(p.peak.significance, 1);
        peak["assignment"] = assignmentJson(p.assignment);
        peaks.push_back(std::move(peak));
    }
    j["peaks"] = std::move(peaks);
    return j;
}

const Command identifyCommand = {
    "identify",
    "the elements and artefacts in a spectrum",
    "Usage: zandor identify FILE... [--detector si|ge|cdte] [--fwhm E] [--beam KV] [--xrf] [--tube EL]\n"
    "                       [--exclude C,O] [--require Cu] [--allow Tc,Xe] [--json]\n"
    "\n"
    "Finds the peaks of each spectrum file and names the fewest elements that explain\n"
    "them, each with its whole family of lines; labels the escape and sum peaks of the\n"
    "elements found, the noise peak at zero energy, and the peaks left unexplained;\n"
    "and says briefly why. The spectrum must be calibrated (energies, not channels).\n"
    "\n"
    "  --detector D       si (default), ge or cdte: its escape peaks and usual resolution\n"
    "  --fwhm E           the detector's FWHM at Mn Ka (129eV); default: the file's, else\n"
    "                     estimated from the spectrum\n"
    "  --beam KV          the beam or tube energy (20, 20kV); default: the file's; without\n"
    "                     one, every line counts as excited\n"
    "  --xrf              excited by X-rays (fluorescence), as a file's XRF signal type\n"
    "                     says; a peak at a monochromatic beam's energy or just below\n"
    "                     it is the scattered beam\n"
    "  --exclude LIST     elements never to propose (C,O)\n"
    "  --require LIST     elements known to be there, a coating or a grid (Cu)\n"
    "  --allow LIST       elements rare in ordinary samples, proposed only when allowed\n"
    "                     (Tc, Pm, Po to Ac, Pa, Np to Cf, noble gases but Ar)\n"
    "  --tube EL          under X-rays, the tube's anode, whose lines the sample\n"
    "                     scatters (default Rh)\n"
    "  --json             one JSON object per file (an array for several files) with the\n"
    "                     keys file, detector, fwhm_eV, beam_kV, elements, peaks (see\n"
    "                     man zandor); notes go to stderr\n"
    "\n"
    "A file that cannot be read, or is not calibrated, gives one line on stderr; the\n"
    "other files are still identified, and the exit status is then 1.\n",
    runIdentify,
};

} // namespace cli
