// Log-log interpolation in the compiled tables of attenuation and
// photoionisation: points by energy, an absorption edge as two points at
// one energy (the value below it, then above).
#pragma once

#include "generated/tables.h"

namespace xray::table {

// The value at energy_eV between the points, log-log; at an edge the value
// above it. Outside the points, extrapolated from the end segments. count
// must be at least 2.
double interpolateLogLog(const AttenuationPoint *points, int count, double energy_eV);

} // namespace xray::table
