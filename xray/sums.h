// Sum (pile-up) peaks: two photons that reach the detector together and
// are counted as one of the summed energy.
#pragma once

#include "types.h"

#include <optional>
#include <span>
#include <vector>

namespace xray {

struct SumPeak {
    const Line *first;  // the lower-energy line (either, for two equal ones)
    const Line *second;
    double energy_eV;   // first + second
    double relative;    // the product of the two lines' relative intensities: the
                        // size, in proportion, of the sum peak
};

SumPeak sumOf(const Line &a, const Line &b);

// Lines of relative intensity at least this form sum peaks.
inline constexpr double DefaultSumMinRelative = 0.1;

// The lines of these elements that form sum peaks: relative intensity >=
// minRelative, excited by a beam of beam_eV; by energy. Elements outside the
// table are ignored, and one given twice counts once.
std::vector<const Line *> sumLines(std::span<const int> elements, std::optional<double> beam_eV,
                                   double minRelative = DefaultSumMinRelative);

// The sum peaks of every pair (a line with itself included) of the strong
// lines of these elements (relative intensity >= minRelative) that a beam of
// beam_eV excites, by energy. Elements outside the table are ignored.
std::vector<SumPeak> sumPeaks(std::span<const int> elements, std::optional<double> beam_eV,
                              double minRelative = DefaultSumMinRelative);

} // namespace xray
