// Bruker's .spx: an XML file, often declared encoding="WINDOWS-1252".
#pragma once

#include "result.h"
#include "spectrum.h"

#include <string_view>

namespace spectrum {

// Reads an spx file's bytes. Under the root TRTSpectrum, the first
// ClassInstance of Type "TRTSpectrum" holds:
//   ClassInstance Type="TRTSpectrumHeader": ChannelCount, CalibAbs (keV of
//     channel 0), CalibLin (keV per channel), Date, Time, SigmaAbs, SigmaLin;
//   ClassInstance Type="TRTSpectrumHardwareHeader": RealTime and LifeTime
//     in ms;
//   ClassInstance Type="TRTESMAHeader": PrimaryEnergy, the beam in kV;
//   Channels: the counts, separated by commas.
// The headers are found at any depth below the spectrum. The spectrum's
// Name attribute is the title. Texts are decoded from the declared
// encoding (UTF-8, Windows-1252, ISO-8859-1 or ASCII) to UTF-8.
Result<Spectrum> readSpx(std::string_view bytes);

} // namespace spectrum
