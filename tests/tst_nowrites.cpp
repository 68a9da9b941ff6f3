// The program writes no file of its own but its settings, and those only
// when the user changes them. A whole session on a copy of the shipped data
// (start-up, pointing at cells, both search boxes, both language switches,
// the read-me and About windows, the finder window) leaves the data
// directory, the directory the test started in, and a private home with its
// configuration, data, cache, state and runtime directories exactly as they
// were: the same entries, and for each the same type, size, modification
// time and, for a file, content. A directory's modification time changes
// with any entry made or removed in it, so a scratch file that came and went
// is caught too. A session that opens a spectrum through the file dialog,
// changes the detector and exports the plot adds exactly the settings file
// (and its directory) and the export.
#include "app/spectrumtools.h"
#include "finderwindow/finderwindow.h"
#include "mainwindow/form1.h"
#include "secondary/form2.h"
#include "secondary/form3.h"
#include "spectrumtestdata.h"
#include "spectrumwindow/spectrumfiles.h"
#include "spectrumwindow/spectrumwindow.h"
#include "testsupport.h"
#include "uicommon/detectorbox.h"
#include "uicommon/errorreport.h"

#include <QtTest>

#include <QAction>
#include <QApplication>
#include <QCryptographicHash>
#include <QDirIterator>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QTimer>
#include <QLineEdit>
#include <QPlainTextEdit>

#include <sys/stat.h>

#include <memory>

using testsupport::ScratchDir;

namespace {

// What one entry under a directory is: type, size, modification time in
// nanoseconds and, for a file, the SHA-256 of its content.
QString describe(const QString &path)
{
    struct stat st {};
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return QStringLiteral("unreadable");
    const char *type = S_ISDIR(st.st_mode) ? "dir" : S_ISREG(st.st_mode) ? "file" : S_ISLNK(st.st_mode) ? "link" : "other";
    QString d = QStringLiteral("%1 size %2 mtime %3.%4 mode %5")
                    .arg(QLatin1String(type))
                    .arg(qint64(st.st_size))
                    .arg(qint64(st.st_mtim.tv_sec))
                    .arg(qint64(st.st_mtim.tv_nsec), 9, 10, QLatin1Char('0'))
                    .arg(st.st_mode, 0, 8);
    if (S_ISREG(st.st_mode)) {
        QFile f(path);
        QCryptographicHash hash(QCryptographicHash::Sha256);
        if (f.open(QIODevice::ReadOnly) && hash.addData(&f))
            d += " sha256 " + QString::fromLatin1(hash.result().toHex());
        else
            d += " content unreadable";
    }
    return d;
}

// Every entry under `root`, the root itself included, hidden ones too,
// without following links.
QMap<QString, QString> snapshot(const QString &root)
{
    QMap<QString, QString> entries{{QStringLiteral("."), describe(root)}};
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        entries.insert(QDir(root).relativeFilePath(path), describe(path));
    }
    return entries;
}

// The differences between two snapshots, one line each.
QStringList differences(const QMap<QString, QString> &before, const QMap<QString, QString> &after)
{
    QStringList lines;
    for (auto it = before.begin(); it != before.end(); ++it) {
        if (!after.contains(it.key()))
            lines << "removed " + it.key();
        else if (after[it.key()] != it.value())
            lines << "changed " + it.key() + ": " + it.value() + " -> " + after[it.key()];
    }
    for (auto it = after.begin(); it != after.end(); ++it)
        if (!before.contains(it.key()))
            lines << "created " + it.key() + ": " + it.value();
    return lines;
}

// Snapshots of several roots, taken at once, and what changed since in
// all of them, one line each ("ROOT: created a/b"); with `brief` without
// the entries' descriptions.
class Snapshots {
public:
    explicit Snapshots(QStringList roots) : roots_(std::move(roots))
    {
        for (const QString &root : roots_)
            before_ << snapshot(root);
    }
    QStringList changes(bool brief = false) const
    {
        QStringList lines;
        for (qsizetype i = 0; i < roots_.size(); ++i)
            for (const QString &change : differences(before_[i], snapshot(roots_[i])))
                lines << roots_[i] + ": " + (brief ? change.section(u':', 0, 0) : change);
        return lines;
    }

private:
    QStringList roots_;
    QList<QMap<QString, QString>> before_;
};

// The private home and its XDG directories, set before the application
// exists so that Qt and the libraries below it look there.
QTemporaryDir *privateHome = nullptr;
const char *const homeVariables[] = {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_STATE_HOME",
                                     "XDG_RUNTIME_DIR"};

bool makePrivateHome()
{
    privateHome = new QTemporaryDir;
    if (!privateHome->isValid())
        return false;
    const QString home = privateHome->path();
    qputenv("HOME", QFile::encodeName(home));
    for (const char *variable : homeVariables) {
        const QString dir = home + u'/' + QString::fromLatin1(variable).toLower();
        if (!QDir().mkpath(dir) || !QFile::setPermissions(dir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner))
            return false;
        qputenv(variable, QFile::encodeName(dir));
    }
    return true;
}

void pointAt(Form1 &w, int Z) { QTest::mouseMove(w.ElementSelectionLabel(Z)); }

void typeInto(QLineEdit *box, const QString &keys)
{
    box->setFocus();
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    if (keys.isEmpty())
        QTest::keyClick(box, Qt::Key_Delete);
    else
        QTest::keyClicks(box, keys);
}

} // namespace

class TestNoWrites : public QObject {
    Q_OBJECT

private slots:
    void aWholeSessionWritesNothing()
    {
        QStringList messages;
        const ErrorReporter previous =
            SetErrorReporter([&messages](const QString &, const QString &text) { messages << text; });
        const QString startDir = QDir::currentPath();
        ScratchDir data;
        QVERIFY(data.copyShipped());
        // Modification times of files copied a moment ago may still share a
        // clock tick with a write that followed at once.
        QTest::qWait(20);

        const Snapshots snapshots({data.path(), startDir, privateHome->path()});
        {
            Form1 w;
            QVERIFY(w.Form1_Load());
            w.show();
            QVERIFY(QTest::qWaitForWindowExposed(&w));
            const auto pointerRound = [&w] {
                for (int Z : {1, 2, 26, 57, 92, 109, 8})
                    pointAt(w, Z);
                QTest::mouseMove(w.Frame3, QPoint(5, 5));
            };
            pointerRound();
            QTest::mouseMove(w.Label3); // a contact link: its hover colour only
            QTest::mouseMove(w.Frame1, QPoint(2, 2));

            for (const char *keys : {"26", "0", "150", "2.5", ""})
                typeInto(w.ElementText1, QString::fromLatin1(keys));
            for (const char *keys : {"fe", "Xx", "zn", ""})
                typeInto(w.ElementText2, QString::fromLatin1(keys));
            QCOMPARE(w.ElementText1->text(), QString());

            w.mnuTranslate->trigger();
            QCOMPARE(w.Text1->text(), u"Name"_qs);
            pointerRound();
            w.mnuTranslate->trigger();
            QCOMPARE(w.Text1->text(), u"Nome"_qs);
            pointerRound();

            w.mnuReadMe->trigger();
            QVERIFY(w.form2 && QTest::qWaitForWindowExposed(w.form2));
            QVERIFY(!w.form2->Text1->toPlainText().isEmpty());
            w.mnuAbout->trigger();
            QVERIFY(w.form3 && QTest::qWaitForWindowExposed(w.form3));
            w.mnuReadMe->trigger(); // again, on the open window
            w.form2->close();
            w.form3->close();

            // The finder window: reading the settings writes nothing.
            auto *tools = new SpectrumTools(&w);
            w.mnuFindLines->trigger();
            FinderWindow *finder = tools->openFinderWindow();
            QVERIFY(finder && QTest::qWaitForWindowExposed(finder));
            typeInto(finder->energyBox(), u"6.4 keV"_qs);
            pointerRound();
            finder->close();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QCoreApplication::processEvents();
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
        SetErrorReporter(previous);
        QVERIFY(messages.isEmpty());

        const QStringList changes = snapshots.changes();
        QVERIFY2(changes.isEmpty(), qPrintable("\n  " + changes.join("\n  ")));
    }

    // Opening a spectrum (which puts it on the recent list) and choosing a
    // detector write the settings file, and nothing else: not the file
    // dialog's own state either.
    void onlyTheSettingsFile()
    {
        QStringList messages;
        const ErrorReporter previous =
            SetErrorReporter([&messages](const QString &, const QString &text) { messages << text; });
        const QString startDir = QDir::currentPath();
        ScratchDir data;
        QVERIFY(data.copyShipped());
        QTemporaryDir spectra; // the user's own files and exports
        const QString file = spectra.filePath(u"steel.msa"_qs);
        QVERIFY(spectrumtest::writeEmsa(file, spectrumtest::makeSpectrum(spectrumtest::steelPeaks())));
        QTest::qWait(20);

        const Snapshots snapshots({data.path(), startDir, privateHome->path()});
        {
            Form1 w;
            QVERIFY(w.Form1_Load());
            auto *tools = new SpectrumTools(&w);
            w.show();
            QVERIFY(QTest::qWaitForWindowExposed(&w));

            // Qt's own file dialog, as the user meets it: the file's name in
            // its box, and Return, again until the dialog has gone (the
            // dialog may still be listing the folder at first).
            bool answered = false;
            QTimer answer;
            answer.setInterval(50);
            QObject::connect(&answer, &QTimer::timeout, [&] {
                auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
                auto *name = dialog ? dialog->findChild<QLineEdit *>(u"fileNameEdit"_qs) : nullptr;
                if (!name || !name->isVisible())
                    return;
                name->setText(file);
                QTest::keyClick(name, Qt::Key_Return);
                answered = true;
            });
            answer.start();
            w.mnuOpenSpectrum->trigger();
            answer.stop();
            QVERIFY(answered);
            SpectrumWindow *window = tools->openSpectrumWindow();
            QVERIFY(window && window->spectrumCount() == 1);
            QTest::mouseMove(w.ElementSelectionLabel(26));
            QVERIFY(!window->plot()->markerLabels().isEmpty());

            QDoubleSpinBox *fwhm = window->detectorBox()->fwhmBox();
            fwhm->setFocus();
            QTest::keyClick(fwhm, Qt::Key_Up);
            QCOMPARE(window->exportPlotPng(spectra.filePath(u"plot.png"_qs)), QString());
            window->close();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
        SetErrorReporter(previous);
        QVERIFY2(messages.isEmpty(), qPrintable(messages.join(u'\n')));
        QVERIFY(QFile::exists(spectra.filePath(u"plot.png"_qs)));

        const QStringList changes = snapshots.changes(true);
        const QString home = privateHome->path();
        const QStringList expected{home + u": changed xdg_config_home"_qs,
                                   home + u": created xdg_config_home/zandor"_qs,
                                   home + u": created xdg_config_home/zandor/zandor.ini"_qs};
        QVERIFY2(changes == expected, qPrintable("\n  " + changes.join("\n  ")));
        const QByteArray settings = testsupport::readFile(home + u"/xdg_config_home/zandor/zandor.ini"_qs);
        QVERIFY(settings.contains("steel.msa"));
        QVERIFY(settings.contains("fwhmMnKa_eV"));
    }
};

// The private home must be in place before QApplication starts.
int main(int argc, char *argv[])
{
    if (!makePrivateHome()) {
        std::fprintf(stderr, "tst_nowrites: cannot make a private home directory\n");
        return 1;
    }
    int status = 0;
    {
        QApplication app(argc, argv);
        TestNoWrites test;
        QTEST_SET_MAIN_SOURCE_PATH
        status = QTest::qExec(&test, argc, argv);
    }
    delete privateHome;
    return status;
}

#include "tst_nowrites.moc"
