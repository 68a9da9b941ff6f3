// The absorption edge table: K, L1-L3 and M1-M5 edges of H (1) .. Cf (98)
// with fluorescence yields and jump ratios (xray/data/edges.tsv, compiled in).
#pragma once

#include "types.h"

#include <span>

namespace xray {

// Element Z's edges, from K outwards; empty outside 1..98.
std::span<const Edge> edgesOf(int Z);

// Element Z's edge of that shell; null where the table has none.
const Edge *findEdge(int Z, Shell shell);

} // namespace xray
