// Child processes and scratch files for tests that run the real programs.
#include "tests/support/process.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;

double NowMs() {
    using namespace std::chrono;
    return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

std::string MakeTempDir(const std::string &tag) {
    std::string name = "/tmp/brumlakor-" + tag + "-XXXXXX";
    if (mkdtemp(name.data()) == nullptr) { // callers write below it: "" would put that in "/"
        std::perror(("tests: cannot make " + name).c_str());
        std::abort();
    }
    return name;
}

std::string ReadFile(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::string> DirectoryEntries(const std::string &directory) {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto &entry : fs::directory_iterator(directory, error))
        names.push_back(entry.path().filename().string());
    return names;
}

pid_t Spawn(const std::vector<std::string> &argv, const std::vector<std::string> &environment,
            const std::string &errorPath) {
    std::vector<char *> words;
    for (const std::string &word : argv)
        words.push_back(const_cast<char *>(word.c_str()));
    words.push_back(nullptr);
    pid_t pid = fork();
    if (pid != 0)
        return pid;
    prctl(PR_SET_PDEATHSIG, SIGKILL); // a test killed on timeout takes its children along
    dup2(open(errorPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600), STDERR_FILENO);
    // Not the test's stdout: a process that outlived the run would hold the
    // test runner's pipe open.
    dup2(open("/dev/null", O_WRONLY | O_CLOEXEC), STDOUT_FILENO);
    for (const std::string &entry : environment) {
        size_t equals = entry.find('=');
        if (equals == std::string::npos)
            unsetenv(entry.c_str());
        else
            setenv(entry.substr(0, equals).c_str(), entry.c_str() + equals + 1, 1);
    }
    execvp(words[0], words.data());
    _exit(127);
}

int ShellStatus(const std::string &command) {
    int status = std::system((command + " 2>/dev/null").c_str());
    return status != -1 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int WaitExit(pid_t pid, int timeoutMs, double *elapsedMs) {
    double start = NowMs();
    while (NowMs() - start < timeoutMs) {
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid) {
            if (elapsedMs != nullptr)
                *elapsedMs = NowMs() - start;
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return -1;
}

std::vector<pid_t> ProcessesWith(const std::string &wanted) {
    std::vector<pid_t> found;
    std::error_code error;
    for (const auto &entry : fs::directory_iterator("/proc", error)) {
        std::string environ = '\0' + ReadFile(entry.path() / "environ"), stat;
        std::ifstream(entry.path() / "stat") >> stat >> stat >> stat; // the state, Z: a zombie
        pid_t pid = static_cast<pid_t>(std::atol(entry.path().filename().c_str()));
        if (environ.find('\0' + wanted + '\0') != std::string::npos && pid != getpid() &&
            stat != "Z")
            found.push_back(pid);
    }
    return found;
}
