// Energies on screen: eV with the pattern "#0.0" in the user's locale.
#pragma once

#include <QString>

// Rounded to one decimal, at least one digit before the locale's decimal
// mark, no digit grouping, a leading minus only for a value that stays
// negative after rounding. A non-finite value shows as 0.
QString FormatEnergy(double eV);
