#include "bench/demo_process.h"

#include <cerrno>
#include <chrono>
#include <csignal>
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

double MillisecondsSince(double startMs) {
    return NowMs() - startMs;
}

bool DemoBinaryBuilt() {
    return access(BRUMLAKOR_BINARY, X_OK) == 0;
}

bool StartDemo(DemoProcess &demo, XServer *server, const std::vector<std::string> &extra) {
    char pattern[] = "/tmp/brumlakor-e2e-XXXXXX";
    if (mkdtemp(pattern) == nullptr)
        return false;
    demo.tempDir = pattern;
    fs::create_directory(demo.tempDir + "/tmp");
    demo.errorFile = demo.tempDir + "/stderr.txt";
    demo.pid = fork();
    if (demo.pid == 0) {
        prctl(PR_SET_PDEATHSIG, SIGKILL); // a test killed on timeout takes the demo along
        int errors = open(demo.errorFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        dup2(errors, STDERR_FILENO);
        setenv("TMPDIR", (demo.tempDir + "/tmp").c_str(), 1);
        unsetenv("WAYLAND_DISPLAY");
        unsetenv("SDL_VIDEODRIVER");
        if (server != nullptr)
            setenv("DISPLAY", server->display.c_str(), 1);
        else
            unsetenv("DISPLAY");
        for (const std::string &entry : extra)
            putenv(const_cast<char *>(entry.c_str()));
        execl(BRUMLAKOR_BINARY, BRUMLAKOR_BINARY, static_cast<char *>(nullptr));
        _exit(127);
    }
    return demo.pid > 0;
}

int WaitForExit(DemoProcess &demo, int timeoutMs, double *elapsedMs) {
    double start = NowMs();
    while (MillisecondsSince(start) < timeoutMs) {
        int status = 0;
        pid_t done = waitpid(demo.pid, &status, WNOHANG);
        if (done == demo.pid) {
            if (elapsedMs != nullptr)
                *elapsedMs = MillisecondsSince(start);
            demo.pid = -1;
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return -1;
}

void CleanUp(DemoProcess &demo) {
    if (demo.pid > 0) {
        kill(demo.pid, SIGKILL);
        waitpid(demo.pid, nullptr, 0);
        demo.pid = -1;
    }
    if (!demo.tempDir.empty())
        fs::remove_all(demo.tempDir);
}

std::string ReadErrors(const DemoProcess &demo) {
    std::ifstream in(demo.errorFile);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool TempDirEmpty(const DemoProcess &demo) {
    return fs::is_empty(demo.tempDir + "/tmp");
}

int RunningDemoProcesses() {
    int count = 0;
    std::error_code error;
    for (const auto &entry : fs::directory_iterator("/proc", error)) {
        std::error_code linkError;
        fs::path exe = fs::read_symlink(entry.path() / "exe", linkError);
        if (!linkError && exe == fs::path(BRUMLAKOR_BINARY)) {
            std::ifstream stat(entry.path() / "stat");
            std::string pid, name, state;
            stat >> pid >> name >> state;
            if (state != "Z")
                count++;
        }
    }
    return count;
}

bool SendKey(XServer &server, unsigned long window, const std::string &key) {
    return RunWithDisplay(server, "xdotool key --window " + std::to_string(window) + " " + key) ==
           0;
}
