// Runs one program and reports "milliseconds peak-KiB exit-code" on stdout. It is small on
// purpose: the kernel counts a child's peak memory from the process it was started from, so
// starting the measured program from here keeps the benchmark's own memory out of the figure.
#include <cstdio>
#include <ctime>

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

extern char **environ;

int main(int argc, char *argv[])
{
    if (argc < 2)
        return 2;
    timespec start{}, end{};
    clock_gettime(CLOCK_MONOTONIC, &start);
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[1], nullptr, nullptr, argv + 1, environ) != 0)
        return 2;
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    clock_gettime(CLOCK_MONOTONIC, &end);
    const double ms =
        double(end.tv_sec - start.tv_sec) * 1e3 + double(end.tv_nsec - start.tv_nsec) / 1e6;
    std::printf("%.3f %ld %d\n", ms, usage.ru_maxrss, WIFEXITED(status) ? WEXITSTATUS(status) : -1);
    return 0;
}
