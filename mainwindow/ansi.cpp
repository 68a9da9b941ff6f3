#include "ansi.h"

#include "cp1252.h"

QString FromAnsi(const std::string &bytes)
{
    return QString::fromStdU16String(db::DecodeWindows1252(bytes));
}
