// The explanations: the identification as its reader sees it, from what the
// search found. Each peak is given to the line, escape or sum that puts the
// most counts within half a FWHM of it, or left unexplained with why; each
// element gets its confidence, its lines that explain peaks and why it was
// found; the notes say what the search could not take apart.
#pragma once

#include "fit.h"
#include "identify.h"
#include "workspace.h"

#include <map>
#include <utility>
#include <vector>

namespace identify {

// What the search leaves for the explanations.
struct Outcome {
    Fit fit;                            // the final fit
    std::vector<int> accepted;          // the elements found, in the order they were taken
    std::map<int, double> significance; // of each, in standard deviations
    std::map<int, ElementReason> reasons; // why each was taken
    std::map<int, bool> uncontested;    // taken without a rival that passed every check
    std::vector<std::pair<double, PeakReason>> unexplained; // peaks the search tried in vain (energy), and why
    std::vector<Note> notes;
};

// The elements, peaks and notes of the outcome. peaks: those the peak
// search found; residual peaks the final fit leaves join them.
Identification explain(const Workspace &ws, const Outcome &outcome, const std::vector<Peak> &peaks,
                       const IdentifyOptions &options);

} // namespace identify
