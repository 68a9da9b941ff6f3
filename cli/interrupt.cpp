#include "interrupt.h"

#include <unistd.h>

#include <atomic>
#include <iostream>

namespace cli {

namespace {

volatile std::sig_atomic_t caught = 0;

extern "C" void onInterrupt(int) { caught = 1; }

} // namespace

InterruptCatcher::InterruptCatcher()
{
    caught = 0;
    struct sigaction action {};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, &oldInt_);
    sigaction(SIGTERM, &action, &oldTerm_);
}

InterruptCatcher::~InterruptCatcher()
{
    sigaction(SIGINT, &oldInt_, nullptr);
    sigaction(SIGTERM, &oldTerm_, nullptr);
    // A Ctrl-C caught is this command's: a later one in the same process
    // (a progress report asks interrupted()) starts afresh.
    caught = 0;
}

bool InterruptCatcher::interrupted() { return caught != 0; }

ProgressLine::ProgressLine(std::ostream &err, std::string who)
    : err_(err), who_(std::move(who)), enabled_(&err == &std::cerr && ::isatty(STDERR_FILENO))
{
}

void ProgressLine::show(const std::string &step, std::uint64_t done, std::uint64_t total)
{
    const int percent = total ? int(100.0 * double(done) / double(total)) : 0;
    show(step + " " + std::to_string(percent) + "%");
}

std::function<bool(std::uint64_t, std::uint64_t)> ProgressLine::reporter(std::string step)
{
    return [this, step = std::move(step)](std::uint64_t done, std::uint64_t total) {
        if (InterruptCatcher::interrupted())
            return false;
        show(step, done, total);
        return true;
    };
}

void ProgressLine::show(const std::string &step)
{
    if (!enabled_ || step == last_)
        return;
    const auto now = std::chrono::steady_clock::now();
    const bool newStep = last_.empty() || step.substr(0, step.find(' ')) != last_.substr(0, last_.find(' '));
    if (!newStep && now - when_ < std::chrono::milliseconds(100))
        return;
    when_ = now;
    last_ = step;
    err_ << "\r\033[K" << who_ << ": " << step << std::flush;
    shown_ = true;
}

void ProgressLine::clear()
{
    if (shown_)
        err_ << "\r\033[K" << std::flush;
    shown_ = false;
    last_.clear();
}

} // namespace cli
