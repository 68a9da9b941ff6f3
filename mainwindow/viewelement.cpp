// The element detail view.
#include "form1.h"

#include "ansi.h"
#include "db.h"
#include "energyformat.h"
#include "lineindex.h"
#include "showtext.h"

#include <QLineEdit>

#include <array>

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
        ShowCaption(PTLabel(i), FromAnsi(db::ElementTable(Z, i)));

    ShowText(ElementText1, FromAnsi(db::ElementTable(Z, 1)));
    ShowText(ElementText2, FromAnsi(db::ElementTable(Z, 2)));
    ShowText(ElementText3, FromAnsi(db::ElementTable(Z, 3)));

    // The element's lines, in file order: for each line the last row decides
    // the energy, and the last row above the silicon escape energy the escape
    // energy. Elements up to silicon itself have no escape peaks.
    const QString none = QStringLiteral("-");
    std::array<QString, lineindex::LineCount> energy, escape;
    energy.fill(none);
    escape.fill(none);
    const double N = db::NumericValue(db::ElementTable(Z, 1));
    for (const lineindex::LineRow &row : lineindex::RowsOf(N)) {
        energy[std::size_t(row.line)] = FormatEnergy(row.energy);
        if (row.energy > SiEscapeEnergy && N > 14)
            escape[std::size_t(row.line)] = FormatEnergy(row.energy - SiEscapeEnergy);
    }

    const std::array<const ControlArray<QLineEdit, 0, 2> *, lineindex::LineCount> grid{
        &PTLineKa1, &PTLineKa2, &PTLineKb, &PTLineLa1, &PTLineLa2, &PTLineLb1, &PTLineLb2, &PTLineLg1};
    for (std::size_t i = 0; i < grid.size(); ++i) {
        ShowText((*grid[i])(1), energy[i]);
        ShowText((*grid[i])(2), escape[i]);
    }
}
