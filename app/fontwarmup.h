// Start-up work done on a second thread while the main one starts Qt.
//
// The first text the main window measures makes Qt read the system's font
// configuration: fontconfig parses its XML files and maps its caches, the
// largest single piece of the window's start-up. Nothing of it needs Qt, so
// a thread started first thing does it while the main thread loads Qt's
// platform plugin and connects to the display. Qt's own call then finds it
// done. The main thread waits for the thread before it makes its first
// window, so the two never read the configuration at the same time.
#pragma once

#include <thread>

class FontWarmup {
public:
    FontWarmup();
    ~FontWarmup() { wait(); }
    FontWarmup(const FontWarmup &) = delete;
    FontWarmup &operator=(const FontWarmup &) = delete;

    // Returns once the configuration is read. Call it before anything that
    // may draw or measure text.
    void wait();

private:
    std::thread thread_;
};
