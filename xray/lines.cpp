#include "lines.h"

#include "edges.h"
#include "elements.h"
#include "textutil.h"
#include "generated/tables.h"

#include <algorithm>

namespace xray {

std::span<const Line> allLines()
{
    return {table::lines, std::size_t(table::LineCount)};
}

std::span<const Line> linesOf(int Z)
{
    if (!hasLines(Z))
        return {};
    const int first = table::lineStart[Z];
    return {table::lines + first, std::size_t(table::lineStart[Z + 1] - first)};
}

const Line &LinesByEnergy::iterator::operator*() const
{
    return table::lines[*at_];
}

LinesByEnergy linesByEnergy()
{
    return {table::byEnergy, table::byEnergy + table::LineCount};
}

LinesByEnergy linesBetween(double low_eV, double high_eV)
{
    const double *energies = table::energiesSorted;
    const double *end = energies + table::LineCount;
    // NaN bounds give an empty range: no comparison with them is true.
    if (!(low_eV <= high_eV))
        return {table::byEnergy, table::byEnergy};
    const double *first = std::lower_bound(energies, end, low_eV);
    const double *last = std::upper_bound(first, end, high_eV);
    return {table::byEnergy + (first - energies), table::byEnergy + (last - energies)};
}

double excitationEdge_eV(const Line &line)
{
    const Edge *edge = findEdge(line.Z, line.shell);
    return edge ? edge->energy_eV : 0.0;
}

bool isExcited(const Line &line, std::optional<double> beam_eV)
{
    return !beam_eV || excitationEdge_eV(line) < *beam_eV;
}

const Line *findLine(int Z, std::string_view name)
{
    name = trimmed(name);
    const Line *best = nullptr;
    for (const Line &line : linesOf(Z)) {
        if (equalsIgnoringCase(name, line.iupac()))
            return &line;
        if (!line.siegbahn().empty() && equalsIgnoringCase(name, line.siegbahn())
            && (!best || line.relative > best->relative))
            best = &line;
    }
    return best;
}

const Line *parseLine(std::string_view text)
{
    text = trimmed(text);
    const std::size_t blank = text.find_first_of(" \t");
    if (blank == std::string_view::npos)
        return nullptr;
    const std::optional<int> Z = parseElement(text.substr(0, blank));
    return Z ? findLine(*Z, text.substr(blank + 1)) : nullptr;
}

std::string siegbahnGreek(std::string_view siegbahn)
{
    struct Letter {
        char ascii;
        const char *utf8;
    };
    static constexpr Letter letters[] = {
        {'a', "α"}, {'b', "β"}, {'g', "γ"}, {'z', "ζ"}, {'n', "η"}, {'l', "ℓ"},
    };
    std::string out(siegbahn.substr(0, 1));
    if (siegbahn.size() < 2)
        return out;
    const auto letter = std::find_if(std::begin(letters), std::end(letters),
                                     [&](const Letter &l) { return l.ascii == siegbahn[1]; });
    if (letter != std::end(letters))
        out += letter->utf8;
    else
        out += siegbahn[1];
    out += siegbahn.substr(2);
    return out;
}

std::string_view displayName(const Line &line)
{
    return line.siegbahn().empty() ? line.iupac() : line.siegbahn();
}

std::string displayNameGreek(const Line &line) { return siegbahnGreek(displayName(line)); }

std::string_view displayGroup(const Line &line)
{
    return line.siegbahn().empty() ? line.iupac() : line.siegbahn().substr(0, 2);
}

std::string lineLabel(const Line &line)
{
    std::string label(elementSymbol(line.Z));
    label += ' ';
    label += displayNameGreek(line);
    return label;
}

} // namespace xray
