// Red text for a label that reports a refusal, readable on a light or a dark
// window. A palette, not a style sheet: a style sheet would bring Qt's style
// sheet machinery into the whole window, a tenth of its construction time.
#pragma once

#include <QColor>
#include <QLabel>
#include <QPalette>

inline void showAsError(QLabel *label)
{
    QPalette palette = label->palette();
    const bool darkWindow = palette.color(QPalette::Window).lightnessF() < 0.5;
    palette.setColor(QPalette::WindowText, darkWindow ? QColor(0xff, 0x80, 0x80) : QColor(0xb0, 0x00, 0x00));
    label->setPalette(palette);
}
