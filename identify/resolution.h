// The detector's resolution, estimated from a spectrum when nobody gave it.
#pragma once

#include "peaksearch.h"
#include "workgrid.h"

#include "xray/detector.h"

#include <optional>
#include <vector>

namespace identify {

struct FwhmEstimate {
    double fwhmMnKa_eV; // the detector's FWHM at Mn K-alpha
    int peaks;          // how many peaks it rests on
};

// The FWHM at Mn K-alpha that lets the strongest peaks (up to five, of
// significance >= 25, between 1 and 20 keV) be fitted best by the lines
// that could make them. A peak's width alone misleads: most peaks are
// groups of lines (K-alpha1 and 2, L-beta lines, escape doublets) wider
// than one line. So for each peak, each of the line finder's best
// candidates (lines and escape peaks) brings its family's lines near the
// peak with their relative intensities (under electrons of a known beam
// energy, their yields, xray/excitation.h), and is fitted over a straight
// continuum, +-2.5 FWHM around the peak, with its width and its position
// free (a calibration a few eV off must not pass for a wider peak) and the
// usual tail (UsualTail) beneath it (peakfit.h); other peaks found in the
// window are fitted beside it. The candidate that fits best gives the
// peak's FWHM; the estimate is the median over the peaks, weighted by their
// significance squared. Nothing when no peak qualifies. `budget` bounds the
// fitting work (GroupFit::work): past it, the estimate rests on the peaks
// fitted so far.
std::optional<FwhmEstimate> estimateFwhm(const WorkGrid &grid, const std::vector<Peak> &peaks,
                                         xray::Material material, std::optional<double> beam_eV, bool electrons,
                                         double budget);

} // namespace identify
