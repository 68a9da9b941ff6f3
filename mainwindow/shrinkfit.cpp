#include "shrinkfit.h"

#include <algorithm>
#include <cmath>

namespace shrinkfit {

int MaxSteps(const QFont &design)
{
    const double points = design.pointSizeF();
    if (points <= FloorPoints)
        return 0;
    return int(std::floor((points - FloorPoints) / StepPoints + 1e-9));
}

QFont Smaller(const QFont &design, int steps)
{
    QFont f = design;
    steps = std::clamp(steps, 0, MaxSteps(design));
    if (steps > 0)
        f.setPointSizeF(design.pointSizeF() - steps * StepPoints);
    return f;
}

} // namespace shrinkfit
