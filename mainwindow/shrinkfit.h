// Texts from the data that are too wide for their room.
//
// The controls of the detail panel have the fixed size of the window
// definition, and a few element names (with the share of the earth's crust
// beside them) need more room than that. Such a text is drawn in a smaller
// size of the same face, a quarter point at a time, just small enough to fit;
// a text that fits is drawn at the design size.
#pragma once

#include <QFont>

namespace shrinkfit {

inline constexpr double StepPoints = 0.25;

// Nothing is drawn smaller than this, fitting or not: at 96 dots per inch,
// 8 pixels.
inline constexpr double FloorPoints = 6.0;

// How many steps lie between `design` and the floor (0 for a font at or
// below it).
int MaxSteps(const QFont &design);

// `design`, `steps` steps smaller; never below the floor.
QFont Smaller(const QFont &design, int steps);

// The fewest steps, from 0 up to MaxSteps(design), after which fits(steps)
// holds; MaxSteps(design) when it never does. fits() must hold for every
// step after the first one at which it holds (smaller text never fits
// worse).
template <class Fits>
int FewestSteps(const QFont &design, Fits fits)
{
    const int most = MaxSteps(design);
    for (int steps = 0; steps < most; ++steps)
        if (fits(steps))
            return steps;
    return most;
}

} // namespace shrinkfit
