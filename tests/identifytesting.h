// What the identification tests read off a result: the elements found, and
// the peak nearest an energy.
#pragma once

#include "identify/identify.h"
#include "xray/elements.h"

#include <QString>
#include <QStringList>

#include <cmath>

namespace identifytesting {

// The symbols of the elements found, sorted, separated by spaces.
inline QString found(const identify::Identification &id)
{
    QStringList symbols;
    for (const identify::IdentifiedElement &e : id.elements)
        symbols << QString::fromLatin1(xray::elementSymbol(e.Z).data(), qsizetype(xray::elementSymbol(e.Z).size()));
    symbols.sort();
    return symbols.join(u' ');
}

// The peak found nearest energy_eV, within within_eV; none when none is.
inline const identify::IdentifiedPeak *peakNear(const identify::Identification &id, double energy_eV,
                                                double within_eV)
{
    const identify::IdentifiedPeak *best = nullptr;
    for (const identify::IdentifiedPeak &p : id.peaks)
        if (std::fabs(p.peak.energy_eV - energy_eV) <= within_eV
            && (!best || std::fabs(p.peak.energy_eV - energy_eV) < std::fabs(best->peak.energy_eV - energy_eV)))
            best = &p;
    return best;
}

} // namespace identifytesting
