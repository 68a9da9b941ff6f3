#include "edges.h"

#include "generated/tables.h"

namespace xray {

std::span<const Edge> edgesOf(int Z)
{
    if (Z < 1 || Z > table::LastEdgeZ)
        return {};
    const int first = table::edgeStart[Z];
    return {table::edges + first, std::size_t(table::edgeStart[Z + 1] - first)};
}

const Edge *findEdge(int Z, Shell shell)
{
    // An element's edges are in shell order, at most nine.
    for (const Edge &edge : edgesOf(Z))
        if (edge.shell == shell)
            return &edge;
    return nullptr;
}

} // namespace xray
