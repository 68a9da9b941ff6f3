// The names the spectrum window writes over identified peaks: "Fe Kα1" for
// a line, and for artefacts what they are: "Cu Kα esc" for an escape peak,
// "2×Ti Kα" and "Ti Kα+Kβ" for sum peaks, "Si Kα (detector)" and "Rh Kα
// scattered" for the detector's and the tube's lines.
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

// The label of a peak left unexplained that is no element of the sample's:
// "Si Kα (detector)" for the detector's own fluorescence, "Rh Kα
// scattered" and "Rh Kα Compton" for the tube's lines scattered by the
// sample, with " esc" for their escape peaks; "Rayleigh" and "Compton" for
// the beam scattered. Empty for the other reasons.
QString reasonLabel(const identify::PeakReason &reason);

// The elements an assignment rests on: the line's, the escape's parent's,
// a sum's two (once each).
QList<int> elementsOf(const identify::Assignment &assignment);

} // namespace identifylabels
