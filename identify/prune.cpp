// The search's pruning: weakest first, an element whose lines the others
// explain as well goes. Each pass weighs every element; the last one's costs
// are the elements' significances.
#include "search.h"

#include "settings.h"

#include <algorithm>

namespace identify {

double Search::removalCost(int Z)
{
    // The elements its peaks touch fitted again without it; the others as
    // they are.
    std::vector<int> without;
    for (const int other : accepted_)
        if (other != Z)
            without.push_back(other);
    std::vector<int> free = overlapping(Z, accepted_);
    std::erase(free, Z);
    return fitWith(without, pileUpId_, true, {}, free).chiSquare - current_.chiSquare;
}

void Search::prune()
{
    while (work() < 2 * workBound(options_.maxWork)) {
        rises_.clear();
        for (const int Z : accepted_)
            if (std::find(options_.require.begin(), options_.require.end(), Z) == options_.require.end())
                rises_[Z] = removalCost(Z);
        const auto weakest = std::min_element(rises_.begin(), rises_.end(),
                                              [](const auto &a, const auto &b) { return a.second < b.second; });
        if (weakest == rises_.end()
            || weakest->second
                   >= AcceptChiSquare + PerAmplitudeChiSquare * double(patterns_.pattern(weakest->first).ids.size()))
            return;
        const int Z = weakest->first;
        std::vector<int> free = overlapping(Z, accepted_);
        std::erase(free, Z);
        std::erase(accepted_, Z);
        current_ = fitWith(accepted_, pileUpId_, true, {}, free);
    }
    rises_.clear();
}

} // namespace identify
