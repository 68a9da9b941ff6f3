// zandor identify: its JSON with exactly the documented keys, several files,
// the readable form, and the exit statuses for unreadable and uncalibrated
// files and for absurd options.
#include "clirun.h"
#include "hardcases.h"
#include "synth.h"

#include "spectrum/write.h"

#include <QJsonArray>
#include <QProcess>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

class TestIdentifyCli : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void jsonKeys();
    void severalFiles();
    void readable();
    void badFiles_data();
    void badFiles();
    void absurdOptions_data();
    void absurdOptions();
    void detectorAndLists();
    void help();
    void program();

private:
    QTemporaryDir dir_;
    std::string file(const char *name) const { return dir_.filePath(name).toStdString(); }
};

namespace {

QJsonValue parse(const std::string &text)
{
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(text), &error);
    if (error.error != QJsonParseError::NoError)
        qFatal("not JSON: %s", qPrintable(error.errorString()));
    return doc.isArray() ? QJsonValue(doc.array()) : QJsonValue(doc.object());
}

QStringList keys(const QJsonObject &o)
{
    QStringList k = o.keys();
    k.sort();
    return k;
}

} // namespace

void TestIdentifyCli::initTestCase()
{
    QVERIFY(dir_.isValid());
    const std::vector<synth::HardCase> cases = synth::hardCases();
    for (const char *name : {"ti-sum-20kv", "fe-20kv", "mo-ge-30kv"}) {
        const auto error = spectrum::writeEmsa(synth::generate(synth::findHardCase(cases, name)->recipe).spectrum,
                                               file(name) + ".msa");
        QVERIFY(!error);
    }
    spectrum::Spectrum flat;
    flat.counts.assign(2048, 0.0);
    flat.calibration = spectrum::Calibration{0, 10};
    QVERIFY(!spectrum::writeEmsa(flat, file("empty.msa")));
    flat.calibration.reset();
    flat.counts.assign(2048, 7.0);
    QVERIFY(!spectrum::writeEmsa(flat, file("uncalibrated.msa")));
}

void TestIdentifyCli::jsonKeys()
{
    const clirun::Run r = clirun::run({"identify", file("ti-sum-20kv.msa"), "--json"});
    QCOMPARE(r.status, 0);
    QVERIFY2(r.err.find("note:") != std::string::npos || r.err.empty(), r.err.c_str());
    const QJsonObject o = parse(r.out).toObject();
    // The order, too: as documented.
    QCOMPARE(QJsonDocument::fromJson(QByteArray::fromStdString(r.out)).object().keys().size(), 6);
    const std::string out = r.out;
    const auto at = [&](const char *key) { return out.find(std::string("\"") + key + "\""); };
    QVERIFY(at("file") < at("detector") && at("detector") < at("fwhm_eV") && at("fwhm_eV") < at("beam_kV")
            && at("beam_kV") < at("elements") && at("elements") < at("peaks"));
    QCOMPARE(o["detector"].toString(), QString("si"));
    QCOMPARE(o["beam_kV"].toDouble(), 20.0);
    QVERIFY(std::fabs(o["fwhm_eV"].toDouble() - 129) < 3);
    const QJsonArray elements = o["elements"].toArray();
    QCOMPARE(elements.size(), 1);
    const QJsonObject ti = elements[0].toObject();
    QCOMPARE(keys(ti), QStringList({"Z", "confidence", "element", "lines"}));
    QCOMPARE(ti["element"].toString(), QString("Ti"));
    QCOMPARE(ti["Z"].toInt(), 22);
    QCOMPARE(ti["confidence"].toString(), QString("certain"));
    QVERIFY(ti["lines"].toArray().contains(QString("Ka1")));
    // Every kind of assignment, each with its keys.
    QSet<QString> kinds;
    for (const QJsonValue &v : o["peaks"].toArray()) {
        const QJsonObject p = v.toObject();
        QCOMPARE(keys(p), QStringList({"assignment", "energy_eV", "net_counts", "significance"}));
        const QJsonObject a = p["assignment"].toObject();
        const QString kind = a["kind"].toString();
        kinds << kind;
        if (kind == "line")
            QCOMPARE(keys(a), QStringList({"element", "kind", "siegbahn"}));
        else if (kind == "escape")
            QCOMPARE(keys(a), QStringList({"element", "escape_line", "kind", "siegbahn"}));
        else if (kind == "sum") {
            QCOMPARE(keys(a), QStringList({"kind", "lines"}));
            const QJsonArray lines = a["lines"].toArray();
            QCOMPARE(lines.size(), 2);
            QCOMPARE(keys(lines[0].toObject()), QStringList({"element", "siegbahn"}));
        } else
            QCOMPARE(keys(a), QStringList({"kind"}));
        if (kind == "escape" && std::fabs(p["energy_eV"].toDouble() - 2770.9) < 30) {
            QCOMPARE(a["element"].toString(), QString("Ti"));
            QCOMPARE(a["siegbahn"].toString(), QString("Ka1"));
            QCOMPARE(a["escape_line"].toString(), QString("Si KL3"));
        }
    }
    QVERIFY(kinds.contains("line") && kinds.contains("escape") && kinds.contains("sum") && kinds.contains("zero"));
}

void TestIdentifyCli::severalFiles()
{
    // An array of the files that could be identified, in order; the one
    // that could not is a line on stderr and status 1.
    const clirun::Run r = clirun::run(
        {"identify", file("fe-20kv.msa"), file("missing.msa"), file("ti-sum-20kv.msa"), "--json", "--beam", "20"});
    QCOMPARE(r.status, 1);
    const QJsonArray a = parse(r.out).toArray();
    QCOMPARE(a.size(), 2);
    QCOMPARE(a[0].toObject()["file"].toString(), QString::fromStdString(file("fe-20kv.msa")));
    QCOMPARE(a[1].toObject()["elements"].toArray()[0].toObject()["element"].toString(), QString("Ti"));
    QVERIFY2(r.err.find("missing.msa': no such file or directory") != std::string::npos, r.err.c_str());
}

void TestIdentifyCli::readable()
{
    const clirun::Run r = clirun::run({"identify", file("ti-sum-20kv.msa"), "--fwhm", "129 eV"});
    QCOMPARE(r.status, 0);
    const QString out = QString::fromStdString(r.out);
    for (const char *phrase : {"FWHM 129.0 eV at Mn Ka (given)", "20 kV (from the file)", "Ti (certain)",
                               "escape peak of Ti Ka1 (Si KL3 left the detector)", "sum peak 2 x Ti Ka1",
                               "the detector's noise peak at zero energy", "La1 at 0.45 keV"})
        QVERIFY2(out.contains(phrase), phrase);
    // An empty spectrum: no elements, and a note saying why.
    const clirun::Run empty = clirun::run({"identify", file("empty.msa")});
    QCOMPARE(empty.status, 0);
    QVERIFY(QString::fromStdString(empty.out).contains("elements   none found"));
    QVERIFY(QString::fromStdString(empty.out).contains("note: no peaks: the spectrum holds no counts"));
    const clirun::Run emptyJson = clirun::run({"identify", file("empty.msa"), "--json"});
    QCOMPARE(emptyJson.status, 0);
    QVERIFY(parse(emptyJson.out).toObject()["elements"].toArray().isEmpty());
    QVERIFY2(emptyJson.err.find("note: no peaks") != std::string::npos, emptyJson.err.c_str());
}

void TestIdentifyCli::badFiles_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("message");
    QTest::newRow("missing") << "nothing.msa" << "no such file or directory";
    QTest::newRow("uncalibrated") << "uncalibrated.msa" << "the spectrum is not calibrated";
    QTest::newRow("a directory") << "." << "a directory, not a spectrum file";
}

void TestIdentifyCli::badFiles()
{
    QFETCH(QString, name);
    QFETCH(QString, message);
    for (const bool json : {false, true}) {
        std::vector<std::string> args = {"identify", file(name.toUtf8().constData())};
        if (json)
            args.push_back("--json");
        const clirun::Run r = clirun::run(args);
        QCOMPARE(r.status, 1);
        QVERIFY(r.out.empty());
        QVERIFY2(QString::fromStdString(r.err).startsWith("zandor identify: '")
                     && QString::fromStdString(r.err).contains(message),
                 r.err.c_str());
        QCOMPARE(std::count(r.err.begin(), r.err.end(), '\n'), std::ptrdiff_t(1));
    }
}

void TestIdentifyCli::absurdOptions_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("message");
    QTest::newRow("no file") << QStringList() << "needs one or more spectrum files";
    QTest::newRow("FWHM as a bare number of eV") << QStringList({"--fwhm", "129"}) << "129 keV, above 1 keV";
    QTest::newRow("negative FWHM") << QStringList({"--fwhm", "-5eV"}) << "--fwhm '-5eV'";
    QTest::newRow("FWHM not a number") << QStringList({"--fwhm", "wide"}) << "--fwhm 'wide'";
    QTest::newRow("beam of zero") << QStringList({"--beam", "0"}) << "--beam '0'";
    QTest::newRow("beam in volts as kV") << QStringList({"--beam", "20000"}) << "above 1000 kV";
    QTest::newRow("unknown detector") << QStringList({"--detector", "nai"}) << "unknown detector 'nai'";
    QTest::newRow("empty entry") << QStringList({"--exclude", "C,,O"}) << "--exclude 'C,,O' has an empty entry";
    QTest::newRow("unknown element") << QStringList({"--require", "Xx"}) << "unknown element 'Xx'";
    QTest::newRow("required without lines") << QStringList({"--require", "H"}) << "H has no X-ray lines";
    QTest::newRow("both required and excluded") << QStringList({"--require", "Cu", "--exclude", "Fe,Cu"})
                                                << "Cu is both required and excluded";
    QTest::newRow("unknown option") << QStringList({"--tolerance", "10eV"}) << "unknown option '--tolerance'";
}

void TestIdentifyCli::absurdOptions()
{
    QFETCH(QStringList, args);
    QFETCH(QString, message);
    QStringList all = {"identify"};
    if (!args.isEmpty())
        all << QString::fromStdString(file("fe-20kv.msa"));
    all << args;
    const clirun::Run r = clirun::run(all);
    QCOMPARE(r.status, 2);
    QVERIFY(r.out.empty());
    QVERIFY2(QString::fromStdString(r.err).contains(message), r.err.c_str());
}

void TestIdentifyCli::detectorAndLists()
{
    // --detector ge names germanium's escapes of Mo; --exclude keeps an
    // element out even when its peaks are the strongest; --require lists
    // one whose lines are not there, as required.
    const clirun::Run ge = clirun::run({"identify", file("mo-ge-30kv.msa"), "--detector", "ge", "--json"});
    QCOMPARE(ge.status, 0);
    const QJsonObject o = parse(ge.out).toObject();
    QCOMPARE(o["detector"].toString(), QString("ge"));
    bool escape = false;
    for (const QJsonValue &v : o["peaks"].toArray()) {
        const QJsonObject a = v.toObject()["assignment"].toObject();
        if (a["kind"].toString() == "escape") {
            QCOMPARE(a["element"].toString(), QString("Mo"));
            escape = escape || a["escape_line"].toString() == "Ge KL3";
        }
    }
    QVERIFY(escape);
    QCOMPARE(o["elements"].toArray().size(), 1);

    const clirun::Run noTi = clirun::run({"identify", file("ti-sum-20kv.msa"), "--exclude", "ti", "--json"});
    QCOMPARE(noTi.status, 0);
    for (const QJsonValue &v : parse(noTi.out).toObject()["elements"].toArray())
        QVERIFY(v.toObject()["element"].toString() != "Ti");

    const clirun::Run withCu = clirun::run({"identify", file("fe-20kv.msa"), "--require", "29"});
    QCOMPARE(withCu.status, 0);
    QVERIFY2(QString::fromStdString(withCu.out).contains("required; its lines are not seen"), withCu.out.c_str());
    QVERIFY(QString::fromStdString(withCu.out).contains("Cu (possible)"));

    // --xrf: excited by X-rays, which an EDS file's signal type (or a text
    // file's silence) cannot say.
    for (const bool xrf : {false, true}) {
        QStringList args{"identify", QString::fromStdString(file("fe-20kv.msa"))};
        if (xrf)
            args << "--xrf";
        const clirun::Run r = clirun::run(args);
        QCOMPARE(r.status, 0);
        QCOMPARE(QString::fromStdString(r.out).contains("an X-ray fluorescence spectrum"), xrf);
    }
}

void TestIdentifyCli::help()
{
    // The usage lists every option and where the JSON is described.
    const clirun::Run r = clirun::run(std::vector<std::string>{"help", "identify"});
    QCOMPARE(r.status, 0);
    for (const char *word : {"--detector", "--fwhm", "--beam", "--exclude", "--require", "--json", "calibrated"})
        QVERIFY2(r.out.find(word) != std::string::npos, word);
    const clirun::Run all = clirun::run(std::vector<std::string>{"--help"});
    QVERIFY(all.out.find("identify") != std::string::npos);
}

void TestIdentifyCli::program()
{
    // The installed program itself: JSON on stdout, status 0; an
    // uncalibrated file, status 1 and one line on stderr; absurd options,
    // status 2.
    QProcess p;
    p.start(ZANDOR_PROGRAM, {"identify", QString::fromStdString(file("fe-20kv.msa")), "--json"});
    QVERIFY(p.waitForFinished(10000));
    QCOMPARE(p.exitCode(), 0);
    const QJsonObject o = parse(p.readAllStandardOutput().toStdString()).toObject();
    QCOMPARE(o["elements"].toArray()[0].toObject()["element"].toString(), QString("Fe"));
    p.start(ZANDOR_PROGRAM, {"identify", QString::fromStdString(file("uncalibrated.msa"))});
    QVERIFY(p.waitForFinished(10000));
    QCOMPARE(p.exitCode(), 1);
    QCOMPARE(p.readAllStandardError().count('\n'), 1);
    QVERIFY(p.readAllStandardOutput().isEmpty());
    p.start(ZANDOR_PROGRAM, {"identify", QString::fromStdString(file("fe-20kv.msa")), "--beam", "-3"});
    QVERIFY(p.waitForFinished(10000));
    QCOMPARE(p.exitCode(), 2);
}

QTEST_GUILESS_MAIN(TestIdentifyCli)
#include "tst_identify_cli.moc"
