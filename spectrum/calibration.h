// Fitting an energy calibration to peaks whose energies are known.
#pragma once

#include "result.h"
#include "spectrum.h"

#include <span>
#include <vector>

namespace spectrum {

// A channel (fractional: a peak's centroid) and the energy it should have.
struct CalibrationPoint {
    double channel = 0.0;
    double energy_eV = 0.0;
};

struct CalibrationFit {
    Calibration calibration;
    // For each point, in the order given: its energy minus the fitted
    // energy at its channel, in eV.
    std::vector<double> residuals_eV;
    // The root mean square of the residuals.
    double rms_eV = 0.0;
};

// The least-squares line energy = offset + gain × channel through two or
// more points. Refused, with a reason: fewer than two points, fewer than two
// distinct channels (two peaks at the same channel say nothing about the
// gain), a channel or energy that is not a finite number, and a fit whose
// gain is zero or negative (energies that do not rise with the channel).
Result<CalibrationFit> fitCalibration(std::span<const CalibrationPoint> points);

} // namespace spectrum
