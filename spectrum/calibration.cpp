#include "calibration.h"

#include <cmath>
#include <string>

namespace spectrum {

Result<CalibrationFit> fitCalibration(std::span<const CalibrationPoint> points)
{
    if (points.size() < 2)
        return Error{"a calibration needs at least two peaks of known energy, not " +
                     std::to_string(points.size())};
    for (const CalibrationPoint &p : points)
        if (!std::isfinite(p.channel) || !std::isfinite(p.energy_eV))
            return Error{"a calibration point is not a finite number"};

    // Centred sums keep the fit exact for channels far from zero.
    const double n = double(points.size());
    double meanChannel = 0.0, meanEnergy = 0.0;
    for (const CalibrationPoint &p : points) {
        meanChannel += p.channel / n;
        meanEnergy += p.energy_eV / n;
    }
    double sxx = 0.0, sxy = 0.0;
    for (const CalibrationPoint &p : points) {
        const double dx = p.channel - meanChannel;
        sxx += dx * dx;
        sxy += dx * (p.energy_eV - meanEnergy);
    }
    // The channels differ by less than a millionth of a channel: one place.
    if (!(sxx > 1e-12 * n))
        return Error{"the peaks all lie at the same channel, which says nothing about the gain: "
                     "assign lines to peaks at two different channels"};
    const double gain = sxy / sxx;
    if (!std::isfinite(gain) || !(gain > 0.0))
        return Error{"the energies do not rise with the channel (the gain would be zero or "
                     "negative): check the lines assigned to the peaks"};

    CalibrationFit fit;
    fit.calibration = {meanEnergy - gain * meanChannel, gain};
    double sumSquares = 0.0;
    fit.residuals_eV.reserve(points.size());
    for (const CalibrationPoint &p : points) {
        const double residual = p.energy_eV - fit.calibration.energy_eV(p.channel);
        fit.residuals_eV.push_back(residual);
        sumSquares += residual * residual;
    }
    fit.rms_eV = std::sqrt(sumSquares / n);
    if (!std::isfinite(fit.calibration.offset_eV) || !std::isfinite(fit.rms_eV))
        return Error{"the calibration points are too far apart to fit"};
    return fit;
}

} // namespace spectrum
