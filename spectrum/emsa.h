// EMSA/MSA, the spectral data file format of the EMSA/MAS standard (1991,
// since 2012 ISO 22029): a header of "#KEYWORD-units: value" lines, the
// data after #SPECTRUM, and #ENDOFDATA.
#pragma once

#include "result.h"
#include "spectrum.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace spectrum {

// Reads an EMSA/MSA file's bytes. Accepts DATATYPE Y and XY with NCOLUMNS 1
// to 5, XUNITS in eV or keV (any text containing "keV", in any case, is keV;
// "channel" means uncalibrated; anything else is eV), OFFSET and XPERCHAN or
// CHOFFSET, and the deviations real files have (see docs/formats.md); a
// deviation that loses nothing is silent, one that may matter leaves a
// warning.
Result<Spectrum> readEmsa(std::string_view bytes);

// The spectrum as an EMSA/MSA file, exactly as the standard asks: the
// required keywords in their order, lines of at most 79 characters ending
// in CR LF, DATATYPE Y with one column, the calibration in eV (an
// uncalibrated spectrum has XUNITS "channel", XPERCHAN 1 and OFFSET 0), the
// other keywords kept from the file it was read from, and a #CHECKSUM.
std::string emsaText(const Spectrum &spectrum);

// The checksum of an EMSA file: the sum of the values of all its bytes,
// line ends included, except those of the #CHECKSUM line itself.
std::uint64_t emsaChecksum(std::string_view bytes);

} // namespace spectrum
