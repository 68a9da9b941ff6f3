// The spectrum as peak search and identification see it: the channels of
// the useful energy range, summed in groups where they are much narrower
// than the detector's resolution, with counts a double can add up safely.
// Bounds the work on any spectrum the readers accept (1,048,576 channels,
// counts of 1e300, negative counts).
#pragma once

#include "spectrum/spectrum.h"

#include "xray/detector.h"

#include <cstddef>
#include <vector>

namespace identify {

struct WorkGrid {
    std::vector<double> counts; // summed channels, divided by `scale`
    double offset_eV = 0;       // the energy of bin 0's centre
    double gain_eV = 1;         // eV per bin
    std::size_t firstChannel = 0; // the spectrum's channel where bin 0 starts
    std::size_t channelsPerBin = 1;
    double scale = 1;           // counts were divided by it (1 unless enormous)

    std::size_t size() const { return counts.size(); }
    double energy(double bin) const { return offset_eV + gain_eV * bin; }
    double bin(double energy_eV) const { return (energy_eV - offset_eV) / gain_eV; }
};

// The highest energy looked at: the heaviest K lines lie below it.
inline constexpr double MaxWorkEnergy_eV = 160000;
// At most this many bins: channels are summed further when needed.
inline constexpr std::size_t MaxWorkBins = 1 << 16;
// Counts above this in a channel are no photon counts; the spectrum is
// scaled down to it, so that sums over a million channels stay finite.
inline constexpr double MaxWorkCount = 1e15;

// The channels from -1 keV to MaxWorkEnergy_eV, summed so that a bin is at
// most a sixth of the detector's FWHM at the start of the range (never
// less than one channel) and there are at most MaxWorkBins. Uncalibrated,
// or without a channel in the range: empty.
WorkGrid workGrid(const spectrum::Spectrum &spectrum, const xray::Detector &detector);

} // namespace identify
