#include "db.h"

#include <fstream>
#include <memory>

namespace db {

ElementGrid ElementTable;
LineGrid LineTable;

namespace {

// Reads one line without its line end (CR LF, or LF alone) into `line`.
// False at the end of the file or on a read error (such as a directory given
// as the file).
bool readLine(std::ifstream &in, std::string &line)
{
    if (!std::getline(in, line))
        return false;
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return true;
}

// Splits the first `columns` TAB-terminated fields of `line` into row `row`
// of `grid`. False when a field has no TAB after it; what follows the last
// TAB is ignored.
template <class Grid>
bool splitFields(std::string_view line, int row, Grid &grid)
{
    for (int column = 1; column <= Grid::columns; ++column) {
        const std::size_t tab = line.find('\t');
        if (tab == std::string_view::npos)
            return false;
        grid.set(row, column, std::string(line.substr(0, tab)));
        line.remove_prefix(tab + 1);
    }
    return true;
}

// Fills `live` from `fileName`: one header line, then one line per row in
// order. The rows are read into a scratch grid that replaces the live grid
// only when every row was read, so a failed load changes nothing.
template <class Grid>
bool loadGrid(const char *fileName, Grid &live)
{
    std::ifstream file(fileName, std::ios::in | std::ios::binary);
    if (!file.is_open())
        return false;
    auto scratch = std::make_unique<Grid>();
    std::string line;
    if (!readLine(file, line)) // the header, discarded
        return false;
    for (int row = 1; row <= Grid::rows; ++row) {
        if (!readLine(file, line) || !splitFields(line, row, *scratch))
            return false;
    }
    file.close(); // the file is closed before the grid changes
    live.swap(*scratch);
    return true;
}

} // namespace

const char *ElementFileName(std::string_view language)
{
    return language == "br" ? ElementFilePortuguese : ElementFileEnglish;
}

bool LoadElementTable(std::string_view language)
{
    return loadGrid(ElementFileName(language), ElementTable);
}

bool LoadLineTable()
{
    return loadGrid(LineFile, LineTable);
}

} // namespace db
