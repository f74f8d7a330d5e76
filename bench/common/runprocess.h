#pragma once
// Runs a program to its end for a benchmark: its wall time and peak memory.
// A program that cannot start, or fails unless it may, ends the benchmark.

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace tessaria::bench {

struct TProcessRun {
    double Milliseconds = 0;
    long PeakKiB = 0;
    double CpuMilliseconds = 0; // user and system time of all its threads
    bool Failed = false; // with mayFail: the program did not exit with 0
    std::string Output; // standard output, when asked for
};

// Standard output goes to /dev/null (or into Output when `keepOutput`), and
// standard error too when `quiet`.
inline TProcessRun RunProcess(const std::vector<std::string>& args, bool quiet = false, bool mayFail = false,
                              bool keepOutput = false)
{
    std::vector<char*> argv;
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    int pipeEnds[2] = {-1, -1};
    if (keepOutput && pipe(pipeEnds) != 0) {
        std::fprintf(stderr, "cannot make a pipe\n");
        std::exit(1);
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (keepOutput) {
        posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], 1);
        posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
    } else {
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    }
    if (quiet)
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    const auto start = std::chrono::steady_clock::now();
    pid_t pid;
    if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
        std::fprintf(stderr, "cannot start %s\n", argv[0]);
        std::exit(1);
    }
    std::string output;
    if (keepOutput) {
        close(pipeEnds[1]);
        char buffer[4096];
        ssize_t n;
        while ((n = read(pipeEnds[0], buffer, sizeof buffer)) > 0)
            output.append(buffer, size_t(n));
        close(pipeEnds[0]);
    }
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    TProcessRun run;
    run.Milliseconds = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    run.PeakKiB = usage.ru_maxrss;
    run.CpuMilliseconds = (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000.0 +
                          (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1000.0;
    run.Output = std::move(output);
    posix_spawn_file_actions_destroy(&actions);
    run.Failed = !WIFEXITED(status) || WEXITSTATUS(status) != 0;
    if (run.Failed && !mayFail) {
        std::fprintf(stderr, "%s failed\n", argv[0]);
        std::exit(1);
    }
    return run;
}

} // namespace tessaria::bench
