#include "mapworker.h"

#include <QMetaObject>

MapWorker::MapWorker(Step step, QObject *parent) : QObject(parent)
{
    thread_ = std::thread([this, step = std::move(step)] {
        const image::Progress progress = [this](std::uint64_t done, std::uint64_t total) {
            if (total > 0)
                fraction_ = double(done) / double(total);
            return !cancelled_.load();
        };
        step(progress);
        done_ = true;
        // Delivered on the window's thread; dropped if this object is gone.
        QMetaObject::invokeMethod(this, [this] { emit finished(); }, Qt::QueuedConnection);
    });
}

MapWorker::~MapWorker()
{
    cancelled_ = true;
    if (thread_.joinable())
        thread_.join();
}
