// A long step of the map panel (opening a spectrum image, fitting its
// maps) run on a thread of its own, so that the window stays responsive:
// the step reports how far it has come through the Progress it is given,
// which also tells it to stop once cancel() was called. finished() is
// emitted on the window's thread, after the step returned.
#pragma once

#include "image/progress.h"

#include <QObject>

#include <atomic>
#include <functional>
#include <thread>

class MapWorker : public QObject {
    Q_OBJECT

public:
    // The step gets the Progress to report through; what it makes it keeps
    // where its caller can find it after finished().
    using Step = std::function<void(const image::Progress &progress)>;

    explicit MapWorker(Step step, QObject *parent = nullptr);
    // Cancels the step and waits for it.
    ~MapWorker() override;

    void cancel() { cancelled_ = true; }
    bool cancelled() const { return cancelled_; }
    bool running() const { return !done_; }
    // How far the step has come, 0 to 1.
    double fraction() const { return fraction_; }

signals:
    void finished();

private:
    std::atomic<bool> cancelled_{false};
    std::atomic<bool> done_{false};
    std::atomic<double> fraction_{0};
    std::thread thread_;
};
