// Colours of the window definitions. They are written as 0x00BBGGRR: red is
// the LOW byte, blue the high one.
#pragma once

#include <QApplication>
#include <QColor>
#include <QPalette>

constexpr QRgb BgrToRgb(quint32 bgr)
{
    return qRgb(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

inline QColor FromBgr(quint32 bgr) { return QColor::fromRgb(BgrToRgb(bgr)); }

static_assert(BgrToRgb(0x000000FF) == qRgb(255, 0, 0));
static_assert(BgrToRgb(0x00FF8080) == qRgb(128, 128, 255));

// The two system colours of the window definitions, taken from the desktop's
// palette when they are needed. "Window background" is the background of
// text boxes and of a window's client area, white on a classic desktop: in
// Qt's palette that is Base (QPalette::Window is the grey of dialogs and
// buttons, which would make the editable boxes look disabled). "Window text"
// is the text drawn on it, QPalette::Text.
inline QColor SystemWindowBackground() { return QApplication::palette().color(QPalette::Active, QPalette::Base); }
inline QColor SystemWindowText() { return QApplication::palette().color(QPalette::Active, QPalette::Text); }

// The flat one-line border of the cells, the detail panel's large cell and
// the text boxes.
inline QColor FlatBorderColor() { return FromBgr(0x00000000); }
