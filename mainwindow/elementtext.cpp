#include "elementtext.h"

#include "data/db.h"
#include "uicommon/ansi.h"

#include <array>
#include <cstdint>
#include <string_view>

namespace elementtext {

namespace {

struct Row {
    bool ready = false;
    std::array<QString, db::ElementColumns> cells; // columns 1 to 18, as shown
    double number = 0;
    QString lowerSymbol;
};

struct Rows {
    std::uint64_t stamp = 0; // ElementTable::stamp() the rows were read from
    std::array<Row, db::ElementRows> rows;
};

// The row, decoded from the grid's current content. Nullptr outside the grid.
const Row *row(int r)
{
    if (r < 1 || r > db::ElementRows)
        return nullptr;
    static Rows cache;
    if (cache.stamp != db::ElementTable.stamp()) {
        for (Row &each : cache.rows)
            each.ready = false;
        cache.stamp = db::ElementTable.stamp();
    }
    Row &entry = cache.rows[std::size_t(r - 1)];
    if (!entry.ready) {
        for (int c = 1; c <= db::ElementColumns; ++c)
            entry.cells[std::size_t(c - 1)] = ShownText(db::ElementTable(r, c));
        entry.number = db::NumericValue(db::ElementTable(r, 1));
        const std::string_view symbol = db::ElementTable(r, 2);
        entry.lowerSymbol = FromAnsi(symbol.substr(0, std::size_t(MaxTypedChars + 1))).toLower();
        entry.ready = true;
    }
    return &entry;
}

const QString &none()
{
    static const QString empty;
    return empty;
}

} // namespace

const QString &Cell(int r, int column)
{
    const Row *entry = row(r);
    if (!entry || column < 1 || column > db::ElementColumns)
        return none();
    return entry->cells[std::size_t(column - 1)];
}

double Number(int r)
{
    const Row *entry = row(r);
    return entry ? entry->number : 0;
}

const QString &LowerSymbol(int r)
{
    const Row *entry = row(r);
    return entry ? entry->lowerSymbol : none();
}

} // namespace elementtext
