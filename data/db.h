// Reference data of the program: the element grid, the X-ray line grid,
// their loaders and the numeric reading of a text field.
//
// Plain C++ (standard library only). Files are opened by bare name in the
// current working directory and read as raw 8-bit (Windows-1252) bytes; the
// grids keep those bytes unchanged. Use DecodeWindows1252 (cp1252.h) to turn
// a cell into Unicode for display.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

namespace db {

// A stamp that no grid content has had before: every change of a grid's
// cells takes a new one. Process-wide, so a stamp also tells apart the
// contents of different grids.
inline std::uint64_t NewGridStamp()
{
    static std::atomic<std::uint64_t> last{0};
    return ++last;
}

// A fixed grid of texts with 1-based rows and columns. Reading a cell outside
// the grid gives an empty text; nothing ever reads or writes outside it.
template <int Rows, int Columns>
class TextGrid {
public:
    static constexpr int rows = Rows;
    static constexpr int columns = Columns;

    const std::string &operator()(int row, int column) const
    {
        static const std::string empty;
        if (!contains(row, column))
            return empty;
        return cells_[index(row, column)];
    }

    void set(int row, int column, std::string text)
    {
        if (contains(row, column)) {
            cells_[index(row, column)] = std::move(text);
            stamp_ = NewGridStamp();
        }
    }

    static constexpr bool contains(int row, int column)
    {
        return row >= 1 && row <= Rows && column >= 1 && column <= Columns;
    }

    void swap(TextGrid &other) noexcept
    {
        cells_.swap(other.cells_);
        std::swap(stamp_, other.stamp_);
    }

    // Identifies the grid's content: it changes with every set(), moves with
    // the cells on swap() and is copied along with them, so two equal stamps
    // mean equal cells. Lets a reader keep values worked out from the cells
    // and see when they are out of date. 0 for a grid never written.
    std::uint64_t stamp() const { return stamp_; }

private:
    static constexpr std::size_t index(int row, int column)
    {
        return std::size_t(row - 1) * Columns + std::size_t(column - 1);
    }
    std::array<std::string, std::size_t(Rows) * Columns> cells_{};
    std::uint64_t stamp_ = 0;
};

constexpr int ElementRows = 109;
constexpr int ElementColumns = 18;
constexpr int LineRows = 588;
constexpr int LineColumns = 4;

using ElementGrid = TextGrid<ElementRows, ElementColumns>;
using LineGrid = TextGrid<LineRows, LineColumns>;

// The two grids, owned by this module for the whole run. They start empty and
// are only replaced by their loaders.
extern ElementGrid ElementTable;
extern LineGrid LineTable;

// File names, looked up in the current working directory.
inline constexpr const char *ElementFileEnglish = "elements.inf";
inline constexpr const char *ElementFilePortuguese = "elements_br.inf";
inline constexpr const char *LineFile = "kl_lines.inf";

// "br" (exactly) names the Portuguese edition; anything else the English one.
const char *ElementFileName(std::string_view language);

// Load ElementTable from the edition chosen by `language`. True when all 109
// rows were read. A failed load leaves ElementTable exactly as it was.
bool LoadElementTable(std::string_view language);

// Load LineTable from kl_lines.inf. True when all 588 rows were read. A failed
// load leaves LineTable exactly as it was.
bool LoadLineTable();

// The leading number of a text. Blanks, TABs and line feeds anywhere are
// skipped; then sign, digits, optional "." and digits, optional exponent
// (E or e, optional sign, digits). "." is the decimal mark whatever the
// locale. A text without a usable number, or a number too large for a
// double, gives 0; the result is never NaN or infinite.
double NumericValue(std::string_view text);

} // namespace db
