// What the reference-data core must guarantee on any input, as checks that
// report a failure in words. The fuzz targets run them on every input they
// try; tests/tst_db_regressions.cpp runs them on the inputs kept in
// tests/regressions/. Plain C++, like the core.
#pragma once

#include "data/db.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace checks {

// The fields a grid file should load into, worked out here from the file
// format alone: lines end at LF (a CR just before it is part of the line end),
// a last line may lack its LF, the first line is a header, line r + 1 holds
// row r, and each of a row's first `columns` fields ends at a TAB. Empty
// (no value) when the file has too few lines or a row too few TABs. The
// fields are views into `input`.
template <class Grid>
std::optional<std::vector<std::string_view>> expectedCells(std::string_view input)
{
    std::vector<std::string_view> cells;
    cells.reserve(std::size_t(Grid::rows) * Grid::columns);
    std::size_t position = 0;
    for (int lineNumber = 0; lineNumber <= Grid::rows; ++lineNumber) {
        if (position >= input.size())
            return std::nullopt; // the file ended before this line
        std::size_t end = input.find('\n', position);
        const std::size_t next = end == std::string_view::npos ? input.size() : end + 1;
        if (end == std::string_view::npos)
            end = input.size();
        std::string_view line = input.substr(position, end - position);
        position = next;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (lineNumber == 0)
            continue; // the header
        for (int column = 1; column <= Grid::columns; ++column) {
            const std::size_t tab = line.find('\t');
            if (tab == std::string_view::npos)
                return std::nullopt;
            cells.push_back(line.substr(0, tab));
            line.remove_prefix(tab + 1);
        }
    }
    return cells;
}

// A well-formed file whose cells all differ ("<tag>r.c"), so that a stray or
// shifted cell shows.
template <class Grid>
std::string wellFormedFile(std::string_view tag)
{
    std::string file = "header\r\n";
    for (int row = 1; row <= Grid::rows; ++row) {
        for (int column = 1; column <= Grid::columns; ++column) {
            file += tag;
            file += std::to_string(row) + '.' + std::to_string(column) + '\t';
        }
        file += "\r\n";
    }
    return file;
}

inline std::string at(const char *what, int row, int column)
{
    return std::string(what) + " (row " + std::to_string(row) + ", column " + std::to_string(column) + ")";
}

// The checks after loading `input` into `live`, which held `before`: the
// loader accepts exactly the files the format allows; a refused file leaves
// the grid as it was; an accepted one fills every cell with the bytes of its
// field, so every cell is a piece of the input. Empty when all hold.
template <class Grid>
std::string checkLoad(const Grid &live, const Grid &before, bool loaded, std::string_view input)
{
    const auto expected = expectedCells<Grid>(input);
    if (loaded != expected.has_value())
        return loaded ? "loaded a file the format refuses" : "refused a well-formed file";
    for (int row = 1; row <= Grid::rows; ++row) {
        for (int column = 1; column <= Grid::columns; ++column) {
            const std::string &cell = live(row, column);
            if (!loaded) {
                if (cell != before(row, column))
                    return at("a refused file changed the grid", row, column);
                continue;
            }
            const std::string_view field =
                (*expected)[std::size_t(row - 1) * Grid::columns + std::size_t(column - 1)];
            if (cell != field)
                return at("a cell differs from its field in the file", row, column);
        }
    }
    if (!live(0, 1).empty() || !live(Grid::rows + 1, 1).empty() || !live(1, Grid::columns + 1).empty())
        return "a read outside the grid is not empty";
    return {};
}

// NumericValue's reading by other means, on the C library's strtod. strtod
// accepts more than the data files allow (leading white space of any kind,
// hexadecimal, "inf", "nan"), so those forms are turned away first. strtod's
// decimal mark follows the process locale: call this in the "C" locale.
inline double referenceNumericValue(std::string_view text)
{
    const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    std::string compact;
    for (char c : text)
        if (c != ' ' && c != '\t' && c != '\n')
            compact.push_back(c);
    std::size_t i = 0;
    if (i < compact.size() && (compact[i] == '+' || compact[i] == '-'))
        ++i;
    if (i >= compact.size() || !(isDigit(compact[i]) || compact[i] == '.'))
        return 0.0;
    if (compact[i] == '0' && i + 1 < compact.size() && (compact[i + 1] == 'x' || compact[i + 1] == 'X'))
        return 0.0; // read as "0" followed by other text
    const double value = std::strtod(compact.c_str(), nullptr); // stops at a NUL, as NumericValue does
    return std::isfinite(value) ? value : 0.0;
}

// NumericValue of `text` is finite and agrees with the reference reading.
// Empty when both hold.
inline std::string checkNumericValue(std::string_view text)
{
    const double value = db::NumericValue(text);
    const double reference = referenceNumericValue(text);
    char message[120];
    if (!std::isfinite(value))
        std::snprintf(message, sizeof message, "NumericValue gave %g", value);
    else if (value != reference)
        std::snprintf(message, sizeof message, "NumericValue gave %.17g, strtod reads %.17g", value, reference);
    else
        return {};
    return message;
}

} // namespace checks
