// Texts of the data grids for display.
#pragma once

#include <QString>

#include <string>
#include <string_view>

// The 8-bit Windows-1252 bytes of a grid cell as Unicode.
QString FromAnsi(std::string_view bytes);

// The most characters of one data field that the window shows. A data file
// may hold a field of any length, and laying out, measuring and painting a
// text takes time in proportion to its length: a name of megabytes would
// hold the window up for seconds. The shipped fields are at most a few dozen
// characters long.
inline constexpr qsizetype MaxShownChars = 256;

// The mark that ends a text cut short for display.
inline constexpr char16_t CutMark = u'\u2026'; // "…"

// A grid cell as the window shows it: decoded, and, when it is longer than
// MaxShownChars characters, its first MaxShownChars - 1 characters followed
// by CutMark. Only the characters shown are decoded.
QString ShownText(std::string_view bytes);
