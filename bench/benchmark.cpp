// zandor-benchmark [DATA_DIR] [--repeat N]
//
// Times the main window's interactive paths: starts the window on the data
// files of DATA_DIR (by default the source tree's share/), without a display
// unless one is asked for with QT_QPA_PLATFORM, and prints for each path the
// median and the spread of N runs (2000 by default), in microseconds.
//
// Each measurement is one function returning a Measurement; add a new one to
// the list in main(). Figures vary with the machine; compare runs on one.
#include "mainwindow/form1.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTest>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

struct Measurement {
    QString name;
    std::vector<double> micros; // one per run
};

// Runs `step(i)` for i = 0 .. warmup + repeat - 1 and keeps the times of the
// last `repeat` runs.
std::vector<double> timeRuns(int repeat, const std::function<void(int)> &step)
{
    constexpr int warmup = 50;
    std::vector<double> micros;
    micros.reserve(std::size_t(repeat));
    for (int i = 0; i < warmup + repeat; ++i) {
        const auto start = std::chrono::steady_clock::now();
        step(i);
        const auto end = std::chrono::steady_clock::now();
        if (i >= warmup)
            micros.push_back(std::chrono::duration<double, std::micro>(end - start).count());
    }
    return micros;
}

double quantile(std::vector<double> v, double q)
{
    if (v.empty())
        return 0;
    const auto k = std::size_t(q * double(v.size() - 1) + 0.5);
    std::nth_element(v.begin(), v.begin() + std::ptrdiff_t(k), v.end());
    return v[k];
}

void printTable(const std::vector<Measurement> &rows)
{
    int width = 11;
    for (const Measurement &m : rows)
        width = std::max(width, int(m.name.size()));
    std::printf("%-*s %7s %10s %10s %10s\n", width, "measurement", "runs", "median", "p10", "p90");
    std::printf("%s\n", QByteArray(width + 41, '-').constData());
    for (const Measurement &m : rows)
        std::printf("%-*s %7zu %10.1f %10.1f %10.1f\n", width, qPrintable(m.name), m.micros.size(),
                    quantile(m.micros, 0.5), quantile(m.micros, 0.1), quantile(m.micros, 0.9));
    std::printf("(times in microseconds)\n");
}

// A pointer move over the symbol of element Z, delivered as the window
// system would deliver it to the label under the pointer.
void moveOver(Form1 &w, int Z, int dx)
{
    QLabel *label = w.ElementSelectionLabel(Z);
    const QPointF local(label->width() / 2 + dx, label->height() / 2);
    QMouseEvent move(QEvent::MouseMove, local, label->mapToGlobal(local), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(label, &move);
}

// --- The measurements -------------------------------------------------------

Measurement viewEveryElement(Form1 &w, int repeat)
{
    return {QStringLiteral("ViewElement, Z = 1, 2, ... 109"), timeRuns(repeat, [&](int i) { w.ViewElement(1 + i % 109); })};
}

Measurement viewSameElement(Form1 &w, int repeat)
{
    w.ViewElement(26);
    return {QStringLiteral("ViewElement, Z = 26 again"), timeRuns(repeat, [&](int) { w.ViewElement(26); })};
}

Measurement pointerToAnotherCell(Form1 &w, int repeat)
{
    return {QStringLiteral("pointer move, 26 <-> 92"),
            timeRuns(repeat, [&](int i) { moveOver(w, i % 2 ? 92 : 26, 0); })};
}

Measurement pointerWithinCell(Form1 &w, int repeat)
{
    moveOver(w, 26, 0);
    return {QStringLiteral("pointer move within cell 26"),
            timeRuns(repeat, [&](int i) { moveOver(w, 26, i % 2); })};
}

// The move and the repaint of what it changed, which Qt otherwise does on
// its next pass through the event loop.
Measurement pointerToAnotherCellPainted(Form1 &w, int repeat)
{
    return {QStringLiteral("pointer move, 26 <-> 92, painted"), timeRuns(repeat, [&](int i) {
                moveOver(w, i % 2 ? 92 : 26, 0);
                QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
            })};
}

// A keystroke that changes the element: the number box between 26 and 2.
Measurement numberBoxKey(Form1 &w, int repeat)
{
    w.ElementText1->setFocus();
    w.ElementText1->setText(QStringLiteral("26"));
    return {QStringLiteral("number box key, 26 <-> 2"), timeRuns(repeat, [&](int i) {
                if (i % 2 == 0)
                    QTest::keyClick(w.ElementText1, Qt::Key_Backspace);
                else
                    QTest::keyClick(w.ElementText1, Qt::Key_6);
            })};
}

// A keystroke that changes the element: the symbol box between Fe and F.
Measurement symbolBoxKey(Form1 &w, int repeat)
{
    w.ElementText2->setFocus();
    w.ElementText2->setText(QStringLiteral("Fe"));
    return {QStringLiteral("symbol box key, Fe <-> F"), timeRuns(repeat, [&](int i) {
                if (i % 2 == 0)
                    QTest::keyClick(w.ElementText2, Qt::Key_Backspace);
                else
                    QTest::keyClick(w.ElementText2, Qt::Key_E);
            })};
}

int usage()
{
    std::fprintf(stderr, "usage: zandor-benchmark [DATA_DIR] [--repeat N]\n");
    return 2;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    QString data = QStringLiteral(ZANDOR_SHARE_DIR);
    int repeat = 2000;
    const QStringList args = QApplication::arguments().mid(1);
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--repeat") && i + 1 < args.size()) {
            bool ok = false;
            repeat = args[++i].toInt(&ok);
            if (!ok || repeat < 1)
                return usage();
        } else if (!args[i].startsWith(QLatin1String("--"))) {
            data = args[i];
        } else {
            return usage();
        }
    }
    if (!QDir::setCurrent(data)) {
        std::fprintf(stderr, "zandor-benchmark: no directory %s\n", qPrintable(data));
        return 1;
    }

    Form1 w;
    if (!w.Form1_Load())
        return 1;
    w.show();
    if (!QTest::qWaitForWindowExposed(&w))
        return 1;

    std::printf("Zandor benchmark: data in %s, platform %s, %d runs each\n\n",
                qPrintable(QDir::currentPath()), qPrintable(QGuiApplication::platformName()), repeat);
    const std::vector<std::function<Measurement(Form1 &, int)>> measurements{
        viewEveryElement,   viewSameElement, pointerToAnotherCell, pointerWithinCell,
        pointerToAnotherCellPainted, numberBoxKey, symbolBoxKey,
    };
    std::vector<Measurement> results;
    for (const auto &measure : measurements)
        results.push_back(measure(w, repeat));
    printTable(results);
    return 0;
}
