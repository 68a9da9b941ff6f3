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

std::vector<const Line *> sumLines(std::span<const int> elements, std::optional<double> beam_eV,
                                   double minRelative)
{
    std::vector<const Line *> strong;
    std::array<bool, LastLineZ + 1> seen{};
    for (const int Z : elements) {
        if (!hasLines(Z) || seen[std::size_t(Z)])
            continue;
        seen[std::size_t(Z)] = true;
        for (const Line &line : linesOf(Z))
            if (line.relative >= minRelative && isExcited(line, beam_eV))
                strong.push_back(&line);
    }
    std::sort(strong.begin(), strong.end(),
              [](const Line *a, const Line *b) { return a->energy_eV < b->energy_eV; });
    return strong;
}

std::vector<SumPeak> sumPeaks(std::span<const int> elements, std::optional<double> beam_eV,
                              double minRelative)
{
    const std::vector<const Line *> strong = sumLines(elements, beam_eV, minRelative);
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
