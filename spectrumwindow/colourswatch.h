// A small square of a colour, for the lists that stand for plot colours.
#pragma once

#include <QColor>
#include <QIcon>
#include <QPixmap>

inline QIcon ColourSwatch(const QColor &colour)
{
    QPixmap square(12, 12);
    square.fill(colour);
    return QIcon(square);
}
