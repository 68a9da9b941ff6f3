// Writing spectra to files: EMSA/MSA and CSV.
#pragma once

#include "spectrum.h"

#include <optional>
#include <string>
#include <string_view>

namespace spectrum {

// The spectrum as CSV: a header line, then one line per channel, LF line
// ends. Calibrated: "energy_keV,counts" with the channel's energy in keV;
// uncalibrated: "channel,counts".
std::string csvText(const Spectrum &spectrum);

// Writes `bytes` as the file `path`: into a new file beside it, flushed to
// the disk and then renamed over `path`, so that a failed write (a full
// disk, a directory without write permission, a path that does not exist)
// leaves an existing file as it was and never passes for a success.
// Nothing on success, the reason otherwise.
[[nodiscard]] std::optional<Error> writeFileAtomically(const std::string &path, std::string_view bytes);

// emsaText or csvText, written with writeFileAtomically.
[[nodiscard]] std::optional<Error> writeEmsa(const Spectrum &spectrum, const std::string &path);
[[nodiscard]] std::optional<Error> writeCsv(const Spectrum &spectrum, const std::string &path);

} // namespace spectrum
