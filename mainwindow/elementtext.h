// The texts of ElementTable as the window shows them, decoded once.
//
// The detail view and the search boxes read the same cells on every pointer
// move and every keystroke: the number of each row, its symbol, its name.
// Decoding a cell from Windows-1252 and reading a number from it each time
// cost more than all the rest of a lookup. These hold the decoded texts, the
// numbers of column 1 and the lower-cased symbols, row by row as they are
// first asked for, and start afresh whenever ElementTable's content changes
// (a load, a language switch, a test writing cells).
#pragma once

#include <QString>

namespace elementtext {

// ElementTable(row, column) as Unicode; empty outside the grid.
const QString &Cell(int row, int column);

// NumericValue of ElementTable(row, 1): the row's atomic number as the table
// gives it. 0 outside the grid.
double Number(int row);

// ElementTable(row, 2) as Unicode, lower-cased; empty outside the grid.
const QString &LowerSymbol(int row);

} // namespace elementtext
