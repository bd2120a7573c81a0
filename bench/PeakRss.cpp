// Runs a program, waits for it and appends its peak resident memory (the
// largest of it and every process it waited for) to a log, one line a run:
//   <peak KiB> <program> <arguments>
// The program and the log come from the environment, so that the wrapper can
// stand in for a program that is started with fixed arguments:
//   BENCH_PEAK_RSS_PROGRAM  the program to run; it gets this wrapper's arguments
//   BENCH_PEAK_RSS_LOG      the log file
// Open descriptors (the simulated interpreter's exit-code pipe on 3) pass
// through; the exit status is the program's.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>

extern char **environ;

int main(int argc, char *argv[]) {
    const char *program = std::getenv("BENCH_PEAK_RSS_PROGRAM");
    const char *log = std::getenv("BENCH_PEAK_RSS_LOG");
    if (!program || !log || argc < 1) {
        std::fprintf(stderr, "bench-peak-rss: set BENCH_PEAK_RSS_PROGRAM and BENCH_PEAK_RSS_LOG\n");
        return 127;
    }
    argv[0] = const_cast<char *>(program);
    pid_t pid = 0;
    if (posix_spawn(&pid, program, nullptr, nullptr, argv, environ) != 0) {
        std::perror("bench-peak-rss: cannot start the program");
        return 127;
    }
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR)
            return 127;
    }
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);

    std::string line = std::to_string(usage.ru_maxrss) + ' ' + program;
    for (int i = 1; i < argc; ++i)
        line += ' ' + std::string(argv[i]);
    line += '\n';
    if (FILE *out = std::fopen(log, "a")) {
        std::fputs(line.c_str(), out);
        std::fclose(out);
    }
    if (WIFEXITED(status))
        return WEXITSTATUS(status);
    return 128 + (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
}
