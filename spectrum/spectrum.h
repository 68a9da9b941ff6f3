// The spectrum model: counts per channel, an optional linear energy
// calibration, what the file said about the measurement, and the warnings
// raised while reading it. Plain C++, no Qt.
#pragma once

#include "error.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace spectrum {

// The file formats the readers know. The names are those of `zandor info
// --json`: "emsa", "spx", "text" (energy and counts) and "counts" (counts
// alone, as multichannel analysers write them).
enum class Format { Emsa, Spx, Text, Counts };

std::string_view formatName(Format format);
// "EMSA/MSA", "Bruker spx", "text (energy, counts)", "counts": for people.
std::string_view formatTitle(Format format);

// energy = offset + gain × channel, in eV, channel 0 being the first.
struct Calibration {
    double offset_eV = 0.0;
    double gain_eV = 1.0; // eV per channel, always > 0 in a Spectrum

    double energy_eV(double channel) const { return offset_eV + gain_eV * channel; }
    double channel(double energy_eV) const { return (energy_eV - offset_eV) / gain_eV; }
    bool operator==(const Calibration &) const = default;
};

// An EMSA keyword as the file wrote it: "#AZIMANGLE-dg: 90." is
// {"AZIMANGLE", "dg", "90."}. The name is in capitals; "##" user keywords
// keep one '#' in front of the name ("#ALPHA-1").
struct Keyword {
    std::string name;
    std::string units;
    std::string value;
    bool operator==(const Keyword &) const = default;
};

// The detector's resolution, where the file gives it: EMSA's FWHMMNKA (the
// full width at half maximum at Mn Kα, eV), or Bruker's SigmaAbs and
// SigmaLin, for which σ² = sigmaAbs + sigmaLin × E with σ and E in keV.
struct Resolution {
    std::optional<double> fwhmMnKa_eV;
    std::optional<double> sigmaAbs_keV2;
    std::optional<double> sigmaLin_keV;
    bool operator==(const Resolution &) const = default;
};

struct Metadata {
    std::optional<double> liveTime_s;
    std::optional<double> realTime_s;
    std::optional<double> beam_kV;
    std::string title;      // UTF-8
    std::string date;       // as the file wrote it
    std::string time;       // as the file wrote it
    std::string owner;
    std::string signalType; // "EDS", "XRF", ... (EMSA's SIGNALTYPE)
    Resolution resolution;
    // EMSA keywords with no field above, in file order, so that writing
    // EMSA again keeps them. Other formats leave it empty.
    std::vector<Keyword> keywords;
    bool operator==(const Metadata &) const = default;
};

struct Spectrum {
    std::vector<double> counts;             // finite; negative ones are kept
    std::optional<Calibration> calibration; // absent: uncalibrated
    Metadata meta;
    std::vector<std::string> warnings;      // one sentence each, no full stop
    Format format = Format::Counts;         // the format it was read from

    std::size_t channels() const { return counts.size(); }
    double totalCounts() const;
    // The energy of a channel, or nothing while uncalibrated.
    std::optional<double> energy_eV(double channel) const;
};

// Limits on what the readers accept. Files beyond them are refused with a
// reason, before reading where possible.
inline constexpr std::size_t MaxChannels = 1'048'576;
inline constexpr unsigned long long MaxFileBytes = 128ull * 1024 * 1024;

} // namespace spectrum
