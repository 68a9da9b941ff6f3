// Element patterns: every line of an element the beam excites, with its
// escape peaks, as columns of the model, one per peak of each subshell
// (lines closer than half a FWHM make one peak), tied to each other within
// the tolerances of settings.h: the peaks of one subshell by the table's
// ratios, the subshells of one family and the families of one element by
// the excitation model's.
#pragma once

#include "nnls.h"
#include "workspace.h"

#include <cstddef>
#include <map>
#include <utility>
#include <vector>

namespace identify {

struct ElementPattern {
    int Z = 0;
    std::vector<std::size_t> ids; // model columns
    std::vector<Tie> ties;        // between positions in ids
};

class Patterns {
public:
    explicit Patterns(Workspace &workspace) : ws_(workspace) {}

    // Element Z's pattern, built (and its columns registered) the first
    // time it is asked for. Empty for an element without a line in the
    // spectrum's range.
    const ElementPattern &pattern(int Z);

    // The pattern's ties, widened by the element's own absorption across
    // its edges, and, when it is `accepted`, by that of each other element
    // of `sample` (see TakeOff_deg). As they are without a beam energy or
    // under X-rays.
    std::vector<Tie> tiesIn(const ElementPattern &pattern, const std::vector<int> &sample, bool accepted);

private:
    // The share of model column id's lines left by absorption in a bulk
    // sample of element Z alone.
    double kept(int Z, std::size_t id);

    Workspace &ws_;
    std::map<int, ElementPattern> patterns_;
    std::map<std::pair<int, std::size_t>, double> kept_; // (absorber Z, column) -> kept
};

} // namespace identify
