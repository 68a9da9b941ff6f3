#include "db.h"

#include <sys/mman.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace db {

ElementGrid ElementTable;
LineGrid LineTable;

namespace {

// Asks the kernel to back [data, data + size) with huge pages where it can.
// A file of tens of megabytes then costs a few dozen page faults instead of
// thousands, which is most of the time of reading it into fresh memory.
void adviseHugePages(char *data, std::size_t size)
{
#ifdef MADV_HUGEPAGE
    constexpr std::uintptr_t Huge = std::uintptr_t(2) << 20;
    const std::uintptr_t begin = (reinterpret_cast<std::uintptr_t>(data) + Huge - 1) & ~(Huge - 1);
    const std::uintptr_t end = (reinterpret_cast<std::uintptr_t>(data) + size) & ~(Huge - 1);
    if (end > begin)
        ::madvise(reinterpret_cast<void *>(begin), end - begin, MADV_HUGEPAGE);
#else
    (void)data;
    (void)size;
#endif
}

// The whole content of `fileName`, read in one pass into `bytes`. False when
// the file cannot be opened or read (such as a directory given as the file).
bool readFile(const char *fileName, std::string &bytes)
{
    std::ifstream file(fileName, std::ios::in | std::ios::binary);
    if (!file.is_open())
        return false;
    // The file as it is now, read straight into place; should it grow
    // meanwhile, the rest is read too.
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(fileName, error);
    if (!error && size > 0 && size < bytes.max_size()) {
        bytes.reserve(std::size_t(size));
        adviseHugePages(bytes.data(), bytes.capacity());
        bytes.resize(std::size_t(size));
        file.read(bytes.data(), std::streamsize(size));
        bytes.resize(std::size_t(file.gcount()));
        if (!file)
            return !file.bad();
    }
    char chunk[64 * 1024];
    while (file.read(chunk, sizeof chunk) || file.gcount() > 0)
        bytes.append(chunk, std::size_t(file.gcount()));
    return !file.bad();
}

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

// Where a field lies in the file's text.
struct Span {
    std::size_t offset = 0, size = 0;
};

// The spans of the first `Columns` TAB-terminated fields of `line`, which
// starts at `offset` in the text. False when a field has no TAB after it;
// what follows the last TAB is ignored.
template <int Columns>
bool splitFields(std::string_view line, std::size_t offset, Span *fields)
{
    for (int column = 0; column < Columns; ++column) {
        const std::size_t tab = line.find('\t');
        if (tab == std::string_view::npos)
            return false;
        fields[column] = {offset, tab};
        line.remove_prefix(tab + 1);
        offset += tab + 1;
    }
    return true;
}

// Fills `live` from `fileName`: one header line, then one line per row in
// order. The file is read whole and closed, its fields found, and only then
// copied into a scratch grid, which replaces the live grid when every row
// was read: a failed load changes nothing.
//
// A file is read in one pass rather than line by line, and a field that
// makes up most of the file takes over the text read instead of being
// copied out of it: a field of megabytes is then copied once, by the read,
// and a load stays quick whatever the file holds.
template <class Grid>
bool loadGrid(const char *fileName, Grid &live)
{
    std::string bytes;
    if (!readFile(fileName, bytes))
        return false;
    const std::string_view text(bytes);
    std::vector<Span> spans(std::size_t(Grid::rows) * Grid::columns);
    std::size_t pos = 0;
    std::string_view line;
    if (!nextLine(text, pos, line)) // the header, discarded
        return false;
    for (int row = 1; row <= Grid::rows; ++row) {
        const std::size_t start = pos;
        if (!nextLine(text, pos, line)
            || !splitFields<Grid::columns>(line, start, &spans[std::size_t(row - 1) * Grid::columns]))
            return false;
    }

    const auto longest = std::max_element(spans.begin(), spans.end(),
                                          [](const Span &a, const Span &b) { return a.size < b.size; });
    const bool takesText = longest->size > text.size() / 2;
    auto scratch = std::make_unique<Grid>();
    for (std::size_t i = 0; i < spans.size(); ++i) {
        if (takesText && spans.begin() + std::ptrdiff_t(i) == longest)
            continue;
        scratch->set(int(i / Grid::columns) + 1, int(i % Grid::columns) + 1,
                     std::string(text.substr(spans[i].offset, spans[i].size)));
    }
    if (takesText) {
        const std::size_t i = std::size_t(longest - spans.begin());
        bytes.erase(0, longest->offset);
        bytes.resize(longest->size);
        scratch->set(int(i / Grid::columns) + 1, int(i % Grid::columns) + 1, std::move(bytes));
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
