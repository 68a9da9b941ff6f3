// Inputs kept from fuzzing the spectrum core, replayed through the checks
// the fuzz targets make (fuzz/spectrumchecks.h), in the normal and in the
// sanitizer build. Each file in tests/regressions/spectrum/ is one case and
// goes through every reader, so the start of its name (emsa-, spx-, text-,
// detect-) only says where it was found.
#include "fuzz/spectrumchecks.h"
#include "spectrum/spx.h"
#include "spectrum/text.h"

#include <QDir>
#include <QFile>
#include <QTest>

class TestSpectrumRegressions : public QObject {
    Q_OBJECT

private slots:
    void replays_data();
    void replays();
};

void TestSpectrumRegressions::replays_data()
{
    QTest::addColumn<QByteArray>("input");
    const QDir dir(QStringLiteral(ZANDOR_SOURCE_DIR "/tests/regressions/spectrum"));
    const QStringList names = dir.entryList(QDir::Files, QDir::Name);
    QVERIFY2(!names.isEmpty(), qPrintable("no inputs in " + dir.path()));
    for (const QString &name : names) {
        QFile file(dir.filePath(name));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QTest::newRow(qPrintable(name)) << file.readAll();
    }
}

void TestSpectrumRegressions::replays()
{
    QFETCH(QByteArray, input);
    const std::string_view bytes(input.constData(), std::size_t(input.size()));
    const auto check = [&](const spectrum::Result<spectrum::Spectrum> &result, spectrum::Format format) {
        std::string failure = spectrumchecks::checkRead(result, bytes, format);
        if (failure.empty() && result)
            failure = spectrumchecks::checkEmsaRoundTrip(result.value());
        QVERIFY2(failure.empty(), failure.c_str());
    };
    check(spectrum::readEmsa(bytes), spectrum::Format::Emsa);
    check(spectrum::readSpx(bytes), spectrum::Format::Spx);
    check(spectrum::readText(bytes), spectrum::Format::Text);
    check(spectrum::readCounts(bytes), spectrum::Format::Counts);
    const auto format = spectrum::detectFormat(bytes);
    if (format)
        check(spectrum::readBytes(bytes), format.value());
}

QTEST_GUILESS_MAIN(TestSpectrumRegressions)
#include "tst_spectrum_regressions.moc"
