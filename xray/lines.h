// The X-ray line table: every K, L and M line of B (5) .. Cf (98) with its
// energy and relative intensity (xray/data/lines.tsv, compiled in).
#pragma once

#include "types.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace xray {

// Every line, element by element, each element's lines by energy.
std::span<const Line> allLines();

// Element Z's lines by energy; empty for an element without lines.
std::span<const Line> linesOf(int Z);

// Lines in ascending energy, a view on the table's energy index.
class LinesByEnergy {
public:
    class iterator {
    public:
        using value_type = Line;
        using difference_type = std::ptrdiff_t;
        iterator() = default;
        explicit iterator(const std::uint16_t *at) : at_(at) {}
        const Line &operator*() const;
        const Line *operator->() const { return &**this; }
        iterator &operator++() { ++at_; return *this; }
        iterator operator++(int) { iterator was = *this; ++at_; return was; }
        bool operator==(const iterator &) const = default;

    private:
        const std::uint16_t *at_ = nullptr;
    };

    LinesByEnergy(const std::uint16_t *first, const std::uint16_t *last) : first_(first), last_(last) {}
    iterator begin() const { return iterator(first_); }
    iterator end() const { return iterator(last_); }
    std::size_t size() const { return std::size_t(last_ - first_); }
    bool empty() const { return first_ == last_; }

private:
    const std::uint16_t *first_;
    const std::uint16_t *last_;
};

// All lines by energy, and those with lowEv <= energy <= highEv (a binary
// search; no allocation).
LinesByEnergy linesByEnergy();
LinesByEnergy linesBetween(double low_eV, double high_eV);

// The energy of the edge of the line's initial shell: the line is excited
// only by a beam above it.
double excitationEdge_eV(const Line &line);

// True when a beam of that energy (eV) excites the line: its initial
// shell's edge lies below the beam energy. Without a beam energy, every line
// counts as excited.
bool isExcited(const Line &line, std::optional<double> beam_eV);

// Element Z's line of that name, IUPAC ("KL3", "L3O45") or Siegbahn ("Ka1",
// "Lb5"), in any letter case; where a Siegbahn name stands for two lines
// (Kb2: KN2 and KN3) the stronger. Null when there is none.
const Line *findLine(int Z, std::string_view name);

// A line written as element and name, "Fe Ka1", "fe KL3", "26 La1"; null
// when either part is unknown.
const Line *parseLine(std::string_view text);

// A Siegbahn name with its Greek letter, in UTF-8: "Ka1" -> "Kα1",
// "Lb2" -> "Lβ2", "Lg1" -> "Lγ1", "Ll" -> "Lℓ", "Ln" -> "Lη",
// "Mz1" -> "Mζ1"; the Latin Ls, Lt, Lu, Lv stay as they are, and so does
// an IUPAC name ("M2N4").
std::string siegbahnGreek(std::string_view siegbahn);

// A line's name for people: its Siegbahn name ("Ka1", "Lb2"), or its IUPAC
// name where it has none ("M2N4"). ASCII, as the command line writes it.
std::string_view displayName(const Line &line);
// The same with the Siegbahn name's Greek letter, in UTF-8: "Kα1", "M2N4".
std::string displayNameGreek(const Line &line);
// The group of lines it belongs to, named the same way: the first two
// letters of its Siegbahn name ("Ka" for Ka1 and Ka2, "Lb" for every
// L-beta line), or its IUPAC name where it has none.
std::string_view displayGroup(const Line &line);

// How a line is labelled for people: its element and displayNameGreek,
// "Fe Kα1", "Pb M2N4".
std::string lineLabel(const Line &line);

} // namespace xray
