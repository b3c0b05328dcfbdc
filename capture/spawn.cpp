// posix_spawn of ffmpeg with the capture's pipes as its descriptors.
#include "capture/spawn.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace {

constexpr size_t TAIL_BYTES = 4096;
constexpr int LOWEST_PIPE_FD = 10;

int Lift(int fd) {
    if (fd >= LOWEST_PIPE_FD)
        return fd;
    int lifted = fcntl(fd, F_DUPFD_CLOEXEC, LOWEST_PIPE_FD);
    close(fd);
    return lifted;
}

} // namespace

bool MakePipe(int ends[2]) {
    if (pipe2(ends, O_CLOEXEC) != 0)
        return false;
    ends[0] = Lift(ends[0]);
    ends[1] = Lift(ends[1]);
    if (ends[0] >= 0 && ends[1] >= 0)
        return true;
    if (ends[0] >= 0)
        close(ends[0]);
    if (ends[1] >= 0)
        close(ends[1]);
    return false;
}

bool SpawnProgram(const std::string &program, const std::vector<std::string> &arguments,
                  const std::vector<ChildDescriptor> &descriptors, pid_t &pid, std::string &error) {
    std::vector<char *> argv;
    argv.push_back(const_cast<char *>(program.c_str()));
    for (const std::string &argument : arguments)
        argv.push_back(const_cast<char *>(argument.c_str()));
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
    posix_spawn_file_actions_init(&actions);
    posix_spawnattr_init(&attributes);
    for (const ChildDescriptor &descriptor : descriptors)
        posix_spawn_file_actions_adddup2(&actions, descriptor.parentFd, descriptor.childFd);
    // Default dispositions for the signals this tool catches or ignores.
    sigset_t defaults, none;
    sigemptyset(&defaults);
    for (int signal : {SIGINT, SIGTERM, SIGPIPE})
        sigaddset(&defaults, signal);
    sigemptyset(&none);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setpgroup(&attributes, 0);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK |
                                              POSIX_SPAWN_SETPGROUP);
    int result = posix_spawnp(&pid, program.c_str(), &actions, &attributes, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    if (result != 0) {
        error = program + ": " + strerror(result) +
                (result == ENOENT ? " (not installed, or not in PATH)" : "");
        pid = -1;
        return false;
    }
    return true;
}

std::string WaitProgram(pid_t pid, std::chrono::nanoseconds *cpu) {
    int status = 0;
    rusage usage{};
    while (wait4(pid, &status, 0, &usage) < 0)
        if (errno != EINTR)
            return std::string("waiting for it failed: ") + strerror(errno);
    if (cpu != nullptr)
        for (const timeval &time : {usage.ru_utime, usage.ru_stime})
            *cpu += std::chrono::seconds(time.tv_sec) + std::chrono::microseconds(time.tv_usec);
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0)
        return "";
    if (WIFEXITED(status))
        return "exit status " + std::to_string(WEXITSTATUS(status));
    if (WIFSIGNALED(status))
        return std::string("killed by signal ") + strsignal(WTERMSIG(status));
    return "ended abnormally";
}

bool ReadTail(int fd, std::string &tail) {
    char buffer[4096];
    ssize_t count;
    while ((count = read(fd, buffer, sizeof buffer)) < 0 && errno == EINTR) {
    }
    if (count <= 0)
        return count < 0 && errno == EAGAIN;
    tail.append(buffer, static_cast<size_t>(count));
    if (tail.size() > TAIL_BYTES)
        tail.erase(0, tail.size() - TAIL_BYTES);
    return true;
}

std::string LastLine(const std::string &text) {
    size_t end = text.find_last_not_of("\r\n \t");
    if (end == std::string::npos)
        return "";
    size_t newline = text.find_last_of("\r\n", end);
    size_t begin = newline == std::string::npos ? 0 : newline + 1;
    return text.substr(begin, end + 1 - begin);
}
