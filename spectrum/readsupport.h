// What the readers share beyond text scanning.
#pragma once

#include "spectrum.h"

namespace spectrum {

// Adds the warning about negative counts (kept: background-subtracted
// spectra have them), when there are any.
void noteNegativeCounts(Spectrum &spectrum);

} // namespace spectrum
