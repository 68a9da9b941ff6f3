// The X-ray core's value types: shells, line families, lines, edges and a
// detector element's escaping lines. Plain aggregates, so that the compiled
// tables (xray/generated/) are constant data initialised at compile time.
#pragma once

#include <cstdint>
#include <string_view>

namespace xray {

// The line families: lines from a K, an L or an M vacancy.
enum class Family : std::uint8_t { K, L, M };

// The shells whose vacancies give the table's lines, and their edges.
enum class Shell : std::uint8_t { K, L1, L2, L3, M1, M2, M3, M4, M5 };
inline constexpr int ShellCount = 9;

constexpr std::string_view familyName(Family family)
{
    constexpr std::string_view names[] = {"K", "L", "M"};
    return names[static_cast<int>(family)];
}

constexpr std::string_view shellName(Shell shell)
{
    constexpr std::string_view names[] = {"K", "L1", "L2", "L3", "M1", "M2", "M3", "M4", "M5"};
    return names[static_cast<int>(shell)];
}

constexpr Family familyOf(Shell shell)
{
    return shell == Shell::K ? Family::K : shell <= Shell::L3 ? Family::L : Family::M;
}

// One X-ray line of one element.
struct Line {
    std::uint8_t Z;
    Family family;
    Shell shell;           // the initial vacancy: the line is excited above its edge
    char iupacName[6];     // "KL3", "L3M5", "L3O45" (an unresolved doublet)
    char siegbahnName[6];  // ASCII: "Ka1", "Lb2", "Ll", "Mz1"; empty where none exists
    double energy_eV;
    double relative;       // intensity within its family of its element; strongest = 1

    constexpr std::string_view iupac() const { return iupacName; }
    constexpr std::string_view siegbahn() const { return siegbahnName; }
};

// One absorption edge of one element. 0 stands where the source has no value.
struct Edge {
    std::uint8_t Z;
    Shell shell;
    double energy_eV;
    double fluorescenceYield;
    double jumpRatio;
};

// A K line of a detector element that can leave the detector, taking its
// energy from the pulse: the cause of escape peaks.
struct EscapeLine {
    std::uint8_t Z;         // the detector element
    char iupacName[4];      // "KL3" (stands for K-alpha) or "KM3" (K-beta)
    double energy_eV;
    double share;           // of the element's K radiative rate
    double kEdge_eV;
    double fluorescenceYield; // of the K shell
    double jumpRatio;         // of the K edge
    double massFraction;      // of the element in the detector material

    constexpr std::string_view iupac() const { return iupacName; }
};

} // namespace xray
