// Shared by the spectrum core's tests: reading from a QByteArray, and
// spectrum files written from their description.
#pragma once

#include "spectrum/read.h"
#include "spectrum/spectrum.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <string_view>

namespace spectrumtesting {

inline std::string_view view(const QByteArray &bytes)
{
    return std::string_view(bytes.constData(), std::size_t(bytes.size()));
}

inline spectrum::Result<spectrum::Spectrum> read(const QByteArray &bytes)
{
    return spectrum::readBytes(view(bytes));
}

// Joins lines with the given line end, the last one included.
inline QByteArray lines(const QStringList &text, const char *end = "\r\n")
{
    QByteArray out;
    for (const QString &line : text)
        out += line.toLatin1() + end;
    return out;
}

// The reader's warnings as one text, to look for a phrase in.
inline QString warnings(const spectrum::Spectrum &s)
{
    QStringList all;
    for (const std::string &w : s.warnings)
        all << QString::fromStdString(w);
    return all.join(u" | ");
}

inline QString reason(const spectrum::Result<spectrum::Spectrum> &result)
{
    return result ? QString() : QString::fromStdString(result.error().reason);
}

} // namespace spectrumtesting
