// The texts of ElementTable as the window shows them, decoded once.
//
// The detail view and the search boxes read the same cells on every pointer
// move and every keystroke: the number of each row, its symbol, its name.
// Decoding a cell from Windows-1252 and reading a number from it each time
// cost more than all the rest of a lookup. These hold the decoded texts, the
// numbers of column 1 and the lower-cased symbols, row by row as they are
// first asked for, and start afresh whenever ElementTable's content changes
// (a load, a language switch, a test writing cells).
//
// A cell is held as the window shows it (ShownText, ansi.h): a field of
// megabytes is neither decoded nor shown whole. The numbers are read from
// the whole field, as the grid holds it.
#pragma once

#include <QString>

namespace elementtext {

// ElementTable(row, column) as the window shows it; empty outside the grid.
const QString &Cell(int row, int column);

// NumericValue of ElementTable(row, 1): the row's atomic number as the table
// gives it. 0 outside the grid.
double Number(int row);

// The most characters a search box holds (QLineEdit's maxLength).
inline constexpr qsizetype MaxTypedChars = 32767;

// ElementTable(row, 2) as Unicode, lower-cased, for comparing with what a
// search box holds: the whole symbol, or, for a symbol longer than
// MaxTypedChars, its first MaxTypedChars + 1 characters, which, like the
// whole symbol, equal no text of a box and begin with every text that the
// symbol begins with. Empty outside the grid.
const QString &LowerSymbol(int row);

} // namespace elementtext
