// The least-squares energy calibration: exact and noisy pairs, residuals,
// and the refusals.
#include "spectrum/calibration.h"

#include <QTest>

#include <cmath>
#include <random>

using Points = std::vector<spectrum::CalibrationPoint>;
Q_DECLARE_METATYPE(Points)

class TestSpectrumCalibration : public QObject {
    Q_OBJECT

private slots:
    void exact_data();
    void exact();
    void noisy();
    void refusals_data();
    void refusals();
};

void TestSpectrumCalibration::exact_data()
{
    QTest::addColumn<Points>("points");
    QTest::addColumn<double>("offset");
    QTest::addColumn<double>("gain");
    QTest::newRow("two points") << Points{{100, 480}, {1000, 5000}} << -22.2222222222 << 5.0222222222;
    QTest::newRow("two points, given in falling order") << Points{{1000, 5000}, {100, 480}} << -22.2222222222
                                                        << 5.0222222222;
    QTest::newRow("three on a line") << Points{{0, -480}, {512, 2080}, {4095, 19995}} << -480.0 << 5.0;
    QTest::newRow("fractional centroids") << Points{{300.25, 1501.25}, {1280.75, 6403.75}} << 0.0 << 5.0;
    QTest::newRow("far from channel zero") << Points{{1e6, 1e7 + 3}, {1e6 + 2, 1e7 + 5}} << 9000003.0 << 1.0;
}

void TestSpectrumCalibration::exact()
{
    QFETCH(Points, points);
    QFETCH(double, offset);
    QFETCH(double, gain);
    const auto fit = spectrum::fitCalibration(points);
    QVERIFY2(fit, fit ? "" : fit.error().reason.c_str());
    QVERIFY2(std::fabs(fit->calibration.offset_eV - offset) < 1e-6, qPrintable(QString::number(fit->calibration.offset_eV, 'g', 17)));
    QVERIFY(std::fabs(fit->calibration.gain_eV - gain) < 1e-9);
    QCOMPARE(fit->residuals_eV.size(), points.size());
    for (double r : fit->residuals_eV)
        QVERIFY(std::fabs(r) < 1e-6);
    QVERIFY(fit->rms_eV < 1e-6);
}

void TestSpectrumCalibration::noisy()
{
    // Peaks along a known line, each centroid off by up to a tenth of a
    // channel: the fit lands near the line, its residuals are the misses,
    // and they sum to zero as least squares make them.
    std::mt19937 random(12);
    std::uniform_real_distribution<double> jitter(-0.1, 0.1);
    Points points;
    for (double channel : {52.0, 270.0, 1005.5, 1281.0, 1600.0, 3000.0})
        points.push_back({channel + jitter(random), -95.0 + 5.01 * channel});
    const auto fit = spectrum::fitCalibration(points);
    QVERIFY(fit);
    QVERIFY(std::fabs(fit->calibration.gain_eV - 5.01) < 0.01);
    QVERIFY(std::fabs(fit->calibration.offset_eV + 95.0) < 1.0);
    double sum = 0.0, squares = 0.0;
    for (std::size_t i = 0; i < points.size(); ++i) {
        const double expected = points[i].energy_eV - fit->calibration.energy_eV(points[i].channel);
        QVERIFY(std::fabs(fit->residuals_eV[i] - expected) < 1e-9);
        QVERIFY(std::fabs(fit->residuals_eV[i]) < 1.0); // a tenth of a channel is 0.5 eV
        sum += fit->residuals_eV[i];
        squares += expected * expected;
    }
    QVERIFY(std::fabs(sum) < 1e-9);
    QVERIFY(fit->rms_eV > 0.0);
    QVERIFY(std::fabs(fit->rms_eV - std::sqrt(squares / double(points.size()))) < 1e-12);
}

void TestSpectrumCalibration::refusals_data()
{
    QTest::addColumn<Points>("points");
    QTest::addColumn<QString>("reason");
    QTest::newRow("none") << Points{} << "at least two peaks of known energy, not 0";
    QTest::newRow("one") << Points{{10, 100}} << "at least two peaks of known energy, not 1";
    QTest::newRow("two at the same channel") << Points{{500, 2000}, {500, 2500}} << "all lie at the same channel";
    QTest::newRow("three at the same channel") << Points{{7, 1}, {7, 2}, {7, 3}} << "all lie at the same channel";
    QTest::newRow("energy falls") << Points{{100, 5000}, {1000, 480}} << "do not rise with the channel";
    QTest::newRow("energy constant") << Points{{100, 5000}, {1000, 5000}} << "do not rise with the channel";
    QTest::newRow("NaN") << Points{{100, 5000}, {std::nan(""), 6000}} << "not a finite number";
    QTest::newRow("infinite energy") << Points{{100, 5000}, {200, HUGE_VAL}} << "not a finite number";
}

void TestSpectrumCalibration::refusals()
{
    QFETCH(Points, points);
    QFETCH(QString, reason);
    const auto fit = spectrum::fitCalibration(points);
    QVERIFY(!fit);
    QVERIFY2(QString::fromStdString(fit.error().reason).contains(reason), fit.error().reason.c_str());
}

QTEST_GUILESS_MAIN(TestSpectrumCalibration)
#include "tst_spectrum_calibration.moc"
