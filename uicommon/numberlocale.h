// Numbers on screen in the spectrum and finder windows: the user's decimal
// separator, as in the main window, and no digit grouping (7523 counts, not
// 7,523).
#pragma once

#include <QLocale>

inline QLocale NumberLocale()
{
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale;
}
