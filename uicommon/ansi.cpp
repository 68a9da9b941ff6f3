#include "ansi.h"

#include "data/cp1252.h"

QString FromAnsi(std::string_view bytes)
{
    return QString::fromStdU16String(db::DecodeWindows1252(bytes));
}

// Windows-1252 has one character per byte, so cutting the bytes cuts the
// characters.
QString ShownText(std::string_view bytes)
{
    if (qsizetype(bytes.size()) <= MaxShownChars)
        return FromAnsi(bytes);
    QString shown = FromAnsi(bytes.substr(0, std::size_t(MaxShownChars - 1)));
    shown += QChar(CutMark);
    return shown;
}
