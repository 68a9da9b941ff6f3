#include "calibration.h"

#include <cmath>
#include <string>

namespace spectrum {

Result<CalibrationFit> fitCalibration(std::span<const CalibrationPoint> points)
{
    if (points.size() < 2)
        return Error::make(ErrorKind::CalibrationTooFew, {std::to_string(points.size())});
    for (const CalibrationPoint &p : points)
        if (!std::isfinite(p.channel) || !std::isfinite(p.energy_eV))
            return Error::make(ErrorKind::CalibrationNotFinite);

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
        return Error::make(ErrorKind::CalibrationOneChannel);
    const double gain = sxy / sxx;
    if (!std::isfinite(gain) || !(gain > 0.0))
        return Error::make(ErrorKind::CalibrationFalling);

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
        return Error::make(ErrorKind::CalibrationTooFar);
    return fit;
}

} // namespace spectrum
