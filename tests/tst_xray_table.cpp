// The compiled X-ray tables against their sources: the generated C++ holds
// exactly what the cited TSV files say, its indexes are right, and the lines
// the main window shows from kl_lines.inf have the same energies.
#include "xray/absorption.h"
#include "xray/detector.h"
#include "xray/edges.h"
#include "xray/elements.h"
#include "xray/lines.h"

#include <QFile>
#include <QTest>

#include <algorithm>
#include <map>
#include <set>

class TestXrayTable : public QObject {
    Q_OBJECT

private slots:
    void linesMatchTsv();
    void edgesMatchTsv();
    void detectorsMatchTsv();
    void attenuationMatchesTsv();
    void synthesisTablesMatchTsv();
    void indexesAreWhole();
    void klLinesAgree();
};

namespace {

// The rows of a TSV file of xray/data/, without the comment lines and the
// header, each split at TABs.
QList<QStringList> tsvRows(const QString &name)
{
    QFile file(QStringLiteral(ZANDOR_SOURCE_DIR "/xray/data/") + name);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", qPrintable(file.fileName()));
    QList<QStringList> rows;
    bool header = true;
    for (const QByteArray &line : file.readAll().split('\n')) {
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        if (header) {
            header = false;
            continue;
        }
        rows << QString::fromUtf8(line).split(u'\t');
    }
    return rows;
}

// (Z, shell) of the edges whose fluorescence yield edges.tsv marks as
// estimated: the M5 yields of Cd..La, which xraylib lacks.
const std::set<std::pair<int, QString>> &estimatedEdges()
{
    static const std::set<std::pair<int, QString>> edges = [] {
        std::set<std::pair<int, QString>> found;
        for (const QStringList &r : tsvRows("edges.tsv"))
            if (r.value(6) == "estimated")
                found.insert({r[0].toInt(), r[2]});
        return found;
    }();
    return edges;
}

// A number field; an empty one is 0, as the compiled tables hold it.
double number(const QString &field)
{
    return field.isEmpty() ? 0.0 : field.toDouble();
}

} // namespace

void TestXrayTable::linesMatchTsv()
{
    const QList<QStringList> rows = tsvRows("lines.tsv");
    const auto lines = xray::allLines();
    QCOMPARE(qsizetype(lines.size()), rows.size());
    for (qsizetype i = 0; i < rows.size(); ++i) {
        const QStringList &r = rows[i];
        const xray::Line &line = lines[std::size_t(i)];
        const QString where = QStringLiteral("row %1: %2").arg(i).arg(r.join(' '));
        QVERIFY2(r.size() == 10, qPrintable(where));
        // The lines that rest on an estimated M5 yield are marked, and only
        // those: the M5 lines (none of them its family's strongest).
        const bool estimated = line.shell == xray::Shell::M5 && estimatedEdges().count({line.Z, "M5"});
        QVERIFY2(!estimated || line.relative < 1, qPrintable(where));
        QVERIFY2(r[9] == (estimated ? "estimated" : ""), qPrintable(where));
        QVERIFY2(line.Z == r[0].toInt() && xray::elementSymbol(line.Z) == r[1].toStdString(), qPrintable(where));
        QVERIFY2(xray::familyName(line.family) == r[2].toStdString(), qPrintable(where));
        QVERIFY2(xray::shellName(line.shell) == r[3].toStdString(), qPrintable(where));
        QVERIFY2(line.iupac() == r[4].toStdString() && line.siegbahn() == r[5].toStdString(), qPrintable(where));
        QVERIFY2(line.energy_eV == r[6].toDouble() && line.relative == r[8].toDouble(), qPrintable(where));
    }
}

void TestXrayTable::edgesMatchTsv()
{
    const QList<QStringList> rows = tsvRows("edges.tsv");
    qsizetype i = 0;
    for (int Z = 1; Z <= xray::LastLineZ; ++Z) {
        for (const xray::Edge &edge : xray::edgesOf(Z)) {
            QVERIFY(i < rows.size());
            const QStringList &r = rows[i++];
            const QString where = r.join(' ');
            QVERIFY2(edge.Z == Z && r[0].toInt() == Z && xray::shellName(edge.shell) == r[2].toStdString(),
                     qPrintable(where));
            QVERIFY2(edge.energy_eV == r[3].toDouble() && edge.fluorescenceYield == number(r[4])
                         && edge.jumpRatio == number(r[5]),
                     qPrintable(where));
            QVERIFY2(r.size() == 7 && (r[6].isEmpty() || r[6] == "estimated"), qPrintable(where));
            QCOMPARE(xray::findEdge(Z, edge.shell), &edge);
        }
    }
    QCOMPARE(i, rows.size());
    // Estimated: the M5 yields of Cd (48) to La (57), none other.
    std::set<std::pair<int, QString>> expected;
    for (int Z = 48; Z <= 57; ++Z)
        expected.insert({Z, "M5"});
    QVERIFY(estimatedEdges() == expected);
}

void TestXrayTable::detectorsMatchTsv()
{
    const QList<QStringList> rows = tsvRows("detectors.tsv");
    qsizetype i = 0;
    for (const xray::Material m : {xray::Material::Si, xray::Material::Ge, xray::Material::CdTe}) {
        for (const xray::EscapeLine &line : xray::Detector(m).escapeLines()) {
            QVERIFY(i < rows.size());
            const QStringList &r = rows[i++];
            const QString where = r.join(' ');
            QVERIFY2(xray::materialKey(m) == r[0].toStdString() && line.Z == r[1].toInt(), qPrintable(where));
            QVERIFY2(line.massFraction == r[3].toDouble() && line.kEdge_eV == r[4].toDouble()
                         && line.fluorescenceYield == r[5].toDouble() && line.jumpRatio == r[6].toDouble(),
                     qPrintable(where));
            QVERIFY2(line.iupac() == r[7].toStdString() && line.energy_eV == r[8].toDouble()
                         && line.share == r[9].toDouble(),
                     qPrintable(where));
        }
    }
    QCOMPARE(i, rows.size());
}

void TestXrayTable::attenuationMatchesTsv()
{
    // At a tabulated energy the interpolation gives the table's value; at an
    // edge, the value above it.
    std::map<int, xray::Material> pure = {{14, xray::Material::Si}, {32, xray::Material::Ge}};
    const QList<QStringList> rows = tsvRows("attenuation.tsv");
    int checked = 0;
    for (qsizetype i = 0; i < rows.size(); ++i) {
        const auto m = pure.find(rows[i][0].toInt());
        if (m == pure.end())
            continue;
        const bool belowEdge = i + 1 < rows.size() && rows[i + 1][0] == rows[i][0] && rows[i + 1][2] == rows[i][2];
        if (belowEdge)
            continue;
        const double energy = rows[i][2].toDouble(), mu = rows[i][3].toDouble();
        QVERIFY2(qAbs(xray::Detector(m->second).massAttenuation(energy) / mu - 1) < 1e-9,
                 qPrintable(rows[i].join(' ')));
        ++checked;
    }
    QVERIFY(checked > 150);
}

void TestXrayTable::synthesisTablesMatchTsv()
{
    // Absorbers: every tabulated point (the value above an edge) comes back.
    int checked = 0;
    const QList<QStringList> absorbers = tsvRows("absorbers.tsv");
    for (qsizetype i = 0; i < absorbers.size(); ++i) {
        const QStringList &r = absorbers[i];
        if (i + 1 < absorbers.size() && absorbers[i + 1][0] == r[0] && absorbers[i + 1][2] == r[2])
            continue;
        const std::optional<double> mu = xray::absorberAttenuation(r[0].toInt(), r[2].toDouble());
        QVERIFY2(mu && qAbs(*mu / r[3].toDouble() - 1) < 1e-9, qPrintable(r.join(' ')));
        ++checked;
    }
    QVERIFY(checked > 1000);
    QVERIFY(!xray::absorberAttenuation(26, 6400));
    QCOMPARE(xray::absorberElements().size(), std::size_t(10));

    // Sample attenuation: every point of every element with lines comes
    // back; none for elements without lines.
    checked = 0;
    const QList<QStringList> samples = tsvRows("sampleattenuation.tsv");
    for (qsizetype i = 0; i < samples.size(); ++i) {
        const QStringList &r = samples[i];
        if (i + 1 < samples.size() && samples[i + 1][0] == r[0] && samples[i + 1][2] == r[2])
            continue;
        const std::optional<double> mu = xray::sampleAttenuation(r[0].toInt(), r[2].toDouble());
        QVERIFY2(mu && qAbs(*mu / r[3].toDouble() - 1) < 1e-9, qPrintable(r.join(' ')));
        ++checked;
    }
    QVERIFY(checked > 5000);
    QCOMPARE(samples.front()[0], QString("5"));
    QCOMPARE(samples.back()[0], QString("98"));
    QVERIFY(!xray::sampleAttenuation(4, 1000) && !xray::sampleAttenuation(99, 1000));

    // Photoionisation: every point, and nothing at or below an edge.
    const QList<QStringList> photo = tsvRows("photoionisation.tsv");
    const QStringList shells = {"K", "L1", "L2", "L3", "M1", "M2", "M3", "M4", "M5"};
    checked = 0;
    for (qsizetype i = 0; i < photo.size(); ++i) {
        const QStringList &r = photo[i];
        const int Z = r[0].toInt();
        const auto shell = static_cast<xray::Shell>(shells.indexOf(r[2]));
        QVERIFY2(xray::hasPhotoionisation(Z, shell), qPrintable(r.join(' ')));
        QCOMPARE(xray::photoionisation(Z, shell, r[3].toDouble()), 0.0);
        if (i + 1 < photo.size() && photo[i + 1][0] == r[0] && photo[i + 1][2] == r[2] && photo[i + 1][4] == r[4])
            continue;
        QVERIFY2(qAbs(xray::photoionisation(Z, shell, r[4].toDouble()) / r[5].toDouble() - 1) < 1e-9,
                 qPrintable(r.join(' ')));
        ++checked;
    }
    QVERIFY(checked > 5000);
    QVERIFY(!xray::hasPhotoionisation(26, xray::Shell::M5));

    const QList<QStringList> weights = tsvRows("atomicweights.tsv");
    QCOMPARE(weights.size(), qsizetype(xray::LastLineZ));
    for (const QStringList &r : weights)
        QCOMPARE(xray::atomicWeight(r[0].toInt()), r[2].toDouble());
    QCOMPARE(xray::atomicWeight(0), 0.0);
    QCOMPARE(xray::atomicWeight(xray::LastLineZ + 1), 0.0);
}

void TestXrayTable::indexesAreWhole()
{
    // Every line once in the energy index, in order of energy.
    std::vector<const xray::Line *> seen;
    double last = 0;
    for (const xray::Line &line : xray::linesByEnergy()) {
        QVERIFY(line.energy_eV >= last);
        last = line.energy_eV;
        seen.push_back(&line);
    }
    std::sort(seen.begin(), seen.end());
    QCOMPARE(seen.size(), xray::allLines().size());
    QVERIFY(std::adjacent_find(seen.begin(), seen.end()) == seen.end());

    // Each element's span holds exactly its lines, by energy.
    std::size_t total = 0;
    for (int Z = 0; Z <= xray::LastElementZ + 1; ++Z) {
        const auto lines = xray::linesOf(Z);
        QCOMPARE(lines.empty(), !xray::hasLines(Z));
        for (std::size_t i = 0; i < lines.size(); ++i) {
            QCOMPARE(int(lines[i].Z), Z);
            QVERIFY(i == 0 || lines[i - 1].energy_eV <= lines[i].energy_eV);
        }
        total += lines.size();
    }
    QCOMPARE(total, xray::allLines().size());

    // Range queries take both ends.
    const auto fe = xray::linesBetween(6403.9, 6403.9);
    QVERIFY(std::any_of(fe.begin(), fe.end(), [](const xray::Line &l) { return l.Z == 26 && l.iupac() == "KL3"; }));
    QVERIFY(xray::linesBetween(5, 4).empty());
    QVERIFY(xray::linesBetween(qQNaN(), 1e9).empty());
}

void TestXrayTable::klLinesAgree()
{
    // The main window's line file names the line as ka1, ka2, kb, la1, ...
    const std::map<QString, std::string> iupac = {
        {"ka1", "KL3"}, {"ka2", "KL2"}, {"kb", "KM3"},   {"la1", "L3M5"},
        {"la2", "L3M4"}, {"lb1", "L2M4"}, {"lb2", "L3N5"}, {"lg1", "L2N4"},
    };
    QFile file(QStringLiteral(ZANDOR_SHARE_DIR "/kl_lines.inf"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> records = file.readAll().split('\n').mid(1);
    int compared = 0;
    for (const QByteArray &record : records) {
        const QList<QByteArray> f = record.split('\t');
        if (f.size() < 4)
            continue;
        const int Z = f[2].toInt();
        const xray::Line *line = xray::findLine(Z, iupac.at(QString::fromLatin1(f[3])));
        QVERIFY2(line, record.constData());
        QVERIFY2(qAbs(line->energy_eV - f[1].toDouble()) <= 0.01, record.constData());
        ++compared;
    }
    QCOMPARE(compared, 588);
}

QTEST_GUILESS_MAIN(TestXrayTable)
#include "tst_xray_table.moc"
