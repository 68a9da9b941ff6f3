#include "workgrid.h"

#include <algorithm>
#include <cmath>

namespace identify {

WorkGrid workGrid(const spectrum::Spectrum &spectrum, const xray::Detector &detector)
{
    WorkGrid grid;
    if (!spectrum.calibration || spectrum.counts.empty())
        return grid;
    const spectrum::Calibration &c = *spectrum.calibration;
    const double low = -1000, high = MaxWorkEnergy_eV;
    // Channels with energies in [low, high].
    const double firstChannel = std::max(0.0, std::ceil(c.channel(low)));
    const double lastChannel = std::min(double(spectrum.counts.size()) - 1, std::floor(c.channel(high)));
    if (!(firstChannel <= lastChannel))
        return grid;
    const std::size_t first = std::size_t(firstChannel), last = std::size_t(lastChannel);
    const std::size_t channels = last - first + 1;

    const double narrowest = detector.fwhm(std::max(100.0, c.energy_eV(firstChannel)));
    std::size_t group = std::max<std::size_t>(1, std::size_t(std::floor(narrowest / 6 / c.gain_eV)));
    group = std::max(group, (channels + MaxWorkBins - 1) / MaxWorkBins);

    double largest = 0;
    for (std::size_t i = first; i <= last; ++i)
        largest = std::max(largest, std::fabs(spectrum.counts[i]));
    grid.scale = largest * double(group) > MaxWorkCount ? largest * double(group) / MaxWorkCount : 1.0;

    const std::size_t bins = channels / group;
    grid.counts.assign(bins, 0.0);
    for (std::size_t b = 0; b < bins; ++b) {
        double sum = 0;
        for (std::size_t k = 0; k < group; ++k)
            sum += spectrum.counts[first + b * group + k] / grid.scale;
        grid.counts[b] = sum;
    }
    grid.firstChannel = first;
    grid.channelsPerBin = group;
    grid.gain_eV = c.gain_eV * double(group);
    grid.offset_eV = c.energy_eV(double(first) + (double(group) - 1) / 2);
    return grid;
}

} // namespace identify
