#include "energyformat.h"

#include <QLocale>

#include <cmath>

namespace {

// The default locale, without digit grouping, and its rendering of zero.
// Kept while the default locale stays the same: building them costs more
// than the formatting itself, and QLocale::setDefault() may change the
// default at any time.
struct Rendering {
    QLocale base{QLocale::c()}; // the default locale these were made for
    QLocale locale{QLocale::c()};
    QString zero;

    void follow(const QLocale &current)
    {
        if (!zero.isNull() && current == base)
            return;
        base = current;
        locale = current;
        locale.setNumberOptions(current.numberOptions() | QLocale::OmitGroupSeparator);
        zero = locale.toString(0.0, 'f', 1);
    }
};

} // namespace

QString FormatEnergy(double eV)
{
    if (!std::isfinite(eV))
        eV = 0;
    static Rendering rendering;
    rendering.follow(QLocale());
    const QLocale &locale = rendering.locale;
    const QString magnitude = locale.toString(std::fabs(eV), 'f', 1);
    // -0.04 rounds to zero: show it as "0.0", not "-0.0".
    if (eV < 0 && magnitude != rendering.zero)
        return locale.toString(eV, 'f', 1);
    return magnitude;
}
