// zandor find: lines, escape and sum peaks near an energy, ranked.
#include "answers.h"
#include "cli.h"
#include "command.h"
#include "detectoroptions.h"
#include "errors.h"
#include "json.h"
#include "options.h"
#include "xrayformat.h"

#include "xray/detector.h"
#include "xray/elements.h"
#include "xray/energy.h"
#include "xray/finder.h"
#include "xray/lines.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <ostream>

namespace cli {

namespace {

constexpr OptionRule Rules[] = {
    {"--tolerance", true}, {"--detector", true}, {"--fwhm", true}, {"--beam", true},
    {"--elements", true},  {"--limit", true},    {"--json", false},
};

// Bounds that catch a bare number meant as eV but read as keV.
constexpr double MaxTolerance_eV = 10000;

std::size_t limitValue(const NamedValue &value)
{
    const std::string &text = value.text;
    std::size_t limit = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), limit);
    if (error != std::errc() || end != text.data() + text.size() || text.empty())
        throw UsageError(value.name + " " + cli::quoted(text) + " is not a whole number (0 for all)");
    return limit;
}

std::optional<NamedValue> option(const ParsedArgs &parsed, const char *name)
{
    const auto text = parsed.value(name);
    return text ? std::optional(NamedValue{name, *text}) : std::nullopt;
}

FindValues readValues(const ParsedArgs &parsed)
{
    requirePositionals(parsed, 1, 2, "an energy, such as 6.4keV or 6400eV");
    // A second word after the energy is taken as its unit, so that an
    // unknown one ("6.4 keu") is named as such.
    std::string energy = parsed.positionals[0];
    if (parsed.positionals.size() == 2) {
        const std::string &word = parsed.positionals[1];
        if (word.empty() || !std::isalpha(static_cast<unsigned char>(word[0])))
            throw UsageError("unexpected argument " + cli::quoted(word));
        energy += " " + word;
    }
    FindValues v;
    v.energy = {"energy", energy};
    v.detector = option(parsed, "--detector");
    v.fwhm = option(parsed, "--fwhm");
    v.tolerance = option(parsed, "--tolerance");
    v.beam = option(parsed, "--beam");
    v.elements = option(parsed, "--elements");
    v.limit = option(parsed, "--limit");
    return v;
}

Json lineRef(const xray::Line &line)
{
    Json j = Json::object();
    j["element"] = xray::elementSymbol(line.Z);
    j["iupac"] = line.iupac();
    j["siegbahn"] = line.siegbahn().empty() ? Json(nullptr) : Json(line.siegbahn());
    return j;
}

Json candidateJson(const xray::Candidate &c)
{
    Json j = Json::object();
    j["kind"] = c.kind == xray::CandidateKind::Line ? "line" : c.kind == xray::CandidateKind::Escape ? "escape" : "sum";
    j["energy_eV"] = rounded(c.energy_eV, 2);
    j["delta_eV"] = rounded(c.delta_eV, 2);
    j["score"] = significant(c.score, 4);
    switch (c.kind) {
    case xray::CandidateKind::Line:
        j["element"] = xray::elementSymbol(c.line->Z);
        j["Z"] = c.line->Z;
        j["iupac"] = c.line->iupac();
        j["siegbahn"] = lineRef(*c.line)["siegbahn"];
        j["family"] = xray::familyName(c.line->family);
        j["relative_intensity"] = c.line->relative;
        break;
    case xray::CandidateKind::Escape:
        j["element"] = xray::elementSymbol(c.line->Z);
        j["Z"] = c.line->Z;
        j["iupac"] = c.line->iupac();
        j["siegbahn"] = lineRef(*c.line)["siegbahn"];
        j["parent_energy_eV"] = c.line->energy_eV;
        j["escape_line"] = xray::escapeLineLabel(*c.escape);
        j["fraction"] = significant(c.fraction, 4);
        break;
    case xray::CandidateKind::Sum: {
        Json lines = Json::array();
        for (const xray::Line *line : {c.line, c.second}) {
            Json l = lineRef(*line);
            l["energy_eV"] = line->energy_eV;
            lines.push_back(std::move(l));
        }
        j["lines"] = std::move(lines);
        break;
    }
    }
    Json confirm = Json::array();
    for (const xray::Line *line : c.confirm) {
        Json l = lineRef(*line);
        l["energy_eV"] = line->energy_eV;
        l["relative_intensity"] = line->relative;
        confirm.push_back(std::move(l));
    }
    j["confirm"] = std::move(confirm);
    return j;
}

// "Fe Ka1", or "Pb M2N4" for a line without a Siegbahn name.
std::string asciiLabel(const xray::Line &line)
{
    return std::string(xray::elementSymbol(line.Z)) + " " + std::string(xray::displayName(line));
}

std::string candidateLabel(const xray::Candidate &c)
{
    switch (c.kind) {
    case xray::CandidateKind::Line:
        return asciiLabel(*c.line);
    case xray::CandidateKind::Escape:
        return asciiLabel(*c.line) + " escape (" + xray::escapeLineLabel(*c.escape) + ")";
    case xray::CandidateKind::Sum:
        return asciiLabel(*c.line) + " + " + asciiLabel(*c.second);
    }
    return {};
}

std::string candidateDetail(const xray::Candidate &c)
{
    switch (c.kind) {
    case xray::CandidateKind::Line:
        return format("%s, %s family, relative %.4f", std::string(c.line->iupac()).c_str(),
                      std::string(xray::familyName(c.line->family)).c_str(), c.line->relative);
    case xray::CandidateKind::Escape:
        return format("%.3g %% of %s at %s eV", 100 * c.fraction, asciiLabel(*c.line).c_str(),
                      eV(c.line->energy_eV).c_str());
    case xray::CandidateKind::Sum:
        return format("%s + %s eV, relative %.4f x %.4f", eV(c.line->energy_eV).c_str(),
                      eV(c.second->energy_eV).c_str(), c.line->relative, c.second->relative);
    }
    return {};
}

// The confirming lines shown in the readable form; --json gives them all.
constexpr std::size_t ShownConfirm = 4;

void printReadable(std::ostream &out, const FindQuery &q, const std::vector<xray::Candidate> &found,
                   std::size_t total)
{
    const double fwhm = q.detector.fwhm(q.energy_eV);
    const double tolerance = q.options.tolerance_eV.value_or(fwhm);
    out << "Energy     " << keV(q.energy_eV) << " keV = " << format("%.1f", q.energy_eV) << " eV\n";
    out << "Detector   " << xray::materialLabel(q.detector.material())
        << format(": FWHM %.1f eV at Mn Ka, %.1f eV at this energy\n", q.detector.fwhmMnKa(), fwhm);
    out << format("Tolerance  +/-%.1f eV", tolerance) << (q.options.tolerance_eV ? "\n" : " (1 FWHM)\n");
    if (q.options.beam_eV)
        out << "Beam       " << keV(*q.options.beam_eV) << " kV: lines whose edge lies above it are left out\n";
    else
        out << "Beam       not given: every line counts as excited (--beam KV)\n";
    if (q.elementSymbols.empty()) {
        out << "Elements   none given: no sum peaks (--elements Fe,Cu)\n";
    } else {
        std::string list;
        for (const std::string &s : q.elementSymbols)
            list += (list.empty() ? "" : ", ") + s;
        out << "Elements   " << list << ": their candidates first; sum peaks of their lines\n";
    }
    out << '\n';
    if (found.empty()) {
        out << "No line, escape or sum peak lies within the tolerance.\n";
        return;
    }
    std::size_t width = 9;
    for (const xray::Candidate &c : found)
        width = std::max(width, candidateLabel(c).size());
    const int w = int(width);
    out << format(" #  %-*s  kind      energy eV   delta eV    score\n", w, "candidate");
    for (std::size_t i = 0; i < found.size(); ++i) {
        const xray::Candidate &c = found[i];
        const char *kind = c.kind == xray::CandidateKind::Line ? "line" : c.kind == xray::CandidateKind::Escape ? "escape" : "sum";
        out << format("%2zu  %-*s  %-6s  %11s  %+9.1f   %6.4f\n", i + 1, w, candidateLabel(c).c_str(), kind,
                      eV(c.energy_eV).c_str(), c.delta_eV, c.score);
        out << format("    %s\n", candidateDetail(c).c_str());
        if (!c.confirm.empty()) {
            std::string confirm;
            for (std::size_t k = 0; k < c.confirm.size() && k < ShownConfirm; ++k)
                confirm += (k ? ", " : "") + asciiLabel(*c.confirm[k]) + " " + eV(c.confirm[k]->energy_eV);
            if (c.confirm.size() > ShownConfirm)
                confirm += format(" and %zu more", c.confirm.size() - ShownConfirm);
            out << "    confirm: " << confirm << '\n';
        }
    }
    if (total > found.size())
        out << format("\n%zu more within the tolerance (--limit 0 shows all).\n", total - found.size());
}

int runFind(const std::vector<std::string> &args, std::ostream &out, std::ostream &)
{
    const ParsedArgs parsed = parseArgs(joinUnits(args), Rules);
    const FindQuery q = findQuery(readValues(parsed));
    if (parsed.has("--json")) {
        printJson(out, findJson(q));
    } else {
        const xray::FindResult result = xray::findLines(q.energy_eV, q.detector, q.options);
        printReadable(out, q, result.candidates, result.withinTolerance);
    }
    return Done;
}

} // namespace

FindQuery findQuery(const FindValues &v)
{
    FindQuery q;
    q.energy_eV = energyValue(v.energy.name, v.energy.text);
    const xray::Material material = v.detector ? materialValue(v.detector->text) : xray::Material::Si;
    q.detector = xray::Detector(material, v.fwhm ? fwhmValue(v.fwhm->name, v.fwhm->text) : xray::defaultFwhm(material));
    if (v.tolerance) {
        q.options.tolerance_eV = energyValue(v.tolerance->name, v.tolerance->text);
        requireAtMost(v.tolerance->name, v.tolerance->text, *q.options.tolerance_eV, MaxTolerance_eV);
    }
    if (v.beam) {
        q.options.beam_eV = beamValue(v.beam->name, v.beam->text);
        q.options.rangeMax_eV = std::min(q.options.rangeMax_eV, *q.options.beam_eV);
    }
    if (v.elements)
        q.options.elements = elementList(v.elements->name, v.elements->text, q.elementSymbols);
    q.options.limit = v.limit ? limitValue(*v.limit) : DefaultFindLimit;
    return q;
}

namespace {

Json queryJson(const FindQuery &q)
{
    const double fwhm = q.detector.fwhm(q.energy_eV);
    Json j = Json::object();
    j["energy_eV"] = q.energy_eV;
    j["tolerance_eV"] = rounded(q.options.tolerance_eV.value_or(fwhm), 2);
    j["detector"] = xray::materialKey(q.detector.material());
    j["fwhm_eV"] = q.detector.fwhmMnKa();
    j["beam_kV"] = q.options.beam_eV ? Json(*q.options.beam_eV / 1000.0) : Json(nullptr);
    j["elements"] = q.elementSymbols;
    return j;
}

} // namespace

Json findJson(const FindQuery &q)
{
    const xray::FindResult result = xray::findLines(q.energy_eV, q.detector, q.options);
    Json j = Json::object();
    j["query"] = queryJson(q);
    Json candidates = Json::array();
    for (const xray::Candidate &c : result.candidates)
        candidates.push_back(candidateJson(c));
    j["candidates"] = std::move(candidates);
    return j;
}

const Command findLinesCommand = {
    "find",
    "lines, escape and sum peaks near an energy, ranked",
    "Usage: zandor find ENERGY [--tolerance E] [--detector si|ge|cdte] [--fwhm E] [--beam KV] [--elements Fe,Cu] [--limit N] [--json]\n"
    "\n"
    "The X-ray lines, escape peaks and sum peaks that can explain a peak at ENERGY,\n"
    "best first, each with the lines that would confirm it.\n"
    "ENERGY and E take a unit: 6.4keV, 6400eV, \"6.4 keV\" or 6.4 keV; a bare number is keV.\n"
    "\n"
    "  --tolerance E      how far candidates may lie from ENERGY (default: 1 FWHM there)\n"
    "  --detector D       si (default), ge or cdte: its escape peaks\n"
    "  --fwhm E           the detector's FWHM at Mn Ka (default si 129eV, ge 145eV, cdte 250eV)\n"
    "  --beam KV          the beam energy (20, 20kV): lines it cannot excite are left out\n"
    "  --elements LIST    elements known to be present (Fe,Cu): their candidates within half\n"
    "                     a FWHM come first, and their strong lines form sum peaks (none\n"
    "                     without this option)\n"
    "  --limit N          at most N candidates (default 10; 0 for all within the tolerance)\n"
    "  --json             the same as JSON (see man zandor)\n"
    "\n"
    "Score: the candidate's expected size (its relative intensity within its family; for\n"
    "an escape, the parent's times the escape fraction; for a sum, the product of the two)\n"
    "times exp(-4 ln2 (delta/FWHM)^2), the height at ENERGY of a peak centred on it.\n",
    runFind,
};

} // namespace cli
