// Plain text spectra: energy and counts in two columns, or counts alone.
#pragma once

#include "result.h"
#include "spectrum.h"

#include <string_view>

namespace spectrum {

// Two columns, energy and counts, separated by commas, TABs or blanks (or
// semicolons, and then a comma is the decimal mark), with an optional
// header line and '#' comment lines. The energy unit is the one the header
// names ("keV" anywhere in it, else "eV" as a word; "channel" means the
// first column counts channels and the spectrum is uncalibrated).
// Without one it is keV when the largest energy is below 200, else eV.
// The calibration is the least-squares line through the rows' energies.
Result<Spectrum> readText(std::string_view bytes);

// Counts alone, one or more a line, with '#' comment lines and an optional
// header line, as multichannel analysers write them; also the .spe layout:
// "$DATA:", then "first last" channel numbers, then the counts, with
// $SPEC_ID (title), $DATE_MEA, $MEAS_TIM (live and real time in s) and
// $ENER_FIT (offset and gain in keV) read where present. Uncalibrated
// unless $ENER_FIT says otherwise.
Result<Spectrum> readCounts(std::string_view bytes);

} // namespace spectrum
