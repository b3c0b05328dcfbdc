#include "tests/hardening/fault_run.h"

#include <X11/Xlib.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;

double NowMilliseconds() {
    using namespace std::chrono;
    return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

std::string MakeWorkDir(const std::string &tag) {
    std::string pattern = "/tmp/brumlakor-" + tag + "-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    return mkdtemp(name.data()) != nullptr ? std::string(name.data()) : "";
}

namespace {
[[noreturn]] void ExecChild(const FaultRun &run, XServer &server, const RunSetup &setup) {
    int errors = open(run.errorFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    dup2(errors, STDERR_FILENO);
    // Not the test's own stdout: a process that outlived the run would hold
    // the test runner's pipe open.
    int output = open((run.workDir + "/stdout.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    dup2(output, STDOUT_FILENO);
    setenv("TMPDIR", run.tempDir.c_str(), 1);
    setenv("DISPLAY", server.display.c_str(), 1);
    unsetenv("WAYLAND_DISPLAY");
    unsetenv("SDL_VIDEODRIVER");
    unsetenv("SDL_AUDIODRIVER");
    setenv("LD_PRELOAD", FRAME_PROBE_LIBRARY, 1);
    setenv("BRUMLAKOR_PROBE_LOG", run.probeLog.c_str(), 1);
    setenv("BRUMLAKOR_PROBE_MASK_OFFSET", SceneMaskOffset().c_str(), 1);
    for (const std::string &entry : setup.environment) {
        size_t equals = entry.find('=');
        setenv(entry.substr(0, equals).c_str(), entry.substr(equals + 1).c_str(), 1);
    }
    if (setup.fileSizeLimit >= 0) {
        // A full disk as the writer meets it: the kernel refuses the bytes
        // beyond the limit (EFBIG, since the signal is ignored).
        signal(SIGXFSZ, SIG_IGN);
        rlimit limit{rlim_t(setup.fileSizeLimit), rlim_t(setup.fileSizeLimit)};
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    std::vector<char *> argv;
    for (const std::string &word : setup.wrapper)
        argv.push_back(const_cast<char *>(word.c_str()));
    argv.push_back(const_cast<char *>(BRUMLAKOR_BINARY));
    argv.push_back(nullptr);
    execvp(argv[0], argv.data());
    _exit(127);
}
} // namespace

bool StartRun(FaultRun &run, XServer &server, const RunSetup &setup) {
    run.workDir = MakeWorkDir("fault");
    if (run.workDir.empty())
        return false;
    run.tempDir = setup.tempDir;
    if (run.tempDir.empty()) {
        run.tempDir = run.workDir + "/tmp";
        fs::create_directory(run.tempDir);
    }
    run.errorFile = run.workDir + "/stderr.txt";
    run.probeLog = run.workDir + "/probe.txt";
    SceneMaskOffset(); // looked up before the fork
    run.pid = fork();
    if (run.pid == 0)
        ExecChild(run, server, setup);
    return run.pid > 0;
}

int WaitForRunExit(FaultRun &run, int timeoutMs, double *elapsedMs) {
    double start = NowMilliseconds();
    while (NowMilliseconds() - start < timeoutMs) {
        int status = 0;
        if (waitpid(run.pid, &status, WNOHANG) == run.pid) {
            if (elapsedMs != nullptr)
                *elapsedMs = NowMilliseconds() - start;
            run.pid = -1;
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return -1;
}

std::vector<pid_t> ProcessesOfRun(const FaultRun &run) {
    std::vector<pid_t> found;
    if (run.tempDir.empty())
        return found;
    std::string wanted = "TMPDIR=" + run.tempDir;
    std::error_code error;
    for (const auto &entry : fs::directory_iterator("/proc", error)) {
        pid_t pid = static_cast<pid_t>(std::atol(entry.path().filename().c_str()));
        if (pid <= 0 || pid == getpid())
            continue;
        std::ifstream environ(entry.path() / "environ");
        std::string variable;
        bool ours = false;
        while (!ours && std::getline(environ, variable, '\0'))
            ours = variable == wanted;
        std::ifstream stat(entry.path() / "stat");
        std::string number, name, state;
        stat >> number >> name >> state;
        if (ours && state != "Z")
            found.push_back(pid);
    }
    return found;
}

void CleanUpRun(FaultRun &run) {
    if (run.pid > 0) {
        kill(run.pid, SIGKILL);
        waitpid(run.pid, nullptr, 0);
        run.pid = -1;
    }
    for (pid_t pid : ProcessesOfRun(run))
        kill(pid, SIGKILL);
    std::error_code ignored;
    if (!run.workDir.empty())
        fs::remove_all(run.workDir, ignored);
}

std::string RunErrors(const FaultRun &run) {
    std::ifstream in(run.errorFile);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::string> DirectoryEntries(const std::string &directory) {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto &entry : fs::directory_iterator(directory, error))
        names.push_back(entry.path().filename().string());
    return names;
}

ProbeRecord ReadProbe(const FaultRun &run) {
    ProbeRecord record;
    std::ifstream in(run.probeLog);
    std::string line;
    bool inLoop = false;
    while (std::getline(in, line)) {
        if (line.rfind("B ", 0) == 0) {
            record.boxes.push_back(line.substr(2));
            continue;
        }
        std::istringstream fields(line);
        std::string kind;
        long swap = 0;
        ProbedFrame frame;
        fields >> kind >> swap >> frame.ms >> std::hex >> frame.sceneMask;
        if (kind != "F" || fields.fail())
            continue; // a line cut short by a kill
        // Before the loop sceneMask is still 0; from its first frame on, never.
        inLoop = inLoop || frame.sceneMask != 0;
        if (!inLoop)
            continue;
        frame.number = static_cast<int>(record.frames.size()) + 1;
        record.frames.push_back(frame);
    }
    return record;
}

const ProbedFrame *FirstFrameWithMask(const ProbeRecord &record, uint32_t mask, int from) {
    for (const ProbedFrame &frame : record.frames)
        if (frame.number >= from && frame.sceneMask == mask)
            return &frame;
    return nullptr;
}

bool WaitForMask(const FaultRun &run, uint32_t mask, int timeoutMs) {
    double start = NowMilliseconds();
    while (NowMilliseconds() - start < timeoutMs) {
        if (FirstFrameWithMask(ReadProbe(run), mask) != nullptr)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return false;
}

bool WaitForFrames(const FaultRun &run, int frames, int timeoutMs) {
    double start = NowMilliseconds();
    while (NowMilliseconds() - start < timeoutMs) {
        if (static_cast<int>(ReadProbe(run).frames.size()) >= frames)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

std::string SceneMaskOffset() {
    static std::string offset;
    if (!offset.empty())
        return offset;
    std::string command = std::string("nm ") + BRUMLAKOR_BINARY + " 2>/dev/null";
    FILE *symbols = popen(command.c_str(), "r");
    if (symbols == nullptr)
        return "0";
    char line[512];
    while (fgets(line, sizeof line, symbols) != nullptr) {
        char address[64], kind[8], name[400];
        if (sscanf(line, "%63s %7s %399s", address, kind, name) == 3 &&
            std::string(name) == "sceneMask")
            offset = address;
    }
    pclose(symbols);
    return offset.empty() ? "0" : offset;
}

unsigned long WaitForDemoWindow(XServer &server, int timeoutMs) {
    double start = NowMilliseconds();
    while (NowMilliseconds() - start < timeoutMs) {
        for (unsigned long window : FindWindows(server, "Brumlakor")) {
            WindowGeometry geometry;
            if (WindowClass(server, window) != "" && GetWindowGeometry(server, window, geometry) &&
                geometry.viewable)
                return window;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return 0;
}

std::vector<unsigned long> ViewableBoxes(XServer &server, const std::string &name) {
    std::vector<unsigned long> boxes;
    for (unsigned long window : FindWindows(server, name)) {
        WindowGeometry geometry;
        if (WindowClass(server, window) == "" && GetWindowGeometry(server, window, geometry) &&
            geometry.viewable)
            boxes.push_back(window);
    }
    return boxes;
}

bool PressKey(XServer &server, unsigned long window, const std::string &key) {
    return RunWithDisplay(server, "xdotool key --window " + std::to_string(window) + " " + key +
                                      " >/dev/null 2>&1") == 0;
}

void KillXServer(XServer &server) {
    if (server.connection != nullptr)
        XCloseDisplay(static_cast<Display *>(server.connection));
    server.connection = nullptr;
    if (server.pid > 0) {
        kill(server.pid, SIGKILL);
        waitpid(server.pid, nullptr, 0);
    }
    server.pid = -1;
}
