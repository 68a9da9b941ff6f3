// What the X-ray sub-commands (lines, edges, find) share: reading an
// element argument, formatting numbers, and the edge table in both forms.
#pragma once

#include "json.h"

#include <iosfwd>
#include <string>
#include <string_view>

namespace cli {

// printf into a string.
std::string format(const char *pattern, ...) __attribute__((format(printf, 1, 2)));

// The element named by a symbol in any letter case or an atomic number;
// throws UsageError for anything else.
int elementArgument(std::string_view text);

// "Fe (iron, Z = 26)"
std::string elementTitle(int Z);

// An energy in keV without trailing zeros, at most 4 decimals: "6.4",
// "17.4793", "20".
std::string keV(double energy_eV);

// An energy in eV with one decimal, or two where the table has them
// (13393.15, the mean of an unresolved doublet).
std::string eV(double energy_eV);

// x rounded to that many decimals, for the JSON: no binary noise such as
// 3.8999999999996362.
double rounded(double x, int decimals);
// x to that many significant digits.
double significant(double x, int digits);

// Element Z's edges: {"shell","energy_eV","fluorescence_yield","jump_ratio"}
// each, with null where the table has no value.
Json edgesJson(int Z);
// The same as an aligned table with a heading; a line saying so when the
// element has none.
void printEdges(std::ostream &out, int Z);

} // namespace cli
