// The names the spectrum window writes over identified peaks: "Fe Kα1" for
// a line, and for artefacts what they are: "Cu Kα esc" for an escape peak,
// "2×Ti Kα" and "Ti Kα+Kβ" for sum peaks.
#pragma once

#include "identify/identify.h"

#include <QList>
#include <QString>

namespace identifylabels {

// A line's group within its family, with its Greek letter: "Kα" for Kα1
// and Kα2, "Lβ" for Lβ1..Lβ15, "Lℓ"; its IUPAC name for a line without a
// Siegbahn name.
QString lineGroup(const xray::Line &line);

// The label of a peak: "Fe Kα1"; "Cu Kα esc"; "2×Ti Kα"; "Ti Kα+Kβ";
// "Ti Kα+Fe Kα". Empty for the noise peak and peaks left unexplained.
QString peakLabel(const identify::Assignment &assignment);

// The elements an assignment rests on: the line's, the escape's parent's,
// a sum's two (once each).
QList<int> elementsOf(const identify::Assignment &assignment);

} // namespace identifylabels
