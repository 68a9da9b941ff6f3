// The minimum of a function of one variable that falls and then rises on
// an interval: golden-section search.
#pragma once

#include <cmath>

namespace identify {

// The x in [a, b] where f is least, to within `tolerance`, for an f that
// has one minimum there; f is evaluated about log(tolerance / (b - a)) /
// log(0.618) times.
template <class Function>
double goldenSectionMinimum(Function f, double a, double b, double tolerance)
{
    const double ratio = (std::sqrt(5.0) - 1) / 2;
    double c = b - ratio * (b - a), d = a + ratio * (b - a);
    double fc = f(c), fd = f(d);
    while (b - a > tolerance) {
        if (fc < fd) {
            b = d;
            d = c;
            fd = fc;
            c = b - ratio * (b - a);
            fc = f(c);
        } else {
            a = c;
            c = d;
            fc = fd;
            d = a + ratio * (b - a);
            fd = f(d);
        }
    }
    return (a + b) / 2;
}

} // namespace identify
