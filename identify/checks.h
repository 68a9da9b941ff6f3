// The checks a candidate (an element, or the sum peaks) must pass to be
// taken for a peak, and the terms it must meet: the share of the peak it
// explains, its strong partner lines that must show, a hard line that must
// show when the peak is soft (settings.h gives the limits); and whether a
// residual peak is a line at all.
#pragma once

#include "fit.h"
#include "patterns.h"
#include "reasons.h"
#include "workspace.h"

#include <cstddef>
#include <optional>
#include <vector>

namespace identify {

// A subject (positions in a fit) checked against the data.
struct Check {
    double explained = 0;           // the share of the target peak it explains
    std::vector<Cluster> missing;   // its strong partner peaks that are missing
    std::optional<Cluster> unseen;  // a hard line that must show and does not
};

// Checks a subject against the data at the target peak; `others`: the
// model's values without the subject, and their spread (for the noise,
// Workspace::noise). A family of the subject that the beam excites well
// (MinFamilyOvervoltage) counts as a partner too.
Check check(const Workspace &ws, const Fit &fit, const std::vector<std::size_t> &subject, double target_eV,
            const std::vector<double> &others, const std::vector<double> &othersSpread);

// Why element Z, checked so, is refused; nothing when it is not.
std::optional<Rival> refusal(int Z, const Check &check);

// The chi-square drop an element must bring for the peak at target_eV
// (AcceptChiSquare, or OnWindowEdgeChiSquare when that peak or the
// element's strongest line lies within a FWHM below a step of the
// continuum: whatever is proposed there is confounded with the step).
double acceptance(const Workspace &ws, const ElementPattern &pattern, double target_eV);

// The continuum's steps within three FWHM of an element's lines: they
// compete with it for what lies there.
std::vector<std::size_t> stepsNear(const Workspace &ws, const ElementPattern &pattern);

// Whether a residual peak of the fit `current` is shaped like a line
// rather than a hump: against what the model leaves, over +-3 FWHM, a line
// of the detector's width at the target and a hump three times as wide
// (the continuum's curvature, a Compton peak); the line must stand out on
// its own by PeakThreshold standard deviations.
bool lineLike(const Workspace &ws, const Fit &current, const ResidualPeak &target);

} // namespace identify
