// zandor-benchmark [DATA_DIR] [--repeat N] [--huge-runs N] [--startup-runs N] [--no-micro]
//
// First, in this process: it times the loaders and the main window's
// interactive paths on the data files of DATA_DIR (by default the source
// tree's share/), without a display unless one is asked for with
// QT_QPA_PLATFORM, and prints for each path the median and the spread of N
// runs (2000 by default), in microseconds, with its target where it has one.
//
// Second, also in this process, the same user actions on copies of those
// files with fields of 5 MB and of 50 MB (hugefields below), --huge-runs
// times each (11 by default; 0 leaves this part out).
//
// Then, with an X server (DISPLAY set, as under xvfb-run), it starts the
// program (zandor-startprobe) and a plain Qt program with as many controls
// (baseline-startprobe), one after the other, --startup-runs times each (20
// by default; 0 leaves this part out), and compares the time from process
// start to the first painted window and the resident memory at that moment,
// run by run. Both probes are built beside this program; see firstpaint.h.
//
// Each in-process measurement is one function returning a Measurement; add a
// new one to the list in main(). Figures vary with the machine; compare runs
// on one.
#include "app/spectrumtools.h"
#include "data/db.h"
#include "mainwindow/form1.h"
#include "secondary/form2.h"
#include "spectrumtestdata.h"
#include "spectrumwindow/spectrumwindow.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QWheelEvent>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace {

struct Measurement {
    QString name;
    std::vector<double> micros; // one per run
    double target = 0;          // microseconds; 0: none
};

// Runs `step(i)` for i = 0 .. warmup + repeat - 1 and keeps the times of the
// last `repeat` runs. `prepare(i)`, when given, runs before each step and is
// not timed.
std::vector<double> timeRuns(int repeat, const std::function<void(int)> &step, int warmup = 50,
                             const std::function<void(int)> &prepare = {})
{
    std::vector<double> micros;
    micros.reserve(std::size_t(repeat));
    for (int i = 0; i < warmup + repeat; ++i) {
        if (prepare)
            prepare(i);
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

const char *verdict(double value, double target) { return value <= target ? "met" : "NOT MET"; }

void printTable(const std::vector<Measurement> &rows)
{
    int width = 11;
    for (const Measurement &m : rows)
        width = std::max(width, int(m.name.size()));
    std::printf("%-*s %7s %10s %10s %10s %10s  %s\n", width, "measurement", "runs", "median", "p10", "p90", "target",
                "verdict");
    std::printf("%s\n", QByteArray(width + 60, '-').constData());
    for (const Measurement &m : rows) {
        const double median = quantile(m.micros, 0.5);
        std::printf("%-*s %7zu %10.1f %10.1f %10.1f", width, qPrintable(m.name), m.micros.size(), median,
                    quantile(m.micros, 0.1), quantile(m.micros, 0.9));
        if (m.target > 0)
            std::printf(" %10.0f  %s\n", m.target, verdict(median, m.target));
        else
            std::printf(" %10s\n", "-");
    }
    std::printf("(times in microseconds; a target is met by the median)\n");
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

// --- The in-process measurements ----------------------------------------------

// The loaders read from the working directory, the data directory. The
// Portuguese edition is loaded last, so the window goes on with the data it
// started with.
Measurement loadEnglishElements(Form1 &, int repeat)
{
    return {QStringLiteral("LoadElementTable(\"en\")"), timeRuns(repeat, [](int) { db::LoadElementTable("en"); })};
}

Measurement loadLines(Form1 &, int repeat)
{
    return {QStringLiteral("LoadLineTable()"), timeRuns(repeat, [](int) { db::LoadLineTable(); })};
}

Measurement loadPortugueseElements(Form1 &, int repeat)
{
    return {QStringLiteral("LoadElementTable(\"br\")"), timeRuns(repeat, [](int) { db::LoadElementTable("br"); })};
}

Measurement viewEveryElement(Form1 &w, int repeat)
{
    return {QStringLiteral("ViewElement, Z = 1, 2, ... 109"), timeRuns(repeat, [&](int i) { w.ViewElement(1 + i % 109); }),
            20};
}

Measurement viewSameElement(Form1 &w, int repeat)
{
    w.ViewElement(26);
    return {QStringLiteral("ViewElement, Z = 26 again"), timeRuns(repeat, [&](int) { w.ViewElement(26); })};
}

// The pointer handler, the view, the nested lookup of the number box and
// the widget updates, up to the point where Qt would paint.
Measurement pointerToAnotherCell(Form1 &w, int repeat)
{
    return {QStringLiteral("pointer move, 26 <-> 92"), timeRuns(repeat, [&](int i) { moveOver(w, i % 2 ? 92 : 26, 0); }),
            100};
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

// The File menu's first item, as a click on it triggers it: reload of the
// element file and every caption. Runs alternate between the two
// directions; each direction is its own row.
std::vector<Measurement> languageSwitch(Form1 &w, int repeat)
{
    const auto runs = timeRuns(2 * repeat, [&](int) { w.mnuTranslate->trigger(); });
    // The warm-up runs were an even number, so run 0 kept is the first from
    // Portuguese: to English.
    Measurement toEnglish{QStringLiteral("language switch to English"), {}, 2000};
    Measurement toPortuguese{QStringLiteral("language switch to Portuguese"), {}, 2000};
    for (std::size_t i = 0; i < runs.size(); ++i)
        (i % 2 == 0 ? toEnglish : toPortuguese).micros.push_back(runs[i]);
    if (w.mnuTranslate->text() != QLatin1String("English &Version"))
        w.mnuTranslate->trigger();
    return {toEnglish, toPortuguese};
}

// --- Huge fields ------------------------------------------------------------------
//
// Copies of the data files that stay valid but hold a huge field where a
// field reaches the window: iron's name (row 26, column 3) in both editions
// of the element file with a line of readme.txt of the same size, or
// uranium's symbol (row 92, column 2), which start-up writes into its cell,
// with a readme.txt of that size in lines of the usual length.
// On them, each user action is timed painted, as the user would wait for it,
// with a target of 50 ms; start-up has none.

struct HugeData {
    const char *label;
    qsizetype name = 0;   // bytes of iron's name and of the read-me line; 0: as shipped
    qsizetype symbol = 0; // bytes of uranium's symbol and of the read-me; 0: as shipped
};

// `file` with field `column` of line `line` (0: the header) replaced.
QByteArray withField(const QByteArray &file, int line, int column, const QByteArray &value)
{
    QList<QByteArray> lines = file.split('\n');
    QList<QByteArray> fields = lines[line].split('\t');
    fields[column - 1] = value;
    lines[line] = fields.join('\t');
    return lines.join('\n');
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeAll(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

// The data files of `from` in `to`, with the fields of `set`.
bool writeHugeData(const QString &from, const QString &to, const HugeData &set)
{
    const QDir source(from), target(to);
    for (const char *edition : {"elements.inf", "elements_br.inf"}) {
        QByteArray file = readAll(source.filePath(QLatin1String(edition)));
        if (set.name > 0)
            file = withField(file, 26, 3, QByteArray(set.name, 'n'));
        if (set.symbol > 0)
            file = withField(file, 92, 2, QByteArray(set.symbol, 'U'));
        if (!writeAll(target.filePath(QLatin1String(edition)), file))
            return false;
    }
    QByteArray readme = readAll(source.filePath(QStringLiteral("readme.txt")));
    if (set.name > 0) {
        QList<QByteArray> lines = readme.split('\n');
        lines.insert(lines.size() / 2, QByteArray(set.name, 'r') + '\r');
        readme = lines.join('\n');
    }
    if (set.symbol > 0 && !readme.isEmpty())
        readme = readme.repeated(int(set.symbol / readme.size()) + 1);
    return writeAll(target.filePath(QStringLiteral("readme.txt")), readme)
           && QFile::copy(source.filePath(QStringLiteral("kl_lines.inf")), target.filePath(QStringLiteral("kl_lines.inf")));
}

// Paints what the last event changed, as the next pass through the event
// loop would.
void paintNow() { QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest); }

// The user actions on the files in the working directory, `runs` times
// each after one run not counted. `label` names the data set.
std::vector<Measurement> hugeFieldActions(const QString &label, int runs)
{
    constexpr double target = 50000;
    constexpr int warmup = 1;
    const auto name = [&](const char *what) { return QStringLiteral("[%1] %2").arg(label, QLatin1String(what)); };
    std::vector<Measurement> rows;

    std::unique_ptr<Form1> started;
    rows.push_back({name("start-up, shown and painted"), timeRuns(
                        runs,
                        [&](int) {
                            started = std::make_unique<Form1>();
                            started->Form1_Load();
                            started->show();
                            started->repaint();
                        },
                        warmup, [&](int) { started.reset(); })});
    started.reset();

    Form1 w;
    if (!w.Form1_Load())
        return rows;
    w.show();
    if (!QTest::qWaitForWindowExposed(&w))
        return rows;
    const auto point = [&](int Z) {
        moveOver(w, Z, 0);
        paintNow();
    };

    rows.push_back({name("pointer move, 26 <-> 92, painted"), timeRuns(runs, [&](int i) { point(i % 2 ? 92 : 26); }, warmup),
                    target});
    // A reload gives the grid new content: the view decodes the rows anew.
    rows.push_back({name("pointer move, first after a reload"),
                    timeRuns(runs, [&](int i) { point(i % 2 ? 92 : 26); }, warmup,
                             [](int) { db::LoadElementTable("br"); }),
                    target});

    w.ElementText1->setFocus();
    w.ElementText1->setText(QStringLiteral("26"));
    rows.push_back({name("number box key, 26 <-> 2, painted"), timeRuns(
                        runs,
                        [&](int i) {
                            QTest::keyClick(w.ElementText1, i % 2 ? Qt::Key_6 : Qt::Key_Backspace);
                            paintNow();
                        },
                        warmup),
                    target});
    w.ElementText2->setFocus();
    w.ElementText2->setText(QStringLiteral("Fe"));
    rows.push_back({name("symbol box key, Fe <-> F, painted"), timeRuns(
                        runs,
                        [&](int i) {
                            QTest::keyClick(w.ElementText2, i % 2 ? Qt::Key_E : Qt::Key_Backspace);
                            paintNow();
                        },
                        warmup),
                    target});

    const auto switches = timeRuns(
        2 * runs,
        [&](int) {
            w.mnuTranslate->trigger();
            paintNow();
        },
        2 * warmup);
    Measurement toEnglish{name("language switch to English, painted"), {}, target};
    Measurement toPortuguese{name("language switch to Portuguese, painted"), {}, target};
    for (std::size_t i = 0; i < switches.size(); ++i)
        (i % 2 == 0 ? toEnglish : toPortuguese).micros.push_back(switches[i]);
    rows.push_back(toEnglish);
    rows.push_back(toPortuguese);

    // Each run opens the read-me window anew, as after the user closed it.
    rows.push_back({name("read-me command, painted"), timeRuns(
                        runs,
                        [&](int) {
                            w.mnuReadMe->trigger();
                            w.form2->repaint();
                        },
                        warmup,
                        [&](int) {
                            if (w.form2)
                                w.form2->close();
                        }),
                    target});
    if (w.form2)
        w.form2->close();
    return rows;
}

// The actions on the shipped files and on copies with a name of 5 MB and of
// 50 MB and with a symbol of 50 MB, each set in a scratch directory; the
// working directory is restored afterwards.
std::vector<Measurement> hugeFields(const QString &data, int runs)
{
    constexpr qsizetype MB = qsizetype(1) << 20;
    const HugeData sets[] = {{"shipped"}, {"5 MB name", 5 * MB}, {"50 MB name", 50 * MB}, {"50 MB symbol", 0, 50 * MB}};
    std::vector<Measurement> rows;
    const QString previous = QDir::currentPath();
    for (const HugeData &set : sets) {
        QTemporaryDir scratch;
        if (!scratch.isValid() || !writeHugeData(data, scratch.path(), set) || !QDir::setCurrent(scratch.path())) {
            std::printf("huge fields: cannot write the %s data set\n", set.label);
            break;
        }
        for (Measurement &m : hugeFieldActions(QLatin1String(set.label), runs))
            rows.push_back(std::move(m));
        QDir::setCurrent(previous);
    }
    db::LoadElementTable("br");
    return rows;
}

// --- The spectrum window ----------------------------------------------------------

// The spectrum window with a 4096-channel spectrum of steel, its plot 1000
// pixels wide, beside the main window.
struct SpectrumSetup {
    QTemporaryDir dir;
    QString file;
    SpectrumWindow *window = nullptr;
};

bool openSpectrum(Form1 &w, SpectrumSetup &setup)
{
    setup.file = setup.dir.filePath(QStringLiteral("steel-4096.msa"));
    if (!spectrumtest::writeEmsa(setup.file, spectrumtest::makeSpectrum(spectrumtest::steelPeaks(), 4096, 0, 5)))
        return false;
    auto *tools = w.findChild<SpectrumTools *>() ? w.findChild<SpectrumTools *>() : new SpectrumTools(&w);
    tools->openFiles({setup.file});
    setup.window = tools->openSpectrumWindow();
    if (!setup.window || !QTest::qWaitForWindowExposed(setup.window))
        return false;
    setup.window->move(w.frameGeometry().right() + 20, 0);
    for (int i = 0; i < 3 && setup.window->plot()->width() != 1000; ++i) {
        setup.window->resize(setup.window->width() + 1000 - setup.window->plot()->width(), 700);
        QCoreApplication::processEvents();
    }
    return setup.window->plot()->width() == 1000;
}

// A pointer move over an element's symbol with the spectrum open: the main
// window's view, the markers of the element and the repaint of both windows.
Measurement hoverWithSpectrum(Form1 &w, SpectrumSetup &, int repeat)
{
    return {QStringLiteral("pointer move 26 <-> 29, markers, both painted"), timeRuns(repeat, [&](int i) {
                moveOver(w, i % 2 ? 29 : 26, 0);
                QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
            }),
            2000};
}

// The markers alone: a new element's markers and the plot's repaint.
Measurement markersRepaint(Form1 &, SpectrumSetup &s, int repeat)
{
    SpectrumPlot *plot = s.window->plot();
    return {QStringLiteral("markers of 26 <-> 29, plot painted"), timeRuns(repeat, [&](int i) {
                s.window->showElementMarkers(i % 2 ? 29 : 26);
                plot->repaint();
            })};
}

// A wheel notch in and out at the middle of the plot, with the repaint.
Measurement wheelZoom(Form1 &, SpectrumSetup &s, int repeat)
{
    SpectrumPlot *plot = s.window->plot();
    const QPointF at = plot->axes().area().center();
    return {QStringLiteral("wheel zoom in/out, plot painted"), timeRuns(repeat, [&](int i) {
                QWheelEvent wheel(at, plot->mapToGlobal(at), QPoint(), QPoint(0, i % 2 ? -120 : 120), Qt::NoButton,
                                  Qt::NoModifier, Qt::NoScrollPhase, false);
                QApplication::sendEvent(plot, &wheel);
                plot->repaint();
            }),
            4000};
}

// A key press that pans right or left, with the repaint, zoomed in.
Measurement keyPan(Form1 &, SpectrumSetup &s, int repeat)
{
    SpectrumPlot *plot = s.window->plot();
    plot->setViewRange(5, 10);
    return {QStringLiteral("pan by key, plot painted"), timeRuns(repeat, [&](int i) {
                QTest::keyClick(plot, i % 2 ? Qt::Key_Left : Qt::Key_Right);
                plot->repaint();
            }),
            4000};
}

// --- Start-up against the baseline ----------------------------------------------

// The controls of the main window that the baseline program creates as
// many of, by kind. Menus are left out: the baseline has a menu bar of its
// own with the same items.
struct ControlCounts {
    int labels = 0, edits = 0, frames = 0, groups = 0, widgets = 0;
};

ControlCounts countControls(const Form1 &w)
{
    ControlCounts c;
    for (QWidget *child : w.findChildren<QWidget *>()) {
        bool inMenus = false;
        for (QWidget *p = child; p && p != &w; p = p->parentWidget())
            inMenus = inMenus || qobject_cast<QMenuBar *>(p) || qobject_cast<QMenu *>(p);
        if (inMenus)
            continue;
        if (qobject_cast<QLabel *>(child))
            ++c.labels;
        else if (qobject_cast<QLineEdit *>(child))
            ++c.edits;
        else if (qobject_cast<QGroupBox *>(child))
            ++c.groups;
        else if (qobject_cast<QFrame *>(child))
            ++c.frames;
        else
            ++c.widgets;
    }
    return c;
}

struct ProbeRun {
    double millis = 0; // from just before the process started to its first paint
    double rssMb = 0;  // resident memory then
    double cpuMillis = 0; // CPU time, user and system, of the whole run (start to exit)
};

std::int64_t monotonicNanos()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return std::int64_t(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

// Starts `program` with `args` in `dir` on the X server of DISPLAY and
// waits for its report. False, with the reason in `error`, when it gave
// none within a minute.
bool runProbe(const QString &program, const QStringList &args, const QString &dir, ProbeRun &run, QString &error)
{
    int out[2];
    if (pipe(out) != 0) {
        error = QStringLiteral("pipe: %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    // The probe gets this process's environment, but for the platform.
    std::vector<QByteArray> env;
    for (char **e = environ; *e; ++e)
        if (std::strncmp(*e, "QT_QPA_PLATFORM=", 16) != 0)
            env.emplace_back(*e);
    env.emplace_back("QT_QPA_PLATFORM=xcb");
    std::vector<char *> envp;
    for (QByteArray &e : env)
        envp.push_back(e.data());
    envp.push_back(nullptr);
    std::vector<QByteArray> argBytes{QFile::encodeName(program)};
    for (const QString &a : args)
        argBytes.push_back(a.toLocal8Bit());
    std::vector<char *> argv;
    for (QByteArray &a : argBytes)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    const QByteArray dirBytes = QFile::encodeName(dir);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    posix_spawn_file_actions_addclose(&actions, out[1]);
    posix_spawn_file_actions_addchdir_np(&actions, dirBytes.constData());

    pid_t pid = 0;
    const std::int64_t start = monotonicNanos();
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    if (spawned != 0) {
        close(out[0]);
        error = QStringLiteral("cannot start %1: %2").arg(program, QString::fromLocal8Bit(std::strerror(spawned)));
        return false;
    }

    QByteArray report;
    const std::int64_t deadline = start + 60'000'000'000LL;
    while (!report.contains('\n')) {
        const std::int64_t left = (deadline - monotonicNanos()) / 1000000;
        pollfd p{out[0], POLLIN, 0};
        if (left <= 0 || poll(&p, 1, int(left)) <= 0)
            break;
        char buffer[256];
        const ssize_t n = read(out[0], buffer, sizeof buffer);
        if (n <= 0)
            break;
        report.append(buffer, n);
    }
    close(out[0]);
    if (!report.contains('\n'))
        kill(pid, SIGKILL);
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    run.cpuMillis = (double(usage.ru_utime.tv_sec) + double(usage.ru_stime.tv_sec)) * 1e3
                    + (double(usage.ru_utime.tv_usec) + double(usage.ru_stime.tv_usec)) / 1e3;

    long long paintedAt = 0;
    long rss = 0;
    if (std::sscanf(report.constData(), "painted %lld rss %ld", &paintedAt, &rss) != 2) {
        error = QStringLiteral("%1 reported '%2', exit status %3")
                    .arg(program, QString::fromLocal8Bit(report.trimmed()), QString::number(status));
        return false;
    }
    run.millis = double(paintedAt - start) / 1e6;
    run.rssMb = double(rss) / 1024;
    return true;
}

void printComparison(const char *what, const char *unit, const std::vector<double> &program,
                     const std::vector<double> &baseline, double target)
{
    std::vector<double> ratios;
    for (std::size_t i = 0; i < program.size(); ++i)
        ratios.push_back(program[i] / baseline[i]);
    const double ratio = quantile(ratios, 0.5);
    std::printf("%-24s %8.1f %-3s %8.1f %-3s %7.3f %7.3f %7.3f %7.2f  %s\n", what, quantile(program, 0.5), unit,
                quantile(baseline, 0.5), unit, ratio, quantile(ratios, 0.1), quantile(ratios, 0.9), target,
                verdict(ratio, target));
}

// Start-up time and memory of the program against the baseline, `runs`
// pairs, the order within a pair alternating. True when every run reported.
bool compareStartup(const ControlCounts &counts, const QSize &size, const QString &dataDir, const QString &spectrumFile,
                    int runs)
{
    const QString dir = QCoreApplication::applicationDirPath();
    const QString program = dir + QStringLiteral("/zandor-startprobe");
    const QString baseline = dir + QStringLiteral("/baseline-startprobe");
    const QStringList baselineArgs{QStringLiteral("%1x%2").arg(size.width()).arg(size.height()),
                                   QString::number(counts.labels), QString::number(counts.edits),
                                   QString::number(counts.frames), QString::number(counts.groups),
                                   QString::number(counts.widgets)};
    std::printf("\nStart-up to the first painted window, on the X server of DISPLAY=%s\n",
                qgetenv("DISPLAY").constData());
    std::printf("baseline: a %dx%d window with a menu bar, %d labels, %d line edits, %d frames, %d group boxes "
                "and %d bare widgets, as counted in the main window\n",
                size.width(), size.height(), counts.labels, counts.edits, counts.frames, counts.groups,
                counts.widgets);
    std::printf("%d runs each, alternating; ratios taken run by run\n\n", runs);

    std::vector<double> programMs, baselineMs, programMb, baselineMb, withFileMs, programCpu, withFileCpu;
    QString error;
    for (int i = -1; i < runs; ++i) { // run -1 warms the caches and is not kept
        ProbeRun p, b, f;
        const bool ok = i % 2 == 0 ? runProbe(program, {}, dataDir, p, error) && runProbe(baseline, baselineArgs, dataDir, b, error)
                                         && runProbe(program, {spectrumFile}, dataDir, f, error)
                                   : runProbe(program, {spectrumFile}, dataDir, f, error)
                                         && runProbe(baseline, baselineArgs, dataDir, b, error) && runProbe(program, {}, dataDir, p, error);
        if (!ok) {
            std::printf("start-up comparison stopped: %s\n", qPrintable(error));
            return false;
        }
        if (i < 0)
            continue;
        programMs.push_back(p.millis);
        baselineMs.push_back(b.millis);
        programMb.push_back(p.rssMb);
        baselineMb.push_back(b.rssMb);
        withFileMs.push_back(f.millis);
        programCpu.push_back(p.cpuMillis);
        withFileCpu.push_back(f.cpuMillis);
    }
    std::printf("%-24s %12s %12s %7s %7s %7s %7s  %s\n", "measurement", "Zandor", "baseline", "ratio", "p10", "p90",
                "target", "verdict");
    std::printf("%s\n", QByteArray(94, '-').constData());
    printComparison("start-up to first paint", "ms", programMs, baselineMs, 1.2);
    printComparison("resident memory then", "MB", programMb, baselineMb, 1.15);
    std::printf("(medians; the ratio is the median of the run-by-run ratios; a target is met by it)\n");
    std::printf("\n`zandor FILE` (a 4096-channel spectrum) to the painted spectrum, against the program alone\n");
    std::printf("%-24s %12s %12s %7s %7s %7s %7s  %s\n", "measurement", "with FILE", "alone", "ratio", "p10", "p90",
                "target", "verdict");
    std::printf("%s\n", QByteArray(94, '-').constData());
    printComparison("to the painted spectrum", "ms", withFileMs, programMs, 1.3);
    // CPU time depends far less than the wall clock on what else the
    // machine runs; it covers the exit too, alike in both.
    printComparison("CPU time, start to exit", "ms", withFileCpu, programCpu, 1.3);
    return true;
}

int usage()
{
    std::fprintf(stderr,
                 "usage: zandor-benchmark [DATA_DIR] [--repeat N] [--huge-runs N] [--startup-runs N] [--no-micro]\n");
    return 2;
}

} // namespace

// Qt's offscreen platform reports every window it is asked to raise, as
// showing the read-me window does; that note is no finding.
void quietOffscreenRaise(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (message == QLatin1String("This plugin does not support raise()"))
        return;
    std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
}

int main(int argc, char *argv[])
{
    qInstallMessageHandler(quietOffscreenRaise);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    QString data = QStringLiteral(ZANDOR_SHARE_DIR);
    int repeat = 2000;
    int startupRuns = 20;
    int hugeRuns = 11;
    bool micro = true;
    const QStringList args = QApplication::arguments().mid(1);
    for (int i = 0; i < args.size(); ++i) {
        const bool isRepeat = args[i] == QLatin1String("--repeat");
        if ((isRepeat || args[i] == QLatin1String("--startup-runs") || args[i] == QLatin1String("--huge-runs"))
            && i + 1 < args.size()) {
            bool ok = false;
            const int n = args[i + 1].toInt(&ok);
            if (!ok || n < (isRepeat ? 1 : 0))
                return usage();
            (isRepeat ? repeat : args[i] == QLatin1String("--huge-runs") ? hugeRuns : startupRuns) = n;
            ++i;
        } else if (args[i] == QLatin1String("--no-micro")) {
            micro = false;
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
    data = QDir::currentPath();

    Form1 w;
    if (!w.Form1_Load())
        return 1;
    w.show();
    if (!QTest::qWaitForWindowExposed(&w))
        return 1;
    const ControlCounts counts = countControls(w);
    const QSize size = w.size();
    SpectrumSetup spectrum;
    if (!openSpectrum(w, spectrum)) {
        std::fprintf(stderr, "zandor-benchmark: cannot open the spectrum window with a plot 1000 pixels wide\n");
        return 1;
    }

    if (micro) {
        std::printf("Zandor benchmark: data in %s, platform %s, %d runs each\n\n", qPrintable(data),
                    qPrintable(QGuiApplication::platformName()), repeat);
        const std::vector<std::function<Measurement(Form1 &, int)>> measurements{
            loadEnglishElements, loadLines,    loadPortugueseElements,      viewEveryElement, viewSameElement,
            pointerToAnotherCell, pointerWithinCell, pointerToAnotherCellPainted, numberBoxKey,     symbolBoxKey,
        };
        std::vector<Measurement> results;
        for (const auto &measure : measurements)
            results.push_back(measure(w, repeat));
        for (Measurement &m : languageSwitch(w, repeat))
            results.push_back(std::move(m));
        const std::vector<std::function<Measurement(Form1 &, SpectrumSetup &, int)>> spectrumMeasurements{
            hoverWithSpectrum, markersRepaint, wheelZoom, keyPan};
        for (const auto &measure : spectrumMeasurements)
            results.push_back(measure(w, spectrum, repeat));
        printTable(results);
    }

    if (hugeRuns > 0) {
        std::printf("\nHuge fields: iron's name with a line of readme.txt of 5 MB and of 50 MB, uranium's symbol "
                    "with a readme.txt of 50 MB; %d runs each\n\n",
                    hugeRuns);
        printTable(hugeFields(data, hugeRuns));
    }

    if (startupRuns > 0) {
        if (qEnvironmentVariableIsEmpty("DISPLAY")) {
            std::printf("\nStart-up comparison left out: no X server (DISPLAY is not set; run under xvfb-run)\n");
            return 0;
        }
        if (!compareStartup(counts, size, data, spectrum.file, startupRuns))
            return 1;
    }
    return 0;
}
