#include "db.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <string_view>
#include <system_error>

namespace db {

ElementGrid ElementTable;
LineGrid LineTable;

namespace {

// The whole content of a file, read in one pass. A file is read whole
// rather than line by line: a field of megabytes would otherwise be copied
// again each time its line grows, and a load must stay quick whatever the
// file holds.
class FileBytes {
public:
    // False when the file cannot be opened or read (such as a directory
    // given as the file).
    bool read(const char *fileName)
    {
        std::ifstream file(fileName, std::ios::in | std::ios::binary);
        if (!file.is_open())
            return false;
        // The size the file has now; should it grow meanwhile, the rest is
        // read too.
        std::error_code error;
        std::uintmax_t expected = std::filesystem::file_size(fileName, error);
        if (error || expected > std::uintmax_t(1) << 40)
            expected = 0;
        std::size_t capacity = std::max<std::size_t>(std::size_t(expected) + 1, 64 * 1024);
        bytes_ = std::make_unique_for_overwrite<char[]>(capacity);
        size_ = 0;
        for (;;) {
            file.read(bytes_.get() + size_, std::streamsize(capacity - size_));
            size_ += std::size_t(file.gcount());
            if (file.bad())
                return false;
            if (size_ < capacity)
                return true; // the end of the file
            capacity *= 2;
            auto larger = std::make_unique_for_overwrite<char[]>(capacity);
            std::memcpy(larger.get(), bytes_.get(), size_);
            bytes_ = std::move(larger);
        }
    }

    std::string_view text() const { return {bytes_.get(), size_}; }

private:
    std::unique_ptr<char[]> bytes_;
    std::size_t size_ = 0;
};

// The next line of `text` from `pos` on, without its line end (CR LF, or LF
// alone); `pos` moves past it. False when no line is left.
bool nextLine(std::string_view text, std::size_t &pos, std::string_view &line)
{
    if (pos >= text.size())
        return false;
    std::size_t end = text.find('\n', pos);
    const std::size_t next = end == std::string_view::npos ? text.size() : end + 1;
    if (end == std::string_view::npos)
        end = text.size();
    line = text.substr(pos, end - pos);
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    pos = next;
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
// only when every row was read, so a failed load changes nothing. The file
// is closed before the grid changes.
template <class Grid>
bool loadGrid(const char *fileName, Grid &live)
{
    FileBytes file;
    if (!file.read(fileName))
        return false;
    const std::string_view text = file.text();
    auto scratch = std::make_unique<Grid>();
    std::size_t pos = 0;
    std::string_view line;
    if (!nextLine(text, pos, line)) // the header, discarded
        return false;
    for (int row = 1; row <= Grid::rows; ++row) {
        if (!nextLine(text, pos, line) || !splitFields(line, row, *scratch))
            return false;
    }
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
