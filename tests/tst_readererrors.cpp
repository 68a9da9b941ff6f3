// The readers' reasons in the window's language: every kind of error the
// spectrum and image cores give has a Portuguese wording with the same
// places as the English one, and the English one is the core's own, so the
// window and the command line say the same thing in English; files refused
// by the readers are explained in Portuguese, wrapped reasons and the
// system's included, and in English word for word as on the command line.
#include "app/spectrumtools.h"
#include "mainwindow/form1.h"
#include "spectrumwindow/spectrumfiles.h"
#include "spectrumwindow/spectrumwindow.h"
#include "toolswindowfixture.h"
#include "uicommon/errortext.h"

#include "spectrum/read.h"

#include <QtTest>

#include <QDir>
#include <QRegularExpression>
#include <QSet>

namespace {

using spectrum::ErrorKind;

QSet<QString> places(const QString &text)
{
    QSet<QString> found;
    const QRegularExpression place(QStringLiteral("%[1-9]"));
    for (auto it = place.globalMatch(text); it.hasNext();)
        found << it.next().captured();
    return found;
}

QString reasonOf(const QString &path)
{
    const spectrumfiles::ReadResult result = spectrumfiles::read(path);
    const QString *reason = std::get_if<QString>(&result);
    return reason ? *reason : QString();
}

} // namespace

class TestReaderErrors : public QObject, private ToolsWindowFixture {
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(useTemporarySettings()); }
    void init() { QVERIFY(start()); }
    void cleanup() { stop(); }

    // Every kind: the window's English wording is the core's; the
    // Portuguese one is there, another text, with the same places. All the
    // kinds that fail are named at once.
    void everyKindWorded()
    {
        QStringList portuguese;
        for (int k = 0; k < int(ErrorKind::Count); ++k)
            portuguese << errortext::wording(ErrorKind(k));
        form->mnuTranslate->trigger();
        QStringList faults;
        for (int k = 0; k < int(ErrorKind::Count); ++k) {
            if (ErrorKind(k) == ErrorKind::Unworded || ErrorKind(k) == ErrorKind::System)
                continue; // worded by their values
            const QString core = QString::fromStdString(std::string(spectrum::errorWording(ErrorKind(k))));
            const QString english = errortext::wording(ErrorKind(k));
            if (english != core)
                faults << u"the window's English differs from the core's: "_qs + english + u" / "_qs + core;
            else if (portuguese[k] == english)
                faults << u"no Portuguese: "_qs + english;
            else if (places(portuguese[k]) != places(english))
                faults << u"other places: "_qs + portuguese[k];
        }
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(u'\n')));
    }

    void filesRefused_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("portuguese");
        QTest::addRow("empty") << QByteArray() << u"o arquivo est\u00e1 vazio"_qs;
        QTest::addRow("binary") << QByteArray("12\x00 34\n", 7) << u"dados bin\u00e1rios, n\u00e3o um arquivo de espectro"_qs;
        QTest::addRow("emsa line") << QByteArray("#FORMAT : EMSA/MAS Spectral Data File\n#VERSION : 1.0\nnot data\n")
                                   << u"esta linha n\u00e3o \u00e9 nem uma palavra-chave EMSA (#NOME: valor) nem dados: "
                                      "'not data' (linha 3)"_qs;
        QTest::addRow("wrapped") << QByteArray("1.0 5\n0.9 6\n0.8 7\n")
                                 << u"as energias n\u00e3o d\u00e3o calibra\u00e7\u00e3o: as energias n\u00e3o crescem "
                                    "com o canal (o ganho seria zero ou negativo): verifique as linhas atribu\u00eddas aos "
                                    "picos"_qs;
        QTest::addRow("xml") << QByteArray("<?xml version=\"1.0\"?>\n<TRTSpectrum><a></b></TRTSpectrum>")
                             << u"XML malformado: as marcas de abertura e de fechamento n\u00e3o correspondem (linha 2)"_qs;
        QTest::addRow("missing") << QByteArray("-") << u"arquivo ou diret\u00f3rio inexistente"_qs;
        QTest::addRow("directory") << QByteArray("/") << u"uma pasta, n\u00e3o um arquivo de espectro"_qs;
    }

    // A file refused: its reason in Portuguese, and in English the core's
    // message itself.
    void filesRefused()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, portuguese);
        QString path = dir->file(u"refused.msa"_qs);
        if (bytes == "-")
            path = dir->file(u"no such file.msa"_qs);
        else if (bytes == "/")
            path = dir->path();
        else
            QVERIFY(dir->write(u"refused.msa"_qs, bytes));
        QCOMPARE(reasonOf(path), portuguese);
        form->mnuTranslate->trigger();
        const spectrum::Result<spectrum::Spectrum> read = spectrum::readFile(QFile::encodeName(path).toStdString());
        QVERIFY(!read);
        QCOMPARE(reasonOf(path), QString::fromStdString(read.error().message()));
    }

    // The window's message names the file with the reason in Portuguese.
    void windowReportsInPortuguese()
    {
        QVERIFY(dir->write(u"empty.msa"_qs, QByteArray()));
        SpectrumWindow *w = tools->spectrumWindow();
        QCOMPARE(w->openFiles({dir->file(u"empty.msa"_qs)}), 0);
        QCOMPARE(reports.size(), 1);
        QVERIFY2(reports[0].contains(u"empty.msa: o arquivo est\u00e1 vazio"_qs), qPrintable(reports[0]));
    }

    // Values hold their own text: a "%2" in a file's line stays as it is.
    void valuesKeptAsTheyAre()
    {
        const spectrum::Error error = spectrum::Error::make(ErrorKind::EmsaDatatype, {"'%2 %1'"}, 7);
        form->mnuTranslate->trigger();
        QCOMPARE(errortext::message(error), QString::fromStdString(error.message()));
        QCOMPARE(QString::fromStdString(error.reason), u"#DATATYPE must be Y or XY, not '%2 %1'"_qs);
    }
};

QTEST_MAIN(TestReaderErrors)
#include "tst_readererrors.moc"
