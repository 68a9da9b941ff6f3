// A fit of model columns to the filtered spectrum, and what can be read off
// one: the columns of an element, the peaks its lines make, and the peaks
// the fit leaves.
#pragma once

#include "model.h"
#include "nnls.h"
#include "workspace.h"

#include "xray/types.h"

#include <cstddef>
#include <vector>

namespace identify {

// A set of columns fitted together.
struct Fit {
    std::vector<std::size_t> ids;
    std::vector<Tie> ties;
    std::vector<double> amplitudes;
    double chiSquare = 0;
};

// Lines (or sums) of a fit closer than half a FWHM: one peak, at their
// mean energy weighted by counts, named by the line that brings the most.
struct Cluster {
    double energy_eV = 0;
    double fwhm_eV = 0;
    double counts = 0;
    const xray::Line *strongest = nullptr;
    double strongestCounts = 0;
};

// A line, escape or sum peak of the model with the counts it brings.
struct CountedPart {
    const ModelPart *part;
    double counts;
};

// A peak of the filtered residual.
struct ResidualPeak {
    double energy_eV;
    double netCounts;
    double significance;
};

// The positions in the fit of element Z's columns.
std::vector<std::size_t> positionsOf(const Workspace &ws, const Fit &fit, int Z);

// The peaks the lines (or sums) of those positions make, as fitted, by
// energy.
std::vector<Cluster> clusters(const Workspace &ws, const Fit &fit, const std::vector<std::size_t> &positions);

// The maxima of what the fit leaves that stand PeakThreshold standard
// deviations above the noise, above the noise peak's reach; the largest
// first.
std::vector<ResidualPeak> residualPeaks(const Workspace &ws, const Fit &fit);

} // namespace identify
