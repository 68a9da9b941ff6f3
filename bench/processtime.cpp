// zandor-processtime: how long a command takes as a process, from start to
// exit, and its peak resident memory, beside a baseline command run the same
// way in the same session (by default /bin/true).
//
//   zandor-processtime [--runs N] [--baseline PROGRAM] -- COMMAND [ARGS...]
//
// The two are started alternately, N times each (20 by default) after one
// pair not counted, with their output thrown away. Wall time is
// CLOCK_MONOTONIC around posix_spawn and wait4; peak memory is the child's
// ru_maxrss from wait4. Prints the medians, with the 10th and 90th
// percentiles of the time.
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <fcntl.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

extern char **environ;

namespace {

struct Run {
    double ms;
    double rssMB;
    int status;
};

double nowMs()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

Run runOnce(const std::vector<char *> &argv)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    const double start = nowMs();
    pid_t pid = 0;
    if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
        std::fprintf(stderr, "zandor-processtime: cannot start %s\n", argv[0]);
        std::exit(1);
    }
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    const double end = nowMs();
    posix_spawn_file_actions_destroy(&actions);
    return {end - start, usage.ru_maxrss / 1024.0, WIFEXITED(status) ? WEXITSTATUS(status) : -1};
}

double percentile(std::vector<double> values, double p)
{
    std::sort(values.begin(), values.end());
    const std::size_t i = std::min(values.size() - 1, std::size_t(p * (values.size() - 1) + 0.5));
    return values[i];
}

void report(const char *label, const std::vector<Run> &runs)
{
    std::vector<double> ms, rss;
    for (const Run &r : runs) {
        ms.push_back(r.ms);
        rss.push_back(r.rssMB);
    }
    std::printf("%-40s %8.2f ms (p10 %.2f, p90 %.2f)   peak RSS %6.1f MB   exit %d\n", label,
                percentile(ms, 0.5), percentile(ms, 0.1), percentile(ms, 0.9), percentile(rss, 0.5),
                runs.back().status);
}

} // namespace

int main(int argc, char *argv[])
{
    int runs = 20;
    std::string baseline = "/bin/true";
    int i = 1;
    for (; i < argc && std::strcmp(argv[i], "--") != 0; ++i) {
        if (std::strcmp(argv[i], "--runs") == 0 && i + 1 < argc)
            runs = std::max(1, std::atoi(argv[++i]));
        else if (std::strcmp(argv[i], "--baseline") == 0 && i + 1 < argc)
            baseline = argv[++i];
        else {
            std::fprintf(stderr, "usage: zandor-processtime [--runs N] [--baseline PROGRAM] -- COMMAND [ARGS...]\n");
            return 2;
        }
    }
    if (i + 1 >= argc) {
        std::fprintf(stderr, "usage: zandor-processtime [--runs N] [--baseline PROGRAM] -- COMMAND [ARGS...]\n");
        return 2;
    }
    std::vector<char *> command(argv + i + 1, argv + argc);
    command.push_back(nullptr);
    std::vector<char *> base{baseline.data(), nullptr};

    runOnce(command);
    runOnce(base);
    std::vector<Run> commandRuns, baseRuns;
    for (int r = 0; r < runs; ++r) {
        // Alternate which goes first, so that neither always finds a warm cache.
        if (r % 2 == 0) {
            commandRuns.push_back(runOnce(command));
            baseRuns.push_back(runOnce(base));
        } else {
            baseRuns.push_back(runOnce(base));
            commandRuns.push_back(runOnce(command));
        }
    }
    std::string label;
    for (std::size_t k = 0; command[k]; ++k) {
        if (k)
            label += ' ';
        label += command[k];
    }
    if (label.size() > 40) {
        label.resize(37);
        label += "...";
    }
    std::printf("medians of %d runs each\n", runs);
    report(label.c_str(), commandRuns);
    report(baseline.c_str(), baseRuns);
    return 0;
}
