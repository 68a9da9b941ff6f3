// Twips and pixels. The window is laid out in twips (1440 to the inch); at
// 96 dots per inch a pixel is 15 twips. Every twip value of the layout goes
// through tw(), so that the few values that are not multiples of 15 (2990,
// 295, ...) are rounded in one place and the same way everywhere.
#pragma once

#include <QRect>

constexpr int TwipsPerPixel = 15;

// Twips to pixels, rounded to the nearest pixel (halves away from zero).
constexpr int tw(double twips)
{
    const double px = twips / TwipsPerPixel;
    return px >= 0 ? int(px + 0.5) : -int(-px + 0.5);
}

// Pixels back to twips, for code that reads a position and writes it again
// with a twip offset.
constexpr int twipsOf(int pixels) { return pixels * TwipsPerPixel; }

// A twip rectangle in pixels. The edges are converted, not the width, so
// controls that share an edge in twips share it in pixels too.
constexpr QRect twRect(double left, double top, double width, double height)
{
    const int x = tw(left);
    const int y = tw(top);
    return QRect(x, y, tw(left + width) - x, tw(top + height) - y);
}

static_assert(tw(15) == 1 && tw(2990) == 199 && tw(295) == 20 && tw(9420) == 628);
static_assert(twRect(690, 60, 585, 195).right() + 1 == tw(1275));
