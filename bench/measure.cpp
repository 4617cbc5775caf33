// Runs a command and reports its wall time and peak resident memory:
//   quillon_measure [--stdin FILE] [--stdout FILE] -- COMMAND [ARGS...]
// prints "WALL_SECONDS CPU_SECONDS PEAK_RSS_KIB EXIT_STATUS" on one line of
// standard output; CPU time is user plus system time.
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>

extern char** environ;

int main(int argc, char** argv) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    int first = 1;
    for (; first + 1 < argc; first += 2) {
        if (std::strcmp(argv[first], "--stdin") == 0) {
            posix_spawn_file_actions_addopen(&actions, 0, argv[first + 1], O_RDONLY, 0);
        } else if (std::strcmp(argv[first], "--stdout") == 0) {
            posix_spawn_file_actions_addopen(&actions, 1, argv[first + 1],
                                             O_WRONLY | O_CREAT | O_TRUNC, 0644);
        } else {
            break;
        }
    }
    if (first + 1 >= argc || std::strcmp(argv[first], "--") != 0) {
        std::fprintf(stderr, "usage: quillon_measure [--stdin FILE] [--stdout FILE] -- COMMAND [ARGS...]\n");
        return 2;
    }
    char** command = argv + first + 1;

    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, command[0], &actions, nullptr, command, environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        std::fprintf(stderr, "quillon_measure: %s: %s\n", command[0], std::strerror(spawned));
        return 2;
    }
    int status = 0;
    rusage usage{};
    while (::wait4(pid, &status, 0, &usage) < 0) {
        if (errno != EINTR) {
            std::perror("quillon_measure: wait4");
            return 2;
        }
    }
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    const int exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    const auto seconds = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    // ru_maxrss is in KiB on Linux.
    std::printf("%.3f %.3f %ld %d\n", elapsed.count(), seconds(usage.ru_utime) + seconds(usage.ru_stime),
                usage.ru_maxrss, exitStatus);
    return 0;
}
