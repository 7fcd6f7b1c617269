// Runs one program and reports "milliseconds peak-KiB exit-code shown-milliseconds" on stdout:
// the time until it exited, its peak memory, and the time until it reported its first paint
// through the pipe named in BENCH_SHOWN_FD (-1 when it reported none). With
// BENCH_DISCARD_OUTPUT set, the program's standard output goes to /dev/null. It is small on
// purpose: the kernel counts a child's peak memory from the process it was started from, so
// starting the measured program from here keeps the benchmark's own memory out of the figure.
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace {
double Milliseconds(const timespec &from, long long toNs)
{
    return double(toNs - (long long)from.tv_sec * 1000000000LL - from.tv_nsec) / 1e6;
}
} // namespace

int main(int argc, char *argv[])
{
    if (argc < 2)
        return 2;
    int shown[2];
    if (pipe2(shown, O_CLOEXEC) != 0)
        return 2;
    // The child keeps the writing end across exec; this process keeps only the reading one.
    const int childEnd = fcntl(shown[1], F_DUPFD, 3);
    close(shown[1]);
    setenv("BENCH_SHOWN_FD", std::to_string(childEnd).c_str(), 1);
    timespec start{}, end{};
    clock_gettime(CLOCK_MONOTONIC, &start);
    // What the program prints would mix with this report: BENCH_DISCARD_OUTPUT sends it away.
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (std::getenv("BENCH_DISCARD_OUTPUT"))
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[1], &actions, nullptr, argv + 1, environ) != 0)
        return 2;
    posix_spawn_file_actions_destroy(&actions);
    close(childEnd);
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    clock_gettime(CLOCK_MONOTONIC, &end);
    char line[64] = {};
    const ssize_t n = read(shown[0], line, sizeof line - 1);
    const double shownMs = n > 0 ? Milliseconds(start, std::atoll(line)) : -1;
    std::printf("%.3f %ld %d %.3f\n",
                Milliseconds(start, (long long)end.tv_sec * 1000000000LL + end.tv_nsec),
                usage.ru_maxrss, WIFEXITED(status) ? WEXITSTATUS(status) : -1, shownMs);
    return 0;
}
