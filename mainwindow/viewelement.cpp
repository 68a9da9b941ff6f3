// The element detail view.
#include "form1.h"

#include "data/db.h"
#include "elementtext.h"
#include "energyformat.h"
#include "lineindex.h"
#include "showtext.h"
#include "shrinkfit.h"

#include <QFontMetrics>
#include <QLineEdit>
#include <QLocale>

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>

namespace {

// What the line grid shows for one element: per line its energy and its
// escape energy, "-" where there is none.
struct LineTexts {
    std::array<QString, lineindex::LineCount> energy, escape;
};

// The element's lines, in file order: for each line the last row decides the
// energy, and the last row above the silicon escape energy the escape energy.
// Elements up to silicon itself have no escape peaks.
LineTexts workOutLines(double N, double siEscapeEnergy)
{
    const QString none = QStringLiteral("-");
    LineTexts texts;
    texts.energy.fill(none);
    texts.escape.fill(none);
    for (const lineindex::LineRow &row : lineindex::RowsOf(N)) {
        texts.energy[std::size_t(row.line)] = FormatEnergy(row.energy);
        if (row.energy > siEscapeEnergy && N > 14)
            texts.escape[std::size_t(row.line)] = FormatEnergy(row.energy - siEscapeEnergy);
    }
    return texts;
}

// The line grid of element Z, whose column 1 reads as N. What was worked out
// for an element is kept as long as the line rows, the silicon escape energy
// and the default locale (which renders the energies) stay the same.
LineTexts linesOf(int Z, double N, double siEscapeEnergy)
{
    struct Entry {
        double N;
        LineTexts texts;
    };
    static struct {
        std::uint64_t lineStamp = 0;
        double siEscapeEnergy = 0;
        QLocale locale{QLocale::c()};
        std::array<std::optional<Entry>, db::ElementRows> elements;
    } cache;

    const QLocale locale;
    if (cache.lineStamp != db::LineTable.stamp() || cache.siEscapeEnergy != siEscapeEnergy
        || cache.locale != locale) {
        for (auto &element : cache.elements)
            element.reset();
        cache.lineStamp = db::LineTable.stamp();
        cache.siEscapeEnergy = siEscapeEnergy;
        cache.locale = locale;
    }
    std::optional<Entry> &entry = cache.elements[std::size_t(Z - 1)];
    if (!entry || entry->N != N)
        entry = Entry{N, workOutLines(N, siEscapeEnergy)};
    return entry->texts;
}

// Pixels kept free between the element's name and its share of the earth's
// crust.
constexpr int FootRowGap = 2;

// Bound of the cache of fitted foot rows.
constexpr qsizetype MaxFootRows = 1024;

} // namespace

// Shows element Z: its data in the detail panel and the lookup boxes, its
// X-ray line energies and their silicon escape energies in the line grid.
// A Z outside the element table shows nothing.
//
// Writing the number and the symbol box runs their search handlers, which may
// show an element themselves before this call goes on; the line grid is
// therefore filled last, as for a view that nothing interrupted.
void Form1::ViewElement(int Z)
{
    if (Z < 1 || Z > db::ElementRows)
        return;

    for (int i = PTLabel.first(); i <= PTLabel.last(); ++i)
        ShowCaption(PTLabel(i), elementtext::Cell(Z, i));
    fitFootRow();

    ShowText(ElementText1, elementtext::Cell(Z, 1));
    ShowText(ElementText2, elementtext::Cell(Z, 2));
    ShowText(ElementText3, elementtext::Cell(Z, 3));

    const LineTexts lines = linesOf(Z, elementtext::Number(Z), SiEscapeEnergy);
    const std::array<const ControlArray<QLineEdit, 0, 2> *, lineindex::LineCount> grid{
        &PTLineKa1, &PTLineKa2, &PTLineKb, &PTLineLa1, &PTLineLa2, &PTLineLb1, &PTLineLb2, &PTLineLg1};
    for (std::size_t i = 0; i < grid.size(); ++i) {
        ShowText((*grid[i])(1), lines.energy[i]);
        ShowText((*grid[i])(2), lines.escape[i]);
    }
}

// The element's name (PTLabel(3)) and its share of the earth's crust
// (PTLabel(8)) share the foot row of the large cell: the name from the left,
// the share up to the right edge where all values end. Where the two would
// come closer than FootRowGap, or the name would run out of the cell, both
// are drawn smaller, the same number of steps each (shrinkfit.h), until they
// fit; otherwise both keep their design font.
void Form1::fitFootRow()
{
    Label *name = PTLabel(3);
    Label *share = PTLabel(8);
    const std::pair<QString, QString> key{name->text(), share->text()};
    int steps = 0;
    if (const auto found = footRowSteps_.constFind(key); found != footRowSteps_.cend()) {
        steps = *found;
    } else {
        const QFont nameDesign = name->designFont();
        const QFont shareDesign = share->designFont();
        const int left = name->geometry().left();
        const int shareRight = share->geometry().right() + 1; // kept by auto-size
        const QWidget *cell = name->parentWidget();
        const int inside = cell->contentsRect().right() + 1;
        steps = shrinkfit::FewestSteps(nameDesign, [&](int s) {
            int limit = inside;
            if (!share->text().isEmpty()) {
                const QFontMetrics shareMetrics(shrinkfit::Smaller(shareDesign, s));
                limit = std::min(limit, shareRight - shareMetrics.horizontalAdvance(share->text()) - FootRowGap);
            }
            const QFontMetrics nameMetrics(shrinkfit::Smaller(nameDesign, s));
            return left + nameMetrics.horizontalAdvance(name->text()) <= limit;
        });
        if (footRowSteps_.size() >= MaxFootRows)
            footRowSteps_.clear();
        footRowSteps_.insert(key, steps);
    }
    name->setShrinkSteps(steps);
    share->setShrinkSteps(steps);
}
