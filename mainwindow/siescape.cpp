#include "siescape.h"

#include <cmath>

double ComputeSiEscapeEnergy(double ratio, double ka1, double ka2, double kb)
{
    if (!std::isfinite(ratio) || ratio < 0)
        ratio = 0;
    const double wKa = 1 / (ratio + 1);
    const double wKb = 1 - wKa;
    const double eKa = (ka1 + ka2) / 2;
    return eKa * wKa + kb * wKb;
}
