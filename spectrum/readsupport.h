// What the readers and writers share beyond text scanning. Not part of the
// core's interface.
#pragma once

#include "calibration.h"
#include "result.h"
#include "spectrum.h"

#include <string>
#include <vector>

namespace spectrum {

// Adds the warning about negative counts (kept: background-subtracted
// spectra have them), when there are any.
void noteNegativeCounts(Spectrum &spectrum);

// The least-squares calibration through one energy per channel, channel 0
// first, each energy times `scale` giving eV.
Result<CalibrationFit> fitChannelEnergies(const std::vector<double> &energies, double scale);

// The C library's text for errno, in lower case like the other reasons:
// "no such file or directory".
std::string systemReason();

} // namespace spectrum
