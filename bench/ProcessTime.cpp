// zenka-process-time: starts a program RUNS times, one after the other, and prints the median
// and mean wall time from start to exit and the largest peak resident set of the runs.
//
//   zenka-process-time RUNS PROGRAM [ARGS...]

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <vector>

extern char** environ;

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: zenka-process-time RUNS PROGRAM [ARGS...]\n");
        return 2;
    }
    const int runs = std::max(1, std::atoi(argv[1]));
    posix_spawn_file_actions_t quiet;
    posix_spawn_file_actions_init(&quiet);
    posix_spawn_file_actions_addopen(&quiet, 1, "/dev/null", 01, 0); // O_WRONLY
    std::vector<double> ms;
    long peakKb = 0;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        pid_t pid = 0;
        if (posix_spawn(&pid, argv[2], &quiet, nullptr, argv + 2, environ) != 0) {
            std::perror("posix_spawn");
            return 2;
        }
        int status = 0;
        rusage usage{};
        if (wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) ||
            WEXITSTATUS(status) != 0) {
            std::fprintf(stderr, "zenka-process-time: %s failed\n", argv[2]);
            return 1;
        }
        ms.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
        peakKb = std::max(peakKb, usage.ru_maxrss);
    }
    std::sort(ms.begin(), ms.end());
    double sum = 0;
    for (double v : ms) sum += v;
    std::printf("median %.3f ms  mean %.3f ms  peak RSS %ld KB  (%d runs)\n", ms[ms.size() / 2],
                sum / static_cast<double>(ms.size()), peakKb, runs);
    return 0;
}
