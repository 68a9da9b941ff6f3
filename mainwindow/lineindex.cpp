#include "lineindex.h"

#include "data/db.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

namespace lineindex {

namespace {

std::vector<LineRow> rows; // sorted by atomic number, file order kept
bool built = false;
std::uint64_t builtFrom = 0; // LineTable::stamp() of the rows

void build()
{
    rows.clear();
    for (int r = 1; r <= db::LineRows; ++r) {
        const int line = LineOf(db::LineTable(r, 4));
        if (line < 0)
            continue;
        rows.push_back({db::NumericValue(db::LineTable(r, 3)), db::NumericValue(db::LineTable(r, 2)), line});
    }
    // NumericValue never gives NaN, so < orders every key; 0 and -0 compare
    // equal, as they do in the view's own comparison.
    std::stable_sort(rows.begin(), rows.end(),
                     [](const LineRow &a, const LineRow &b) { return a.atomicNumber < b.atomicNumber; });
    built = true;
    builtFrom = db::LineTable.stamp();
}

} // namespace

int LineOf(std::string_view name)
{
    static constexpr std::array<std::string_view, LineCount> names{"ka1", "ka2", "kb", "la1",
                                                                  "la2", "lb1", "lb2", "lg1"};
    if (name.size() < 2 || name.size() > 3)
        return -1;
    char lower[3];
    for (std::size_t i = 0; i < name.size(); ++i) {
        const char c = name[i];
        lower[i] = c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
    }
    const std::string_view lowered(lower, name.size());
    for (int i = 0; i < LineCount; ++i)
        if (names[std::size_t(i)] == lowered)
            return i;
    return -1;
}

std::span<const LineRow> RowsOf(double z)
{
    if (!built || builtFrom != db::LineTable.stamp())
        build();
    struct ByAtomicNumber {
        bool operator()(const LineRow &row, double key) const { return row.atomicNumber < key; }
        bool operator()(double key, const LineRow &row) const { return key < row.atomicNumber; }
    };
    const auto [first, last] = std::equal_range(rows.begin(), rows.end(), z, ByAtomicNumber());
    return {first, last};
}

void Invalidate() { built = false; }

} // namespace lineindex
