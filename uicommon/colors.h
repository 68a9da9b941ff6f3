// Colours of the window definitions. They are written as 0x00BBGGRR: red is
// the LOW byte, blue the high one.
#pragma once

#include <QApplication>
#include <QColor>
#include <QPalette>

#include <algorithm>
#include <cmath>

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

// The contrast ratio of two colours, from 1 (none) to 21 (black on white),
// as the accessibility guidelines define it from relative luminance.
inline double ContrastRatio(const QColor &a, const QColor &b)
{
    const auto luminance = [](const QColor &c) {
        const auto channel = [](double v) {
            return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
    };
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The system window-text colour for text drawn on a background that the
// window fixes (a white panel, a coloured cell, a heading box). A desktop
// with a dark colour scheme makes that text colour light, and light text on
// the window's fixed light colours cannot be read; then the text is black, or
// white on a dark background, whichever stands out more.
inline QColor SystemWindowTextOn(const QColor &background)
{
    constexpr double ReadableContrast = 4.5;
    const QColor text = SystemWindowText();
    if (ContrastRatio(text, background) >= ReadableContrast)
        return text;
    const QColor black(Qt::black), white(Qt::white);
    return ContrastRatio(black, background) >= ContrastRatio(white, background) ? black : white;
}

// The flat one-line border of the cells, the detail panel's large cell and
// the text boxes.
inline QColor FlatBorderColor() { return FromBgr(0x00000000); }
