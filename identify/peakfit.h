// Fitting one group of lines to the raw counts around it, with the
// group's position, width and tail free: how the detector's calibration,
// resolution and incomplete charge collection are measured from a
// spectrum's own peaks.
#pragma once

#include "workgrid.h"

#include <vector>

// A line drawn over a bin, with its tail, costs about this many
// multiply-adds: the unit in which the fits' work counts.
inline constexpr double LineBinWork = 10;

namespace identify {

struct GroupLine {
    double energy_eV; // true energy
    double area;      // relative
    double fwhm_eV;   // the detector's FWHM there, before the fit's scaling
};

struct GroupFitOptions {
    double maxShift_eV = 25;  // the position may move this far either way
    bool fitWidth = true;     // else the FWHM stays as given
    bool fitTail = false;     // else the tail stays at `tail`
    double tail = 0;          // share of the counts in the tail (start or fixed)
    double tailSlope = 2.0;   // its decay length in sigmas
};

struct GroupFit {
    bool ok = false;
    double chiSquare = 0;
    int degrees = 0;          // bins minus parameters
    double shift_eV = 0, shiftError_eV = 0;
    double widthScale = 1, widthScaleError = 0; // FWHM over the given one
    double tail = 0, tailError = 0;
    double counts = 0;        // the group's counts
    double work = 0;          // what the fit took, in multiply-adds (LineBinWork a line over a bin)
};

// Fits amplitude x group + a + b E to the counts of bins b0..b1 (Poisson
// weights), the position, width and tail as the options say, by
// Levenberg-Marquardt with the linear parameters solved at each step.
GroupFit fitGroup(const WorkGrid &grid, std::size_t b0, std::size_t b1, const std::vector<GroupLine> &lines,
                  const GroupFitOptions &options);

// The same with other groups in the window, each with an amplitude of its
// own and the same position, width and tail; `counts` is the first group's.
GroupFit fitGroups(const WorkGrid &grid, std::size_t b0, std::size_t b1,
                   const std::vector<std::vector<GroupLine>> &groups, const GroupFitOptions &options);

} // namespace identify
