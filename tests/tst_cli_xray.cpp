// zandor lines, edges and find: the JSON interface key by key, the readable
// forms, one-line errors with status 2, and the same from the program itself.
#include "cli/cli.h"

#include <nlohmann/json.hpp>

#include <QProcess>
#include <QTest>

#include <sstream>

using Args = std::vector<std::string>;
Q_DECLARE_METATYPE(Args)

class TestCliXray : public QObject {
    Q_OBJECT

private slots:
    void linesJson();
    void edgesJson();
    void findJson();
    void findJsonKinds_data();
    void findJsonKinds();
    void readable_data();
    void readable();
    void badInput_data();
    void badInput();
    void program_data();
    void program();
};

namespace {

using Json = nlohmann::ordered_json;

struct Result {
    int status;
    std::string out, err;
};

Result run(const Args &args)
{
    std::ostringstream out, err;
    const int status = cli::run(args, out, err);
    return {status, out.str(), err.str()};
}

Json runJson(const Args &args)
{
    const Result r = run(args);
    if (r.status != 0)
        qFatal("status %d: %s", r.status, r.err.c_str());
    return Json::parse(r.out);
}

QString text(const Json &value)
{
    return value.is_string() ? QString::fromStdString(value.get<std::string>()) : QString();
}

QStringList keys(const Json &object)
{
    QStringList k;
    for (const auto &item : object.items())
        k << QString::fromStdString(item.key());
    return k;
}

} // namespace

void TestCliXray::linesJson()
{
    const Json j = runJson({"lines", "fe", "--json"});
    QCOMPARE(keys(j), (QStringList{"element", "Z", "lines", "edges"}));
    QCOMPARE(text(j["element"]), QStringLiteral("Fe"));
    QCOMPARE(j["Z"].get<int>(), 26);
    const Json &ka1 = *std::find_if(j["lines"].begin(), j["lines"].end(),
                                    [](const Json &l) { return text(l["iupac"]) == "KL3"; });
    QCOMPARE(keys(ka1), (QStringList{"iupac", "siegbahn", "family", "energy_eV", "relative_intensity"}));
    QCOMPARE(text(ka1["siegbahn"]), QStringLiteral("Ka1"));
    QCOMPARE(text(ka1["family"]), QStringLiteral("K"));
    QCOMPARE(ka1["energy_eV"].get<double>(), 6403.9);
    QCOMPARE(ka1["relative_intensity"].get<double>(), 1.0);
    const Json &k = j["edges"][0];
    QCOMPARE(keys(k), (QStringList{"shell", "energy_eV", "fluorescence_yield", "jump_ratio"}));
    QCOMPARE(text(k["shell"]), QStringLiteral("K"));
    QCOMPARE(k["energy_eV"].get<double>(), 7112.0);

    // --family keeps that family; a line without a Siegbahn name has null.
    const Json pb = runJson({"lines", "82", "--family", "m", "--json"});
    QVERIFY(!pb["lines"].empty());
    for (const Json &l : pb["lines"])
        QCOMPARE(text(l["family"]), QStringLiteral("M"));
    QVERIFY(std::any_of(pb["lines"].begin(), pb["lines"].end(), [](const Json &l) { return l["siegbahn"].is_null(); }));
    // Tin's Mz1 (M5N3), whose M5 yield the table estimates: listed with an intensity.
    const Json sn = runJson({"lines", "Sn", "--json"});
    const auto mz1 = std::find_if(sn["lines"].begin(), sn["lines"].end(),
                                  [](const Json &l) { return text(l["iupac"]) == "M5N3"; });
    QVERIFY(mz1 != sn["lines"].end());
    QCOMPARE((*mz1)["energy_eV"].get<double>(), 396.2);
    QVERIFY((*mz1)["relative_intensity"].get<double>() > 0);
    // An element without lines: none, and its edges; a missing yield is null.
    const Json h = runJson({"lines", "H", "--json"});
    QVERIFY(h["lines"].empty());
    QCOMPARE(h["edges"].size(), std::size_t(1));
    QVERIFY(h["edges"][0]["fluorescence_yield"].is_null());
}

void TestCliXray::edgesJson()
{
    const Json j = runJson({"edges", "Cu", "--json"});
    QCOMPARE(keys(j), (QStringList{"element", "Z", "edges"}));
    QCOMPARE(j["edges"].size(), std::size_t(9));
    QCOMPARE(j["edges"][0]["energy_eV"].get<double>(), 8978.9);
}

void TestCliXray::findJson()
{
    const Json j = runJson({"find", "6.4keV", "--json"});
    QCOMPARE(keys(j), (QStringList{"query", "candidates"}));
    const Json &q = j["query"];
    QCOMPARE(keys(q), (QStringList{"energy_eV", "tolerance_eV", "detector", "fwhm_eV", "beam_kV", "elements"}));
    QCOMPARE(q["energy_eV"].get<double>(), 6400.0);
    QCOMPARE(text(q["detector"]), QStringLiteral("si"));
    QCOMPARE(q["fwhm_eV"].get<double>(), 129.0);
    QVERIFY(q["beam_kV"].is_null());
    QVERIFY(q["elements"].is_array() && q["elements"].empty());
    QCOMPARE(j["candidates"].size(), std::size_t(10)); // the default limit
    const Json &first = j["candidates"][0];
    QCOMPARE(text(first["element"]), QStringLiteral("Fe"));
    QCOMPARE(text(first["siegbahn"]), QStringLiteral("Ka1"));
    QCOMPARE(first["delta_eV"].get<double>(), 3.9);

    const Json g = runJson({"find", "7592.9", "eV", "--detector", "GE", "--fwhm", "0.15", "--beam", "30kV",
                            "--elements", "mo,Fe,mo", "--tolerance", "40eV", "--json"});
    QCOMPARE(g["query"]["energy_eV"].get<double>(), 7592.9);
    QCOMPARE(g["query"]["tolerance_eV"].get<double>(), 40.0);
    QCOMPARE(text(g["query"]["detector"]), QStringLiteral("ge"));
    QCOMPARE(g["query"]["fwhm_eV"].get<double>(), 150.0);
    QCOMPARE(g["query"]["beam_kV"].get<double>(), 30.0);
    QVERIFY(g["query"]["elements"] == Json({"Mo", "Fe"}));
    for (const Json &c : g["candidates"])
        QVERIFY(std::abs(c["delta_eV"].get<double>()) <= 40);
}

void TestCliXray::findJsonKinds_data()
{
    QTest::addColumn<Args>("args");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QStringList>("keys");
    QTest::addColumn<QString>("detail"); // one value of the candidate, as JSON text
    const QStringList common = {"kind", "energy_eV", "delta_eV", "score"};
    QTest::newRow("line") << Args{"find", "6.4keV", "--json"} << "line"
                          << common + QStringList{"element", "Z", "iupac", "siegbahn", "family",
                                                  "relative_intensity", "confirm"}
                          << "\"family\":\"K\"";
    QTest::newRow("escape") << Args{"find", "4663.9eV", "--elements", "Fe", "--json"} << "escape"
                            << common + QStringList{"element", "Z", "iupac", "siegbahn", "parent_energy_eV",
                                                    "escape_line", "fraction", "confirm"}
                            << "\"escape_line\":\"Si KL3\"";
    QTest::newRow("sum") << Args{"find", "14451.7eV", "--elements", "Fe,Cu", "--json"} << "sum"
                         << common + QStringList{"lines", "confirm"}
                         << "\"lines\":[{\"element\":\"Fe\",\"iupac\":\"KL3\",\"siegbahn\":\"Ka1\",\"energy_eV\":6403.9},"
                            "{\"element\":\"Cu\",\"iupac\":\"KL3\",\"siegbahn\":\"Ka1\",\"energy_eV\":8047.8}]";
}

void TestCliXray::findJsonKinds()
{
    QFETCH(Args, args);
    QFETCH(QString, kind);
    QFETCH(QStringList, keys);
    QFETCH(QString, detail);
    const Json j = runJson(args);
    // The named elements' candidates come first: the escape and the sum too.
    const Json &c = j["candidates"][0];
    QCOMPARE(text(c["kind"]), kind);
    QCOMPARE(::keys(c), keys);
    const std::string text = c.dump();
    QVERIFY2(text.find(detail.toStdString()) != std::string::npos, text.c_str());
    for (const Json &line : c["confirm"])
        QCOMPARE(::keys(line), (QStringList{"element", "iupac", "siegbahn", "energy_eV", "relative_intensity"}));
}

void TestCliXray::readable_data()
{
    QTest::addColumn<Args>("args");
    QTest::addColumn<QStringList>("has"); // lines that must appear, in this order
    QTest::newRow("find restates the query in both units")
        << Args{"find", "6.4", "keV"}
        << QStringList{"Energy     6.4 keV = 6400.0 eV",
                       "Detector   Si: FWHM 129.0 eV at Mn Ka, 133.8 eV at this energy",
                       "Tolerance  +/-133.8 eV (1 FWHM)",
                       " 1  Fe Ka1     line         6403.9       +3.9   0.9976"};
    QTest::newRow("find with a beam and elements")
        << Args{"find", "2310eV", "--beam", "15", "--elements", "s,pb", "--limit", "2"}
        << QStringList{"Beam       15 kV: lines whose edge lies above it are left out",
                       "Elements   S, Pb: their candidates first; sum peaks of their lines",
                       "    confirm: S Kb1 2464.0", "more within the tolerance (--limit 0 shows all)."};
    QTest::newRow("lines") << Args{"lines", "Fe"}
                           << QStringList{"Fe (iron, Z = 26)", "K lines   IUPAC     energy eV       keV   relative",
                                          "  Ka1      KL3          6403.9    6.4039     1.0000",
                                          "  K                   7112.0    7.1120               0.3546        7.893"};
    QTest::newRow("lines of one family") << Args{"lines", "fe", "--family", "K"}
                                         << QStringList{"K lines", "Absorption edges"};
    QTest::newRow("element without lines")
        << Args{"lines", "h"} << QStringList{"No X-ray lines in the table: it holds the lines of B (Z = 5) to Cf (Z = 98)."};
    QTest::newRow("element without edges") << Args{"edges", "Es"} << QStringList{"No absorption edges in the table for Es"};
}

void TestCliXray::readable()
{
    QFETCH(Args, args);
    QFETCH(QStringList, has);
    const Result r = run(args);
    QCOMPARE(r.status, 0);
    QCOMPARE(QString::fromStdString(r.err), QString());
    const QString out = QString::fromStdString(r.out);
    qsizetype at = 0;
    for (const QString &line : has) {
        const qsizetype found = out.indexOf(line, at);
        QVERIFY2(found >= 0, qPrintable(line + "\n---\n" + out));
        at = found + line.size();
    }
    if (args[1] == "fe" && args.size() > 2)
        QVERIFY(!out.contains("L lines"));
}

void TestCliXray::badInput_data()
{
    QTest::addColumn<Args>("args");
    QTest::addColumn<QString>("err");
    QTest::newRow("unknown element") << Args{"lines", "Xx"}
                                     << "zandor lines: unknown element 'Xx' (give a symbol such as Fe, or an atomic number)";
    QTest::newRow("no element") << Args{"edges"} << "zandor edges: needs an element: a symbol such as Fe, or an atomic number";
    QTest::newRow("bad family") << Args{"lines", "Fe", "--family", "N"} << "zandor lines: --family 'N' is not K, L or M";
    QTest::newRow("no energy") << Args{"find"} << "zandor find: needs an energy, such as 6.4keV or 6400eV";
    QTest::newRow("empty energy") << Args{"find", ""} << "zandor find: energy '' is empty";
    QTest::newRow("negative energy") << Args{"find", "-6.4"} << "zandor find: energy '-6.4' is negative";
    QTest::newRow("NaN") << Args{"find", "NaN"} << "zandor find: energy 'NaN' is not a number";
    QTest::newRow("1e999") << Args{"find", "1e999"} << "zandor find: energy '1e999' is too large";
    QTest::newRow("unknown unit") << Args{"find", "6.4keu"}
                                  << "zandor find: energy '6.4keu' has an unknown unit 'keu' (use eV or keV)";
    QTest::newRow("unknown unit apart") << Args{"find", "6.4", "kev2"}
                                        << "zandor find: energy '6.4 kev2' has an unknown unit 'kev2' (use eV or keV)";
    QTest::newRow("two energies") << Args{"find", "6.4", "7.1"} << "zandor find: unexpected argument '7.1'";
    QTest::newRow("unknown detector") << Args{"find", "6.4", "--detector", "sdd"}
                                      << "zandor find: unknown detector 'sdd' (use si, ge or cdte)";
    QTest::newRow("negative FWHM") << Args{"find", "6.4", "--fwhm", "-129eV"} << "zandor find: --fwhm '-129eV' is negative";
    QTest::newRow("FWHM as bare eV") << Args{"find", "6.4", "--fwhm", "129"}
                                     << "zandor find: --fwhm '129' is 129 keV, above 1 keV (a bare number is keV; "
                                        "write the unit, as in 129eV)";
    QTest::newRow("tolerance 0") << Args{"find", "6.4", "--tolerance", "0"} << "zandor find: --tolerance '0' is not above zero";
    QTest::newRow("beam 0") << Args{"find", "6.4", "--beam", "0kV"} << "zandor find: --beam '0kV' is not above zero";
    QTest::newRow("beam in volts as kV") << Args{"find", "6.4", "--beam", "20000"}
                                         << "zandor find: --beam '20000' is 20000 kV, above 1000 kV (a bare number is "
                                            "kV; write the unit, as in 20kV)";
    QTest::newRow("unknown in --elements") << Args{"find", "6.4", "--elements", "Fe,Qq"}
                                           << "zandor find: unknown element 'Qq' (give a symbol such as Fe, or an atomic number)";
    QTest::newRow("empty entry") << Args{"find", "6.4", "--elements", "Fe,,Cu"}
                                 << "zandor find: --elements 'Fe,,Cu' has an empty entry";
    std::string many = "Fe";
    for (int i = 0; i < 4999; ++i)
        many += ",Fe";
    QTest::newRow("thousands of elements") << Args{"find", "6.4", "--elements", many}
                                           << "zandor find: --elements lists 5000 entries, more than there are elements (109)";
    QTest::newRow("bad limit") << Args{"find", "6.4", "--limit", "-1"}
                               << "zandor find: --limit '-1' is not a whole number (0 for all)";
    QTest::newRow("huge limit") << Args{"find", "6.4", "--limit", "99999999999999999999999"}
                                << "zandor find: --limit '99999999999999999999999' is not a whole number (0 for all)";
}

void TestCliXray::badInput()
{
    QFETCH(Args, args);
    QFETCH(QString, err);
    const Result r = run(args);
    QCOMPARE(r.status, 2);
    QCOMPARE(QString::fromStdString(r.out), QString());
    QCOMPARE(QString::fromStdString(r.err), err + "\n");
}

void TestCliXray::program_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("outStarts");
    QTest::newRow("find --json") << QStringList{"find", "6.4keV", "--json"} << 0 << "{\n  \"query\": {";
    QTest::newRow("lines") << QStringList{"lines", "W"} << 0 << "W (tungsten, Z = 74)";
    QTest::newRow("edges of an element without lines") << QStringList{"edges", "1"} << 0 << "H (hydrogen, Z = 1)";
    QTest::newRow("bad energy") << QStringList{"find", "nan"} << 2 << "";
    QTest::newRow("bad element") << QStringList{"lines", "Zz"} << 2 << "";
}

void TestCliXray::program()
{
    QFETCH(QStringList, args);
    QFETCH(int, status);
    QFETCH(QString, outStarts);
    QProcess p;
    p.start(QStringLiteral(ZANDOR_PROGRAM), args);
    QVERIFY(p.waitForFinished(20000));
    QCOMPARE(p.exitStatus(), QProcess::NormalExit);
    QCOMPARE(p.exitCode(), status);
    const QString out = QString::fromUtf8(p.readAllStandardOutput());
    const QString err = QString::fromUtf8(p.readAllStandardError());
    QVERIFY2(outStarts.isEmpty() || out.startsWith(outStarts), qPrintable(out));
    // A failure is one line on stderr and nothing on stdout.
    QCOMPARE(err.count(u'\n'), status == 0 ? 0 : 1);
    if (status != 0)
        QVERIFY(out.isEmpty() && err.startsWith("zandor " + args[0] + ": "));
}

QTEST_GUILESS_MAIN(TestCliXray)
#include "tst_cli_xray.moc"
