// The X-ray lines of each element, looked up once in LineTable rather than on
// every display of an element.
//
// The detail view runs on every pointer move and wants the lines of one
// element; LineTable has 588 rows. The index holds, for every row whose name
// is one of the eight lines the line grid shows, its atomic number and energy
// (both read with NumericValue) and which line it is, grouped by atomic
// number and in file order within a group. It is built on first use and
// built again when LineTable's content has changed since.
#pragma once

#include <span>
#include <string_view>

namespace lineindex {

// The lines of the line grid, in the order of its rows.
enum Line { Ka1, Ka2, Kb, La1, La2, Lb1, Lb2, Lg1 };
constexpr int LineCount = 8;

// Which line a name of LineTable column 4 is: the name lower-cased (A to Z
// only; blanks stay) equals "ka1", "ka2", "kb", "la1", "la2", "lb1", "lb2" or
// "lg1". -1 for any other name.
int LineOf(std::string_view name);

struct LineRow {
    double atomicNumber; // column 3
    double energy;       // column 2, eV
    int line;            // a Line
};

// The rows whose atomic number equals z exactly, in file order.
std::span<const LineRow> RowsOf(double z);

// The next RowsOf() builds the index anew, whether LineTable changed or not.
void Invalidate();

} // namespace lineindex
