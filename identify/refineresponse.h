// The detector's response measured on a spectrum's own strong peaks, once
// identification has named them: how far the file's energy calibration is
// off (offset, gain, and a small quadratic term where the peaks support
// it), the resolution, and the share of incomplete charge collection.
#pragma once

#include "peakfit.h"
#include "response.h"
#include "workgrid.h"

#include "xray/detector.h"

#include <optional>
#include <vector>

namespace identify {

// One peak of the identified model: its lines (true energies, relative
// areas) and the counts the fit gave it.
struct FittedGroup {
    std::vector<GroupLine> lines;
    double counts = 0;
};

struct RefinedResponse {
    Response response;
    std::optional<double> fwhmMnKa_eV; // nothing when no peak measured it
    int peaks = 0;                     // how many peaks the refinement rests on
    bool quadratic = false;            // the calibration needed its quadratic term
};

// Measures the response on the groups strong enough, each fitted with the
// other groups that have lines in its window (at most MaxRefineGroups in
// all). `start` is the response the groups were rendered with: its tail,
// where the peaks cannot tell. `budget` bounds the fitting work
// (GroupFit::work): past it, the peaks fitted so far say what they can.
RefinedResponse refineResponse(const WorkGrid &grid, const std::vector<FittedGroup> &groups,
                               const xray::Detector &detector, const Response &start, bool refineWidth,
                               double budget = 1e300);

} // namespace identify
