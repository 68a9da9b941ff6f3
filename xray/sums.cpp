#include "sums.h"

#include "elements.h"
#include "lines.h"

#include <algorithm>
#include <array>

namespace xray {

SumPeak sumOf(const Line &a, const Line &b)
{
    const bool ordered = a.energy_eV <= b.energy_eV;
    return {ordered ? &a : &b, ordered ? &b : &a, a.energy_eV + b.energy_eV, a.relative * b.relative};
}

std::vector<SumPeak> sumPeaks(std::span<const int> elements, std::optional<double> beam_eV,
                              double minRelative)
{
    std::vector<const Line *> strong;
    std::array<bool, LastLineZ + 1> seen{};
    for (const int Z : elements) {
        if (!hasLines(Z) || seen[Z])
            continue;
        seen[Z] = true;
        for (const Line &line : linesOf(Z))
            if (line.relative >= minRelative && isExcited(line, beam_eV))
                strong.push_back(&line);
    }
    std::vector<SumPeak> sums;
    sums.reserve(strong.size() * (strong.size() + 1) / 2);
    for (std::size_t i = 0; i < strong.size(); ++i)
        for (std::size_t j = i; j < strong.size(); ++j)
            sums.push_back(sumOf(*strong[i], *strong[j]));
    std::sort(sums.begin(), sums.end(),
              [](const SumPeak &a, const SumPeak &b) { return a.energy_eV < b.energy_eV; });
    return sums;
}

} // namespace xray
