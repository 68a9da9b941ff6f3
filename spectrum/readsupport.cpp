#include "readsupport.h"

#include <cerrno>
#include <cstring>

namespace spectrum {

void noteNegativeCounts(Spectrum &spectrum)
{
    std::size_t negative = 0;
    std::size_t first = 0;
    for (std::size_t i = spectrum.counts.size(); i-- > 0;)
        if (spectrum.counts[i] < 0.0) {
            ++negative;
            first = i;
        }
    if (negative == 0)
        return;
    spectrum.warnings.push_back(std::to_string(negative) + (negative == 1 ? " channel has" : " channels have") +
                                " negative counts, kept (the first is channel " + std::to_string(first) + ")");
}

Result<CalibrationFit> fitChannelEnergies(const std::vector<double> &energies, double scale)
{
    std::vector<CalibrationPoint> points(energies.size());
    for (std::size_t i = 0; i < energies.size(); ++i)
        points[i] = {double(i), energies[i] * scale};
    return fitCalibration(points);
}

std::string systemReason()
{
    std::string text = std::strerror(errno);
    if (!text.empty() && text[0] >= 'A' && text[0] <= 'Z' && !(text.size() > 1 && text[1] >= 'A' && text[1] <= 'Z'))
        text[0] = char(text[0] - 'A' + 'a');
    return text;
}

} // namespace spectrum
