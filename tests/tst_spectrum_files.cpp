// Spectrum files on disk: what readFile refuses before reading, the channel
// limit, and writing that never destroys an existing file or passes a
// failure for a success.
#include "spectrumtesting.h"

#include "spectrum/emsa.h"
#include "spectrum/write.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace spectrumtesting;

class TestSpectrumFiles : public QObject {
    Q_OBJECT

private slots:
    void refusedBeforeReading();
    void unreadableFile();
    void channelLimit();
    void csv();
    void writeReplacesWhole();
    void failedWritesChangeNothing();
    void failedWriteOnFullDisk();

private:
    QTemporaryDir dir_;
    std::string path(const char *name) const { return dir_.filePath(name).toStdString(); }
};

namespace {

spectrum::Spectrum small()
{
    spectrum::Spectrum s;
    s.counts = {1, 2.5, 3};
    s.calibration = spectrum::Calibration{-10.0, 10.0};
    return s;
}

QByteArray contents(const std::string &path)
{
    QFile file(QString::fromStdString(path));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
}

} // namespace

void TestSpectrumFiles::refusedBeforeReading()
{
    QVERIFY(dir_.isValid());
    const auto missing = spectrum::readFile(path("missing.msa"));
    QVERIFY(!missing);
    QCOMPARE(missing.error().reason, std::string("no such file or directory"));

    const auto directory = spectrum::readFile(dir_.path().toStdString());
    QVERIFY(!directory);
    QCOMPARE(directory.error().reason, std::string("a directory, not a spectrum file"));

    QVERIFY(::mkfifo(path("pipe").c_str(), 0600) == 0);
    const auto pipe = spectrum::readFile(path("pipe"));
    QVERIFY(!pipe);
    QCOMPARE(pipe.error().reason, std::string("not a regular file (a device, pipe or socket)"));

    // A 1 GB file (sparse: it takes no room) is refused from its size alone.
    {
        QFile big(QString::fromStdString(path("big.msa")));
        QVERIFY(big.open(QIODevice::WriteOnly));
        QVERIFY(big.resize(qint64(1) << 30));
    }
    const auto big = spectrum::readFile(path("big.msa"));
    QVERIFY(!big);
    QCOMPARE(big.error().reason, std::string("the file is 1024 MB; a spectrum file can be at most 128 MB"));

    const auto device = spectrum::readFile("/dev/zero");
    QVERIFY(!device);
    QVERIFY(device.error().reason.starts_with("not a regular file"));
}

void TestSpectrumFiles::unreadableFile()
{
    if (::geteuid() == 0)
        QSKIP("running as root, which reads any file");
    QFile file(QString::fromStdString(path("secret.msa")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("1\n2\n");
    file.close();
    QVERIFY(::chmod(path("secret.msa").c_str(), 0) == 0);
    const auto result = spectrum::readFile(path("secret.msa"));
    QVERIFY(!result);
    QCOMPARE(result.error().reason, std::string("permission denied"));
}

void TestSpectrumFiles::channelLimit()
{
    QByteArray counts;
    counts.reserve(2 * 1048577);
    for (int i = 0; i < 1048576; ++i)
        counts += "1\n";
    const auto most = read(counts);
    QVERIFY2(most, qPrintable(reason(most)));
    QCOMPARE(most->channels(), spectrum::MaxChannels);

    counts += "1\n";
    const auto tooMany = read(counts);
    QVERIFY(!tooMany);
    QCOMPARE(tooMany.error().message(), std::string("more than 1048576 channels (line 1048577)"));

    // All on one line: refused there, without taking them all in first.
    QByteArray oneLine = counts;
    oneLine.replace('\n', ' ');
    QCOMPARE(read(oneLine).error().message(), std::string("more than 1048576 channels (line 1)"));

    QByteArray emsa = "#FORMAT : EMSA/MAS Spectral Data File\n#NPOINTS : 1e300\n#SPECTRUM :\n" + counts;
    QVERIFY(!read(emsa));
    QByteArray spe = "$DATA:\n0 1048576\n";
    QCOMPARE(reason(read(spe)), QString("more than 1048576 channels"));
}

void TestSpectrumFiles::csv()
{
    spectrum::Spectrum s = small();
    QCOMPARE(QByteArray::fromStdString(spectrum::csvText(s)), QByteArray("energy_keV,counts\n-0.01,1\n0,2.5\n0.01,3\n"));
    s.calibration.reset();
    QCOMPARE(QByteArray::fromStdString(spectrum::csvText(s)), QByteArray("channel,counts\n0,1\n1,2.5\n2,3\n"));
    // What is written reads back.
    QVERIFY(!spectrum::writeCsv(small(), path("out.csv")));
    const auto back = spectrum::readFile(path("out.csv"));
    QVERIFY(back);
    QVERIFY(back->counts == small().counts);
    QVERIFY(std::abs(back->calibration->gain_eV - 10.0) < 1e-9);
}

void TestSpectrumFiles::writeReplacesWhole()
{
    const std::string target = path("replace.msa");
    QFile old(QString::fromStdString(target));
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write(QByteArray(100000, 'x'));
    old.close();
    QVERIFY(::chmod(target.c_str(), 0640) == 0);
    QVERIFY(!spectrum::writeEmsa(small(), target));
    QCOMPARE(contents(target), QByteArray::fromStdString(spectrum::emsaText(small())));
    struct stat info {};
    QVERIFY(::stat(target.c_str(), &info) == 0);
    QCOMPARE(info.st_mode & 0777, mode_t(0640)); // the permissions stay
    QCOMPARE(QDir(dir_.path()).entryList({"*.tmp"}, QDir::Files), QStringList());
}

void TestSpectrumFiles::failedWritesChangeNothing()
{
    const auto noDirectory = spectrum::writeEmsa(small(), path("no/such/dir/out.msa"));
    QVERIFY(noDirectory);
    QVERIFY2(noDirectory->reason.find("no such file or directory") != std::string::npos, noDirectory->reason.c_str());

    QVERIFY(QDir(dir_.path()).mkdir("taken.msa"));
    const auto isDirectory = spectrum::writeEmsa(small(), path("taken.msa"));
    QVERIFY(isDirectory);
    QCOMPARE(isDirectory->reason, std::string("a directory of that name exists"));

    QVERIFY(spectrum::writeCsv(small(), ""));
}

void TestSpectrumFiles::failedWriteOnFullDisk()
{
    // A file size limit makes write() fail as a full disk would, for this
    // process only. The old file must survive whole, and no temporary file
    // may stay behind.
    const std::string target = path("precious.msa");
    const QByteArray before(5000, 'p');
    QFile old(QString::fromStdString(target));
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write(before);
    old.close();

    spectrum::Spectrum large = small();
    large.counts.assign(100000, 12345.678);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit previous {};
    QVERIFY(::getrlimit(RLIMIT_FSIZE, &previous) == 0);
    rlimit limited = previous;
    limited.rlim_cur = 64 * 1024;
    QVERIFY(::setrlimit(RLIMIT_FSIZE, &limited) == 0);
    const auto failure = spectrum::writeEmsa(large, target);
    ::setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, previousHandler);

    QVERIFY(failure);
    QVERIFY2(failure->reason.starts_with("cannot write: "), failure->reason.c_str());
    QCOMPARE(contents(target), before);
    QCOMPARE(QDir(dir_.path()).entryList({"precious*"}, QDir::Files), QStringList{"precious.msa"});
}

QTEST_GUILESS_MAIN(TestSpectrumFiles)
#include "tst_spectrum_files.moc"
