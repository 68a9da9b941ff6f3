// What the spectrum core must guarantee on any input, as checks that report
// a failure in words. The spectrum fuzz targets run them on every input;
// tests/tst_spectrum_regressions.cpp runs them on the inputs kept in
// tests/regressions/. Plain C++, like the core.
#pragma once

#include "spectrum/emsa.h"
#include "spectrum/read.h"
#include "spectrum/spectrum.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <string_view>

namespace spectrumchecks {

inline bool finite(const std::optional<double> &value) { return !value || std::isfinite(*value); }

// A read's outcome, whatever it is, keeps the core's promises: an accepted
// spectrum has 1 to MaxChannels finite counts, a calibration with a finite
// offset and a gain above zero, finite times and beam energy, and the
// format of the reader; a refusal has a reason and a line within the input.
// Empty when all hold.
inline std::string checkRead(const spectrum::Result<spectrum::Spectrum> &result, std::string_view input,
                             spectrum::Format format)
{
    if (!result) {
        const spectrum::Error &error = result.error();
        if (error.reason.empty())
            return "a refusal without a reason";
        const std::size_t lines = std::size_t(std::count(input.begin(), input.end(), '\n')) +
                                  std::size_t(std::count(input.begin(), input.end(), '\r')) + 1;
        if (error.line > lines)
            return "a refusal names line " + std::to_string(error.line) + " of an input of at most " +
                   std::to_string(lines) + " lines";
        return {};
    }
    const spectrum::Spectrum &s = result.value();
    if (s.format != format)
        return "the spectrum names another format than its reader's";
    if (s.counts.empty() || s.counts.size() > spectrum::MaxChannels)
        return "accepted with " + std::to_string(s.counts.size()) + " channels";
    for (double c : s.counts)
        if (!std::isfinite(c))
            return "accepted a count that is not finite";
    if (s.calibration && (!std::isfinite(s.calibration->offset_eV) || !std::isfinite(s.calibration->gain_eV) ||
                          !(s.calibration->gain_eV > 0.0)))
        return "accepted a calibration with a gain of zero or less, or not finite";
    if (!finite(s.meta.liveTime_s) || !finite(s.meta.realTime_s) || !finite(s.meta.beam_kV))
        return "accepted a time or beam energy that is not finite";
    for (const std::string &w : s.warnings)
        if (w.empty())
            return "an empty warning";
    return {};
}

// An accepted spectrum written as EMSA reads back with the same counts,
// calibration, times and beam energy, exactly. Empty when it does.
inline std::string checkEmsaRoundTrip(const spectrum::Spectrum &s)
{
    const std::string text = spectrum::emsaText(s);
    const auto back = spectrum::readEmsa(text);
    if (!back)
        return "the EMSA file written from an accepted spectrum is refused: " + back.error().message();
    if (back->counts != s.counts)
        return "the counts differ after writing EMSA and reading it back";
    if (back->calibration != s.calibration)
        return "the calibration differs after writing EMSA and reading it back";
    if (back->meta.liveTime_s != s.meta.liveTime_s || back->meta.realTime_s != s.meta.realTime_s ||
        back->meta.beam_kV != s.meta.beam_kV)
        return "a time or the beam energy differs after writing EMSA and reading it back";
    for (const std::string &w : back->warnings)
        if (w.starts_with("#CHECKSUM is ") || w.starts_with("#NPOINTS is "))
            return "the EMSA file written disagrees with itself: " + w;
    return {};
}

} // namespace spectrumchecks
