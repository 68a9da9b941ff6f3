#include "energyformat.h"

#include <QLocale>

#include <cmath>

QString FormatEnergy(double eV)
{
    if (!std::isfinite(eV))
        eV = 0;
    QLocale locale;
    locale.setNumberOptions(locale.numberOptions() | QLocale::OmitGroupSeparator);
    const QString magnitude = locale.toString(std::fabs(eV), 'f', 1);
    // -0.04 rounds to zero: show it as "0.0", not "-0.0".
    if (eV < 0 && magnitude != locale.toString(0.0, 'f', 1))
        return locale.toString(eV, 'f', 1);
    return magnitude;
}
