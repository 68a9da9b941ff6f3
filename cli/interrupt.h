// What the long sub-commands share: catching Ctrl-C (SIGINT) and SIGTERM so
// that they stop cleanly, and a progress line on stderr.
#pragma once

#include <chrono>
#include <csignal>
#include <cstdint>
#include <functional>
#include <iosfwd>
#include <string>

namespace cli {

// While it lives, SIGINT and SIGTERM set a flag instead of ending the
// program (system calls go on after them); the handlers before it come
// back when it goes, and the flag is cleared.
class InterruptCatcher {
public:
    InterruptCatcher();
    ~InterruptCatcher();
    InterruptCatcher(const InterruptCatcher &) = delete;
    InterruptCatcher &operator=(const InterruptCatcher &) = delete;

    static bool interrupted();

private:
    struct sigaction oldInt_ {}, oldTerm_ {};
};

// A line on stderr that says how far a step has come ("zandor map: fitting
// 45%"), redrawn in place at most ten times a second. Shown only when err
// is the terminal's stderr; cleared before anything else is written there.
class ProgressLine {
public:
    ProgressLine(std::ostream &err, std::string who);
    ~ProgressLine() { clear(); }

    void show(const std::string &step, std::uint64_t done, std::uint64_t total);
    void show(const std::string &step);
    void clear();

    // A progress report for the image core that shows `step` here, and asks
    // it to stop once an InterruptCatcher has caught Ctrl-C.
    std::function<bool(std::uint64_t, std::uint64_t)> reporter(std::string step);

private:
    std::ostream &err_;
    std::string who_;
    bool shown_ = false;
    bool enabled_ = false;
    std::string last_;
    std::chrono::steady_clock::time_point when_{};
};

} // namespace cli
