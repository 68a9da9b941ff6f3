// Start-up of the main window, before it is first shown.
#include "form1.h"

#include "data/db.h"
#include "energyformat.h"
#include "lineindex.h"
#include "siescape.h"
#include "uicommon/ansi.h"
#include "uicommon/errorreport.h"

#include <QLineEdit>

bool Form1::Form1_Load()
{
    const QString title = QStringLiteral("PTError");
    if (!db::LoadElementTable("br")) {
        ReportError(title, QStringLiteral("Error:  %1 info file access denied!")
                               .arg(QString::fromLatin1(db::ElementFileName("br"))));
        return false;
    }
    if (!db::LoadLineTable()) {
        ReportError(title, QStringLiteral("Error: %1 info file access denied").arg(QString::fromLatin1(db::LineFile)));
        return false;
    }
    lineindex::Invalidate(); // the detail view finds its lines in the new rows

    // Silicon: ratio in column 16 of its element row; Ka1 and Ka2 at line
    // rows 65 and 66, Kb at row 70.
    SiEscapeEnergy = ComputeSiEscapeEnergy(db::NumericValue(db::ElementTable(14, 16)),
                                           db::NumericValue(db::LineTable(65, 2)),
                                           db::NumericValue(db::LineTable(66, 2)),
                                           db::NumericValue(db::LineTable(70, 2)));
    PTLineSiScapeText(1)->setText(FormatEnergy(SiEscapeEnergy));

    for (int Z = ElementSelectionLabel.first(); Z <= ElementSelectionLabel.last(); ++Z)
        ElementSelectionLabel(Z)->setCaption(ShownText(db::ElementTable(Z, 2)));

    setWindowTitle(QStringLiteral("Zandor v4"));
    return true;
}
