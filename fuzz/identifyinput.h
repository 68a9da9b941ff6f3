// The input layout of fuzz_identify and the checks it runs, shared with
// tests/tst_identify_core.cpp, which replays the committed inputs
// (fuzz/corpus/identify/). Plain C++, like the core.
//
// Layout: one byte of choices (bits 0-1 the detector, 2 a FWHM given, 3 a
// beam given, 4 required and excluded elements, 5 X-ray fluorescence), two
// bytes of FWHM, two of beam energy, two of gain, two of offset, then the
// counts, two bytes each, where 0xFFFF stands for 1e300 and 0xFFFE for a
// negative count. More than MaxChannels counts are summed down to at most
// that many.
#pragma once

#include "identify/identify.h"
#include "xray/elements.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace identifyinput {

// What one run may cost, so that the fuzzer tries well over a hundred
// spectra a second under the sanitizers: at most MaxChannels channels
// (longer spectra are summed in groups of adjacent channels, their peaks
// kept where they were), and MaxWork multiply-adds of fitting
// (IdentifyOptions::maxWork; a real spectrum gets up to 4e7). The replay in
// tst_identify_core gives the default instead.
inline constexpr std::size_t MaxChannels = 256;
inline constexpr double MaxWork = 3e4;

struct Input {
    spectrum::Spectrum spectrum;
    identify::IdentifyOptions options;
};

inline unsigned word(const std::uint8_t *data, std::size_t at)
{
    return unsigned(data[at]) | unsigned(data[at + 1]) << 8;
}

// Nothing for an input too short to hold a count.
inline std::optional<Input> decode(const std::uint8_t *data, std::size_t size)
{
    if (size < 11)
        return std::nullopt;
    Input in;
    const unsigned choices = data[0];
    in.options.material = static_cast<xray::Material>(choices % 3);
    if (choices & 4)
        in.options.fwhmMnKa_eV = 10 + word(data, 1) % 990;
    if (choices & 8)
        in.options.beam_kV = 0.5 + word(data, 3) % 1000 / 10.0;
    if (choices & 16) {
        in.options.require = {int(data[1] % 94 + 5)};
        if (int(data[2] % 94 + 5) != in.options.require[0])
            in.options.exclude = {int(data[2] % 94 + 5)};
    }
    if (choices & 32)
        in.spectrum.meta.signalType = "XRF";
    in.options.maxWork = MaxWork;
    // Gains from 0.001 to 1000 eV a channel, offsets of +-32 k channels.
    const double gain = std::pow(10.0, -3.0 + 6.0 * word(data, 5) / 65535.0);
    in.spectrum.calibration = spectrum::Calibration{(double(word(data, 7)) - 32768) * gain, gain};
    std::vector<double> &counts = in.spectrum.counts;
    for (std::size_t at = 9; at + 1 < size; at += 2) {
        const unsigned w = word(data, at);
        counts.push_back(w == 0xFFFF ? 1e300 : w == 0xFFFE ? -double(data[at - 1]) : double(w));
    }
    if (counts.size() > MaxChannels) {
        const std::size_t group = (counts.size() + MaxChannels - 1) / MaxChannels;
        std::vector<double> summed((counts.size() + group - 1) / group, 0.0);
        for (std::size_t i = 0; i < counts.size(); ++i)
            summed[i / group] += counts[i];
        counts = std::move(summed);
        spectrum::Calibration &c = *in.spectrum.calibration;
        c.offset_eV += (double(group) - 1) / 2 * c.gain_eV;
        c.gain_eV *= double(group);
    }
    return in;
}

// A reason's rivals: other elements of the line table, each line they name
// theirs, at a finite energy.
inline bool rivalsHold(const std::vector<identify::Rival> &rivals, int Z)
{
    return std::all_of(rivals.begin(), rivals.end(), [&](const identify::Rival &r) {
        return r.Z != Z && xray::hasLines(r.Z) && std::isfinite(r.peak.energy_eV)
               && (!r.peak.line || r.peak.line->Z == r.Z);
    });
}

// What identification promises on any calibrated spectrum: a result, finite
// numbers, elements of the line table each once, the required ones in and
// the excluded ones out, assignments with the lines their kind names, a
// reason for every element and for every peak left unexplained (and for no
// other), naming the element's own lines and other elements as rivals.
// Empty when all hold, else what failed.
inline std::string check(const Input &in)
{
    const spectrum::Result<identify::Identification> result = identify::identify(in.spectrum, in.options);
    if (!result)
        return "a calibrated spectrum was refused";
    const identify::Identification &id = result.value();
    if (!std::isfinite(id.fwhmMnKa_eV) || !(id.fwhmMnKa_eV > 0))
        return "the FWHM is not a finite number above zero";
    std::set<int> seen;
    for (const identify::IdentifiedElement &e : id.elements) {
        if (!xray::hasLines(e.Z))
            return "an element outside the line table";
        if (!seen.insert(e.Z).second)
            return "an element listed twice";
        if (!std::isfinite(e.significance))
            return "an element's significance is not finite";
        for (const xray::Line *line : e.lines)
            if (!line || line->Z != e.Z)
                return "an element lists another element's line";
        const identify::ElementReason &why = e.reason;
        if (why.kind == identify::ElementReason::Kind::None)
            return "an element without a reason";
        if (!std::isfinite(why.peak_eV) || (why.line && why.line->Z != e.Z)
            || std::any_of(why.partners.begin(), why.partners.end(),
                           [&](const identify::LinePeak &p) { return !p.line || p.line->Z != e.Z || !std::isfinite(p.energy_eV); }))
            return "an element's reason names another element's line";
        if (!rivalsHold(why.rivals, e.Z))
            return "an element's reason names itself or no element as a rival";
    }
    // Required elements are fitted whenever there is something to fit.
    const bool nothingToFit = std::any_of(id.notes.begin(), id.notes.end(), [](const identify::Note &n) {
        return n.kind == identify::Note::Kind::TooFewChannels || n.kind == identify::Note::Kind::NoCounts;
    });
    for (const int Z : in.options.require)
        if (!seen.count(Z) && !nothingToFit)
            return "a required element is missing";
    for (const int Z : in.options.exclude)
        if (seen.count(Z))
            return "an excluded element was found";
    for (const identify::IdentifiedPeak &p : id.peaks) {
        if (!std::isfinite(p.peak.energy_eV) || !std::isfinite(p.peak.netCounts) || !std::isfinite(p.peak.significance)
            || !std::isfinite(p.explained))
            return "a peak's numbers are not finite";
        const identify::Assignment &a = p.assignment;
        switch (a.kind) {
        case identify::AssignmentKind::Line:
            if (!a.line || !seen.count(a.line->Z))
                return "a line of an element not found";
            break;
        case identify::AssignmentKind::Escape:
            if (!a.line || !a.escape || !seen.count(a.line->Z))
                return "an escape without its parent or escape line";
            break;
        case identify::AssignmentKind::Sum:
            if (!a.line || !a.second)
                return "a sum without its two lines";
            break;
        case identify::AssignmentKind::Zero:
        case identify::AssignmentKind::Unexplained:
            if (a.line || a.second || a.escape)
                return "a zero or unexplained peak with a line";
            break;
        }
        const identify::PeakReason &why = p.reason;
        if ((a.kind == identify::AssignmentKind::Unexplained) != (why.kind != identify::PeakReason::Kind::None))
            return "an unexplained peak without a reason, or an explained one with one";
        if (!std::isfinite(why.energy_eV) || !rivalsHold(why.rivals, 0)
            || (why.kind == identify::PeakReason::Kind::Refused) == why.rivals.empty())
            return "a peak's reason names no element tried, or elements where it tried none";
    }
    for (const identify::Note &note : id.notes)
        if (note.text.empty())
            return "an empty note";
    return {};
}

} // namespace identifyinput
