// The start-up probes' report: when a window was first painted, and how much
// memory the process then held.
//
// A probe program creates its main window as usual and a FirstPaint for it
// before showing it. When the first paint event for any widget of that
// window has been handled and the event loop is idle again (the whole first
// frame painted and flushed to the window system), FirstPaint prints one
// line to standard output and ends the program:
//
//     painted <CLOCK_MONOTONIC nanoseconds> rss <VmRSS in kB>
//
// CLOCK_MONOTONIC is the same clock in every process, so a launcher that
// read it just before starting the probe gets the start-up time by a
// subtraction. Without a paint within 60 seconds the probe prints
// "no paint" and ends with status 3.
#pragma once

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <cstring>
#include <ctime>

class FirstPaint : public QObject {
public:
    // The first paint of `window`; with `widgetName`, the first paint of a
    // widget of that object name in any window instead.
    explicit FirstPaint(QWidget *window, const char *widgetName = nullptr) : window_(window), widgetName_(widgetName)
    {
        qApp->installEventFilter(this);
        QTimer::singleShot(60000, this, [] {
            std::printf("no paint\n");
            std::fflush(stdout);
            QCoreApplication::exit(3);
        });
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (!seen_ && event->type() == QEvent::Paint && watched->isWidgetType()
            && (widgetName_ ? watched->objectName() == QLatin1String(widgetName_)
                            : static_cast<QWidget *>(watched)->window() == window_)) {
            seen_ = true;
            qApp->removeEventFilter(this);
            QTimer::singleShot(0, this, &FirstPaint::report);
        }
        return false;
    }

private:
    static long residentKb()
    {
        long kb = -1;
        if (FILE *status = std::fopen("/proc/self/status", "r")) {
            char line[256];
            while (std::fgets(line, sizeof line, status))
                if (std::strncmp(line, "VmRSS:", 6) == 0) {
                    kb = std::strtol(line + 6, nullptr, 10);
                    break;
                }
            std::fclose(status);
        }
        return kb;
    }

    void report()
    {
        timespec now{};
        clock_gettime(CLOCK_MONOTONIC, &now);
        std::printf("painted %lld rss %ld\n", static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec,
                    residentKb());
        std::fflush(stdout);
        QCoreApplication::quit();
    }

    QWidget *window_;
    const char *widgetName_;
    bool seen_ = false;
};
