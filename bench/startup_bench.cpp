// Start-up figures of the demo under Xvfb on llvmpipe: launch to question,
// answer to first presented frame (median of several runs), and the peak
// resident memory of a 10-second run. Prints figures; asserts nothing.
//
//     startup_bench [runs]
#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <unistd.h>
#include <vector>

#include "tests/support/process.h"
#include "tests/support/xserver.h"

namespace {
double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

std::vector<double> ReadStamps(const std::string &path) {
    std::vector<double> stamps;
    std::ifstream in(path);
    for (double stamp; in >> stamp;)
        stamps.push_back(stamp);
    return stamps;
}

long PeakResidentKb(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0)
            return std::atol(line.c_str() + 6);
    return -1;
}

bool SendKey(XServer &server, unsigned long window, const char *key) {
    return RunWithDisplay(server, "xdotool key --window " + std::to_string(window) + " " + key) ==
           0;
}
} // namespace

int main(int argc, char **argv) {
    int runs = argc > 1 ? std::atoi(argv[1]) : 7;
    XServer server;
    if (access(BRUMLAKOR_BINARY, X_OK) != 0 || !StartXServer(server, "1024x768x24")) {
        std::fprintf(stderr, "startup_bench: needs %s and Xvfb\n", BRUMLAKOR_BINARY);
        return 1;
    }
    std::vector<double> toQuestion, toFirstFrame;
    for (int run = 0; run <= runs; run++) {
        // Each run has its own TMPDIR, so a killed run's leftovers go with it.
        std::string work = MakeTempDir("startup");
        std::string stamps = work + "/stamps";
        double launched = NowMs();
        pid_t demo = Spawn({BRUMLAKOR_BINARY},
                           {"TMPDIR=" + work, "DISPLAY=" + server.display, "WAYLAND_DISPLAY",
                            "SDL_VIDEODRIVER", "LD_PRELOAD=" SWAP_STAMP_LIBRARY,
                            "SWAP_STAMP_FILE=" + stamps},
                           work + "/stderr");
        unsigned long box = WaitForWindow(server, "Brumlakor", 20000);
        double asked = NowMs();
        SendKey(server, box, "Escape"); // answers No: a window
        double answered = NowMs();
        while (ReadStamps(stamps).size() < 2 && NowMs() - answered < 20000)
            usleep(1000);
        std::vector<double> swaps = ReadStamps(stamps);
        bool measured = box != 0 && swaps.size() >= 2;
        // Run 0 warms the caches (shader compilation, fonts) and is not counted.
        if (measured && run > 0) {
            toQuestion.push_back(asked - launched);
            toFirstFrame.push_back(swaps[1] - answered); // swap 0 is set-up's own
        }
        if (run == runs) {
            usleep(10 * 1000 * 1000);
            long peak = PeakResidentKb(demo);
            std::printf("peak resident memory over a 10 s run: %.1f MiB\n", peak / 1024.0);
        }
        unsigned long window = WaitForWindow(server, "Brumlakor", 1000);
        SendKey(server, window, "Escape");
        double exitMs = 0;
        int code = WaitExit(demo, 10000, &exitMs);
        std::printf("run %d: question %.0f ms, first frame %.0f ms after the answer, exit %d "
                    "after %.0f ms\n",
                    run, asked - launched, measured ? swaps[1] - answered : -1.0, code, exitMs);
        if (code == -1) {
            kill(demo, SIGKILL);
            WaitExit(demo, 10000);
        }
        std::filesystem::remove_all(work);
    }
    std::printf("median of %zu runs: launch to question %.0f ms, answer to first frame %.0f ms\n",
                toQuestion.size(), Median(toQuestion), Median(toFirstFrame));
    StopXServer(server);
    return 0;
}
