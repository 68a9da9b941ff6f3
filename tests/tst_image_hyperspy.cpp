// Exactness against HyperSpy: every count of every pixel, the calibration
// and the beam energy of each .bcf that HyperSpy's own tests ship (where
// Debian's python3-hyperspy is installed), and of synthetic .bcf and ripple
// files in every packing, compression and layout the tools write, equal
// what HyperSpy reads from the same file. tests/hyperspy_dump.py dumps
// HyperSpy's reading; without HyperSpy the test is skipped.
#include "imagetesting.h"

#include "image/open.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <cstring>

class TestImageHyperspy : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void sameAsHyperspy_data();
    void sameAsHyperspy();

private:
    QTemporaryDir dir_;
    QStringList files_;
    QString python_;
};

namespace {

QString pythonProgram() { return QFile::exists("/usr/bin/python3") ? "/usr/bin/python3" : "python3"; }

// Where HyperSpy (and RosettaSciIO, where installed) keep their test .bcf
// files.
QStringList installedBcfFiles(const QString &python)
{
    QProcess p;
    p.start(python, {"-c", "import importlib.util as u\n"
                           "for m in ('hyperspy', 'rsciio'):\n"
                           "    s = u.find_spec(m)\n"
                           "    if s and s.submodule_search_locations: print(list(s.submodule_search_locations)[0])\n"});
    p.waitForFinished(60000);
    QStringList files;
    for (const QString &root : QString::fromUtf8(p.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts)) {
        for (const char *sub : {"tests/io/bruker_data", "tests/data/bruker"}) {
            const QDir dir(QDir(root.trimmed()).filePath(sub));
            for (const QString &name : dir.entryList({"*.bcf"}, QDir::Files, QDir::Name))
                files << dir.filePath(name);
        }
    }
    return files;
}

struct Dumped {
    QJsonObject info;
    std::vector<std::uint64_t> index;
    std::vector<double> value;
};

template <class T> std::vector<T> readArray(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = f.readAll();
    std::vector<T> out(std::size_t(bytes.size()) / sizeof(T));
    std::memcpy(out.data(), bytes.data(), out.size() * sizeof(T)); // the machine is little-endian, as the dump
    return out;
}

} // namespace

void TestImageHyperspy::initTestCase()
{
    QVERIFY(dir_.isValid());
    python_ = pythonProgram();
    files_ = installedBcfFiles(python_);

    // Synthetic files: each packing, compressed and not, both versions, and
    // ripple files of several types and layouts.
    const synth::PhantomRecipe recipe = imagetesting::smallRecipe(21, 13, 300);
    const synth::Phantom phantom(recipe);
    const std::vector<std::uint32_t> cube = imagetesting::phantomCube(phantom);
    struct BcfCase {
        const char *name;
        synth::BcfPacking packing;
        bool extra, compressed;
        int version;
    };
    for (const BcfCase &c : {BcfCase{"p12.bcf", synth::BcfPacking::Pulses12, false, true, 2},
                             BcfCase{"p16.bcf", synth::BcfPacking::Pulses16, false, true, 2},
                             BcfCase{"packed.bcf", synth::BcfPacking::Packed, true, true, 2},
                             BcfCase{"v1-plain.bcf", synth::BcfPacking::Pulses12, false, false, 1}}) {
        synth::BcfOptions options;
        options.packing = c.packing;
        options.extraPulses = c.extra;
        options.compressed = c.compressed;
        options.version = c.version;
        options.chunkSize = 4096;
        options.blockSize = 8192; // records straddle blocks
        const QString path = dir_.filePath(c.name);
        const auto error = imagetesting::writeBcf(path.toStdString(), recipe, cube, options);
        QVERIFY2(!error, error ? error->c_str() : "");
        files_ << path;
    }
    const std::vector<double> values(cube.begin(), cube.end());
    struct RippleCase {
        const char *name;
        image::SampleType type;
        bool big;
        image::RecordOrder order;
        bool keV;
    };
    for (const RippleCase &c : {RippleCase{"u16.rpl", image::SampleType::U16, false, image::RecordOrder::Vector, false},
                                RippleCase{"i32-big-image.rpl", image::SampleType::I32, true, image::RecordOrder::Image, true},
                                RippleCase{"f64-big.rpl", image::SampleType::F64, true, image::RecordOrder::Vector, false},
                                RippleCase{"u8-image.rpl", image::SampleType::U8, false, image::RecordOrder::Image, false}}) {
        synth::RippleOptions options;
        options.type = c.type;
        options.bigEndian = c.big;
        options.order = c.order;
        options.keV = c.keV;
        options.offset = 3;
        std::vector<double> clipped = values;
        if (c.type == image::SampleType::U8)
            for (double &v : clipped)
                v = std::min(v, 255.0);
        const QString path = dir_.filePath(c.name);
        const auto error = imagetesting::writeRipple(path.toStdString(), recipe, clipped, options);
        QVERIFY2(!error, error ? error->c_str() : "");
        files_ << path;
    }

    QProcess dump;
    dump.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    dump.start(python_, QStringList{QStringLiteral(ZANDOR_SOURCE_DIR "/tests/hyperspy_dump.py"), dir_.filePath("dump")} + files_);
    QVERIFY(dump.waitForFinished(600000));
    if (dump.exitCode() == 77)
        QSKIP("HyperSpy cannot be imported (Debian's python3-hyperspy is not installed)");
    QCOMPARE(dump.exitCode(), 0);
}

void TestImageHyperspy::sameAsHyperspy_data()
{
    QTest::addColumn<int>("index");
    for (int i = 0; i < files_.size(); ++i)
        QTest::newRow(QFileInfo(files_[i]).fileName().toUtf8().constData()) << i;
}

void TestImageHyperspy::sameAsHyperspy()
{
    QFETCH(int, index);
    const QString stem = dir_.filePath("dump/" + QString::number(index));
    QFile json(stem + ".json");
    QVERIFY(json.open(QIODevice::ReadOnly));
    const QJsonObject info = QJsonDocument::fromJson(json.readAll()).object();
    const auto opened = image::openImageFile(files_[index].toStdString());
    if (info.contains("error")) {
        // A file HyperSpy refuses (HyperSpy's own "Nope.bcf"): refused here too.
        QVERIFY2(!opened, qPrintable("HyperSpy refuses it (" + info["error"].toString() + ") but it was read"));
        return;
    }
    QVERIFY2(opened, opened ? "" : opened.error().reason.c_str());
    const image::Header &h = opened.value()->header();
    const QJsonArray shape = info["shape"].toArray();
    QCOMPARE(std::size_t(shape[0].toInteger()), h.height);
    QCOMPARE(std::size_t(shape[1].toInteger()), h.width);
    QCOMPARE(std::size_t(shape[2].toInteger()), h.channels);

    QVERIFY(h.calibration);
    QVERIFY2(std::fabs(h.calibration->offset_eV - info["offset_eV"].toDouble()) <= 1e-9 * std::fabs(h.calibration->offset_eV) + 1e-9,
             qPrintable(QString("offset %1 eV, HyperSpy's %2 eV").arg(h.calibration->offset_eV).arg(info["offset_eV"].toDouble())));
    QVERIFY2(std::fabs(h.calibration->gain_eV - info["gain_eV"].toDouble()) <= 1e-9 * h.calibration->gain_eV,
             qPrintable(QString("gain %1 eV, HyperSpy's %2 eV").arg(h.calibration->gain_eV).arg(info["gain_eV"].toDouble())));
    if (!info["beam_kV"].isNull()) {
        QVERIFY(h.meta.beam_kV);
        QCOMPARE(*h.meta.beam_kV, info["beam_kV"].toDouble());
    }

    std::string error;
    const std::vector<double> mine = imagetesting::readAll(*opened.value(), error);
    QVERIFY2(error.empty(), error.c_str());
    const auto indices = readArray<std::uint64_t>(stem + ".idx");
    const auto values = readArray<double>(stem + ".val");
    QCOMPARE(indices.size(), values.size());
    std::size_t next = 0, differ = 0;
    QString first;
    for (std::size_t i = 0; i < mine.size(); ++i) {
        const double theirs = next < indices.size() && indices[next] == i ? values[next++] : 0.0;
        if (mine[i] != theirs && !(std::isnan(mine[i]) && std::isnan(theirs))) {
            if (differ++ == 0)
                first = QString("pixel %1, %2, channel %3: %4 here, %5 in HyperSpy")
                            .arg(i / h.channels % h.width).arg(i / h.channels / h.width).arg(i % h.channels)
                            .arg(mine[i]).arg(theirs);
        }
    }
    QCOMPARE(next, indices.size());
    QVERIFY2(differ == 0, qPrintable(QString::number(differ) + " counts differ; the first: " + first));
}

QTEST_GUILESS_MAIN(TestImageHyperspy)
#include "tst_image_hyperspy.moc"
