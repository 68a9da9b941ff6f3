// Shared by the spectrum core's tests: reading from a QByteArray, spectrum
// files written from their description, and the counts, warnings and
// refusals that the readers' tests check.
#pragma once

#include "spectrum/read.h"
#include "spectrum/spectrum.h"

#include <QByteArray>
#include <QTest>
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

// The counts as a reader's tests write them: comma-separated, each as
// QString::number gives it ("5,6,7", "1,-2,3,-4").
inline QString countsText(const spectrum::Spectrum &s)
{
    QStringList all;
    for (double c : s.counts)
        all << QString::number(c);
    return all.join(u',');
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

// No warning when `phrase` is empty, otherwise a warning holding it.
inline void expectWarning(const spectrum::Spectrum &s, const QString &phrase)
{
    if (phrase.isEmpty())
        QCOMPARE(warnings(s), QString());
    else
        QVERIFY2(warnings(s).contains(phrase), qPrintable(warnings(s)));
}

// A refusal whose reason holds `phrase`, at `line` (0: none).
inline void expectRefusal(const spectrum::Result<spectrum::Spectrum> &result, const QString &phrase, int line)
{
    QVERIFY(!result);
    QVERIFY2(reason(result).contains(phrase), qPrintable(reason(result)));
    QCOMPARE(int(result.error().line), line);
    // A kind the windows word in their language (spectrum/error.h).
    QVERIFY2(result.error().kind != spectrum::ErrorKind::Unworded, qPrintable(QStringLiteral("no kind: ") + reason(result)));
}

} // namespace spectrumtesting
