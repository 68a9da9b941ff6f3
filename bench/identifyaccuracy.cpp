// zandor-identify-accuracy [--case NAME] [--verbose] [--fwhm EV] [--seeds N] [--thin]: the
// accuracy of automatic identification on the hard cases
// (tools/synth/hardcases.cpp), synthetic spectra with fixed seeds (with
// --seeds N, each case again with N - 1 other seeds; with --thin, the
// electron-excited ones of a thin sample, without absorption in it). For each spectrum: the elements found
// against the truth, and whether every visible escape and sum peak was
// labelled as one; then the totals. Plain C++ like the cores.
//
// Counted:
//  - recall: elements of the sample at 5 wt % or more that were found;
//  - traces: elements below 5 wt %, found or not (no target);
//  - false elements: found but neither in the sample nor the tube's anode
//    whose lines an XRF sample scatters (those are really in the spectrum:
//    finding the anode is right, missing it is listed but not counted);
//  - artefacts: escape and sum peaks that are visible (see visibleArtefacts),
//    labelled as that kind with the right parents; called something else
//    (a peak was reported there under another name); or not found as peaks
//    at all (the peak search missed them in the noise). The target is that
//    none is called something else.
#include "hardcases.h"
#include "synth.h"

#include "identify/identify.h"
#include "identify/tophat.h"
#include "xray/elements.h"
#include "xray/lines.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace {

std::string symbol(int Z) { return std::string(xray::elementSymbol(Z)); }

struct Artefact {
    bool sum;
    double energy_eV;
    double counts;
    std::vector<int> parents; // Z of the parents (escapes) or of the lines (sums) in the group
    std::string label;
};

// Visible escape and sum peaks, those within one FWHM of each other (which
// the peak search sees as one peak) taken together, at their mean energy
// weighted by counts: in the peak search's own filter, on the noise-free
// spectrum, the artefact stands at least 5 standard deviations above zero
// and makes at least half of what is there, and the filtered spectrum has a
// maximum within half a FWHM of it (an artefact on the shoulder of a larger
// peak is no peak of its own).
std::vector<Artefact> visibleArtefacts(const synth::Synthetic &s, const xray::Detector &detector)
{
    std::vector<Artefact> all;
    for (const synth::TrueEscape &e : s.truth.escapes)
        all.push_back({false, e.energy_eV, e.counts, {e.parent->Z},
                       xray::lineLabel(*e.parent) + " esc " + xray::escapeLineLabel(*e.escape)});
    for (const synth::TrueSum &e : s.truth.sums)
        all.push_back({true, e.energy_eV, e.counts, {e.first->Z, e.second->Z},
                       xray::lineLabel(*e.first) + "+" + xray::lineLabel(*e.second)});
    std::sort(all.begin(), all.end(), [](const Artefact &a, const Artefact &b) { return a.counts > b.counts; });
    std::vector<Artefact> groups;
    std::vector<std::vector<const Artefact *>> members;
    for (const Artefact &a : all) {
        auto same = std::find_if(groups.begin(), groups.end(), [&](const Artefact &g) {
            return g.sum == a.sum && std::fabs(g.energy_eV - a.energy_eV) < detector.fwhm(a.energy_eV);
        });
        if (same != groups.end()) {
            same->energy_eV = (same->energy_eV * same->counts + a.energy_eV * a.counts) / (same->counts + a.counts);
            same->counts += a.counts;
            for (const int Z : a.parents)
                if (std::find(same->parents.begin(), same->parents.end(), Z) == same->parents.end())
                    same->parents.push_back(Z);
            members[std::size_t(same - groups.begin())].push_back(&a);
        } else {
            groups.push_back(a);
            members.push_back({&a});
        }
    }
    // The spectrum as the peak search sees it: one bin per channel here.
    identify::WorkGrid grid;
    grid.counts = s.expected;
    grid.offset_eV = s.spectrum.calibration->offset_eV;
    grid.gain_eV = s.spectrum.calibration->gain_eV;
    const identify::TopHat filter(grid, detector);
    const identify::TopHat::Output total = filter.apply(s.expected, identify::poissonVariance(s.expected));
    std::vector<Artefact> visible;
    for (std::size_t k = 0; k < groups.size(); ++k) {
        std::vector<double> mine(s.expected.size(), 0.0);
        for (const Artefact *a : members[k])
            synth::addPeak(mine, grid.offset_eV, grid.gain_eV, a->energy_eV, detector.fwhm(a->energy_eV), a->counts);
        const std::vector<double> filtered = filter.apply(mine, mine).value;
        const double bin = std::round(grid.bin(groups[k].energy_eV));
        if (bin < 0 || bin >= double(mine.size()))
            continue;
        const std::size_t b = std::size_t(bin);
        // ... and the spectrum has a peak there: a maximum of the filtered
        // spectrum within half a FWHM (a shoulder is no peak).
        const double reach = 0.5 * detector.fwhm(groups[k].energy_eV) / grid.gain_eV;
        bool maximum = false;
        for (double i = std::max(1.0, bin - reach); i <= std::min(double(mine.size()) - 2, bin + reach); ++i) {
            const std::size_t j = std::size_t(i);
            maximum = maximum || (total.value[j] > total.value[j - 1] && total.value[j] >= total.value[j + 1]);
        }
        if (maximum && total.sigma[b] > 0 && filtered[b] >= 6 * total.sigma[b] && filtered[b] >= 0.5 * total.value[b])
            visible.push_back(groups[k]);
    }
    return visible;
}

// How a visible artefact came out: labelled as what it is, reported as a
// peak but called something else, or not reported as a peak at all.
enum class Outcome { Labelled, Mislabelled, NotFound };

Outcome outcome(const Artefact &a, const identify::Identification &id, const xray::Detector &detector)
{
    bool found = false;
    for (const identify::IdentifiedPeak &p : id.peaks) {
        if (std::fabs(p.peak.energy_eV - a.energy_eV) > 0.5 * detector.fwhm(a.energy_eV))
            continue;
        found = true;
        const identify::Assignment &as = p.assignment;
        // The right kind, and parents among those of the group's artefacts.
        const auto among = [&](const xray::Line *line) {
            return std::find(a.parents.begin(), a.parents.end(), line->Z) != a.parents.end();
        };
        if (!a.sum && as.kind == identify::AssignmentKind::Escape && as.line && among(as.line))
            return Outcome::Labelled;
        if (a.sum && as.kind == identify::AssignmentKind::Sum && as.line && as.second && among(as.line)
            && among(as.second))
            return Outcome::Labelled;
    }
    return found ? Outcome::Mislabelled : Outcome::NotFound;
}

} // namespace

int main(int argc, char **argv)
{
    std::string only;
    bool verbose = false;
    std::optional<double> fwhm;
    int seeds = 1;
    bool thin = false;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--case") && i + 1 < argc)
            only = argv[++i];
        else if (!std::strcmp(argv[i], "--verbose"))
            verbose = true;
        else if (!std::strcmp(argv[i], "--fwhm") && i + 1 < argc)
            fwhm = std::atof(argv[++i]);
        else if (!std::strcmp(argv[i], "--seeds") && i + 1 < argc)
            seeds = std::max(1, std::atoi(argv[++i]));
        else if (!std::strcmp(argv[i], "--thin"))
            thin = true;
        else {
            std::fprintf(stderr,
                         "usage: zandor-identify-accuracy [--case NAME] [--verbose] [--fwhm EV] [--seeds N] [--thin]\n");
            return 2;
        }
    }
    int majors = 0, majorsFound = 0, falseElements = 0, spectraWithFalse = 0, traces = 0, tracesFound = 0;
    int artefacts = 0, artefactsLabelled = 0, artefactsMislabelled = 0, artefactsNotFound = 0, spectra = 0;
    std::vector<std::string> failures;
    std::vector<synth::HardCase> cases;
    for (const synth::HardCase &c : synth::hardCases())
        for (int k = 0; k < seeds; ++k) {
            cases.push_back(c);
            cases.back().recipe.thinSample = thin;
            if (k > 0) {
                cases.back().name += "/" + std::to_string(k);
                cases.back().recipe.seed += 1000 * std::uint64_t(k);
            }
        }
    for (const synth::HardCase &c : cases) {
        if (!only.empty() && c.name != only)
            continue;
        ++spectra;
        const synth::Synthetic s = synth::generate(c.recipe);
        identify::IdentifyOptions options;
        options.material = c.recipe.detector.detector.material();
        options.fwhmMnKa_eV = fwhm;
        const auto result = identify::identify(s.spectrum, options);
        if (!result) {
            std::printf("%-16s refused: %s\n", c.name.c_str(), result.error().reason.c_str());
            failures.push_back(c.name + ": refused");
            continue;
        }
        const identify::Identification &id = result.value();
        const xray::Detector detector(options.material, id.fwhmMnKa_eV);
        std::string truth, found, missed, wrong;
        for (const synth::Constituent &k : s.truth.sample) {
            char part[64];
            std::snprintf(part, sizeof part, "%s%s %g", truth.empty() ? "" : ", ", symbol(k.Z).c_str(),
                          std::round(1000 * k.massFraction) / 10);
            truth += part;
            const bool isFound = std::any_of(id.elements.begin(), id.elements.end(),
                                             [&](const identify::IdentifiedElement &e) { return e.Z == k.Z; });
            if (k.massFraction >= 0.05) {
                ++majors;
                majorsFound += isFound;
            } else {
                ++traces;
                tracesFound += isFound;
            }
            if (!isFound)
                missed += (missed.empty() ? "" : " ") + symbol(k.Z) + (k.massFraction < 0.05 ? "(trace)" : "");
        }
        if (s.truth.scatterZ)
            truth += "; scatter " + symbol(s.truth.scatterZ);
        int falseHere = 0;
        for (const identify::IdentifiedElement &e : id.elements) {
            found += (found.empty() ? "" : ", ") + symbol(e.Z) + " (" + std::string(identify::confidenceName(e.confidence))
                     + ")";
            const bool inSample = std::any_of(s.truth.sample.begin(), s.truth.sample.end(),
                                              [&](const synth::Constituent &k) { return k.Z == e.Z; });
            if (!inSample && e.Z != s.truth.scatterZ) {
                ++falseHere;
                wrong += (wrong.empty() ? "" : " ") + symbol(e.Z);
            }
        }
        if (s.truth.scatterZ && std::none_of(id.elements.begin(), id.elements.end(), [&](const auto &e) {
                return e.Z == s.truth.scatterZ;
            }))
            missed += (missed.empty() ? "" : " ") + symbol(s.truth.scatterZ) + "(scatter)";
        falseElements += falseHere;
        spectraWithFalse += falseHere > 0;
        const std::vector<Artefact> visible = visibleArtefacts(s, detector);
        int labelledHere = 0, mislabelledHere = 0;
        std::string unlabelled;
        for (const Artefact &a : visible) {
            switch (outcome(a, id, detector)) {
            case Outcome::Labelled:
                ++labelledHere;
                break;
            case Outcome::Mislabelled:
                ++mislabelledHere;
                unlabelled += (unlabelled.empty() ? "" : ", ") + a.label + " (called otherwise)";
                break;
            case Outcome::NotFound:
                ++artefactsNotFound;
                unlabelled += (unlabelled.empty() ? "" : ", ") + a.label + " (no peak found)";
                break;
            }
        }
        artefacts += int(visible.size());
        artefactsLabelled += labelledHere;
        artefactsMislabelled += mislabelledHere;
        std::printf("%-16s truth: %s\n", c.name.c_str(), truth.c_str());
        std::printf("%-16s found: %s\n", "", found.empty() ? "nothing" : found.c_str());
        std::printf("%-16s FWHM %.1f eV; missed: %s; false: %s; artefacts labelled %d/%zu%s%s\n", "",
                    id.fwhmMnKa_eV, missed.empty() ? "-" : missed.c_str(), wrong.empty() ? "-" : wrong.c_str(),
                    labelledHere, visible.size(), unlabelled.empty() ? "" : "; not: ", unlabelled.c_str());
        const bool majorMissed = std::any_of(s.truth.sample.begin(), s.truth.sample.end(), [&](const auto &k) {
            return k.massFraction >= 0.05 && std::none_of(id.elements.begin(), id.elements.end(),
                                                          [&](const auto &e) { return e.Z == k.Z; });
        });
        if (majorMissed || falseHere || mislabelledHere)
            failures.push_back(c.name);
        if (verbose) {
            for (const identify::IdentifiedElement &e : id.elements)
                std::printf("    %-2s %5.1f sigma: %s\n", symbol(e.Z).c_str(), e.significance,
                            identify::reasonText(e.reason).c_str());
            for (const identify::IdentifiedPeak &p : id.peaks) {
                std::string what(identify::assignmentKindName(p.assignment.kind));
                if (p.assignment.line)
                    what += " " + xray::lineLabel(*p.assignment.line);
                if (p.assignment.second)
                    what += " + " + xray::lineLabel(*p.assignment.second);
                std::printf("    %8.3f keV %10.0f counts %7.1f sigma  %s %s\n", p.peak.energy_eV / 1000,
                            p.peak.netCounts, p.peak.significance, what.c_str(),
                            identify::reasonText(p.reason).c_str());
            }
            for (const identify::Note &n : id.notes)
                std::printf("    note: %s\n", n.text.c_str());
        }
    }
    std::printf("\n%d spectra. Elements >= 5 wt %% found: %d of %d. Traces found: %d of %d.\n", spectra, majorsFound,
                majors, tracesFound, traces);
    std::printf("False elements: %d, in %d spectra.\n", falseElements, spectraWithFalse);
    std::printf("Visible escape and sum peaks: %d; labelled as such %d, called something else %d, not found as "
                "peaks %d.\n",
                artefacts, artefactsLabelled, artefactsMislabelled, artefactsNotFound);
    if (!failures.empty()) {
        std::printf("Off target:");
        for (const std::string &f : failures)
            std::printf(" %s", f.c_str());
        std::printf("\n");
    }
    return 0;
}
