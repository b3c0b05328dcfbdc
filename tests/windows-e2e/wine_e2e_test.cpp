// The Windows executable under Wine on a private Xvfb, driven as a user
// would: the question answered with keys, the close command as a window
// manager sends it, screenshots read back. One table of cases; one
// Wine prefix and one persistent wineserver shared by all of them.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <pwd.h>
#include <signal.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "tests/support/xserver.h"

namespace fs = std::filesystem;

namespace {
constexpr const char *TITLE = "Brumlakor";
constexpr int TIMEOUT_MS = 60000;      // to start, or for a scene to show
constexpr int EXIT_TIMEOUT_MS = 20000; // to end once told to

std::string Setting(const char *name) {
    const char *value = std::getenv(name);
    return value != nullptr ? value : "";
}

double NowMs() {
    using namespace std::chrono;
    return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

// Polls until ready() or the time is up; false on timeout.
bool WaitUntil(int timeoutMs, const std::function<bool()> &ready) {
    for (double start = NowMs(); NowMs() - start < timeoutMs;
         std::this_thread::sleep_for(std::chrono::milliseconds(50)))
        if (ready())
            return true;
    return false;
}

// The exit code, or -1 when the process is still running after timeoutMs.
int WaitForExit(pid_t pid, int timeoutMs) {
    int status = 0;
    if (!WaitUntil(timeoutMs, [&] { return waitpid(pid, &status, WNOHANG) == pid; }))
        return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// One X server, one prefix and one persistent wineserver for the whole run:
// the prefix is made once (wineboot), and Wine's desktop process, which the
// first program starts, stays connected to this server for all cases.
XServer server;

// Runs wine with the shared prefix on the server's display.
pid_t StartWine(const std::vector<std::string> &arguments, const std::string &environment = "") {
    pid_t pid = fork();
    if (pid != 0)
        return pid;
    setenv("WINEPREFIX", Setting("BRUMLAKOR_WINE_PREFIX").c_str(), 1);
    setenv("WINEDEBUG", "-all", 0);
    setenv("WINEDLLOVERRIDES", "mscoree,mshtml=", 1);
    setenv("DISPLAY", server.display.c_str(), 1);
    if (!environment.empty())
        putenv(const_cast<char *>(environment.c_str()));
    std::vector<char *> argv{const_cast<char *>("wine")};
    for (const std::string &argument : arguments)
        argv.push_back(const_cast<char *>(argument.c_str()));
    argv.push_back(nullptr);
    execvp(argv[0], argv.data());
    _exit(127);
}

class WinePrefix : public ::testing::Environment {
    void SetUp() override {
        std::string prefix = Setting("BRUMLAKOR_WINE_PREFIX");
        ASSERT_FALSE(prefix.empty()) << "BRUMLAKOR_WINE_PREFIX not set";
        ASSERT_TRUE(StartXServer(server, "1024x768x24"));
        if (!fs::exists(prefix + "/system.reg")) {
            ASSERT_EQ(WaitForExit(StartWine({"wineboot", "-i"}), 2 * TIMEOUT_MS), 0) << "wineboot";
        }
        setenv("WINEPREFIX", prefix.c_str(), 1);
        // Fails harmlessly when this prefix's server is up already.
        EXPECT_GE(std::system("wineserver -p"), 0);
    }
    void TearDown() override {
        EXPECT_GE(std::system("wineserver -k"), 0); // ends this run's persistent server
        StopXServer(server);
    }
};

// Pixels of a colour class above the scroller's rows.
int Count(const Image &image, bool (*inClass)(const uint8_t *)) {
    int count = 0;
    for (int y = 0; y < image.height * 7 / 8; y++)
        for (int x = 0; x < image.width; x++)
            count += inClass(image.Pixel(x, y)) ? 1 : 0;
    return count;
}

bool Whitish(const uint8_t *p) {
    return p[0] > 150 && p[1] > 150 && p[2] > 150;
}

// The scenes in order, each by its colours on screen and its window of time
// after the answer (with the silent clock of Wine).
const struct Scene {
    const char *name;
    bool (*inClass)(const uint8_t *);
    int least;
    double earliestS, latestS;
} SCENES[] = {
    {"title", Whitish, 300, 0, 6},
    {"panels", [](const uint8_t *p) { return p[0] > 100 && p[1] < 50 && p[2] < 50; }, 500, 2, 15},
    {"picture",
     [](const uint8_t *p) { return p[0] > 120 && p[1] > 80 && p[2] < 90 && p[0] - p[2] > 50; },
     1500, 5, 20},
    {"tunnel", [](const uint8_t *p) { return p[0] > 30 || p[1] > 30 || p[2] > 30; }, 640 * 240, 10,
     40},
};

enum class Plant { None, Library, Link };
enum class Outcome { Window, FullScreen, Refused };

const struct Case {
    const char *name;
    const char *answerKeys;
    bool virtualDesktop;
    Plant plant;
    Outcome outcome;
} CASES[] = {
    // No sound server on the test machine: waveOutOpen fails and the player
    // runs on its silent clock, so this is also the case without audio.
    {"AnswerNoWindowScenesAndClose", "Tab Return", false, Plant::None, Outcome::Window},
    {"AnswerYesRefusedByTheScreen", "Return", false, Plant::None, Outcome::Refused},
    {"PlantedLibraryIsNotLoaded", "Tab Return", false, Plant::Library, Outcome::Window},
    {"PlantedLinkIsNotFollowed", "Tab Return", false, Plant::Link, Outcome::Window},
    {"AnswerYesInAVirtualDesktop", "Return", true, Plant::None, Outcome::FullScreen},
};

std::vector<std::string> Entries(const std::string &directory) {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto &entry : fs::directory_iterator(directory, error))
        names.push_back(entry.path().filename().string());
    return names;
}

// A viewable window of the demo's name whose geometry passes `fits`; 0 if none
// comes within timeoutMs.
unsigned long WaitForBox(int timeoutMs,
                         const std::function<bool(unsigned long, const WindowGeometry &)> &fits,
                         WindowGeometry &geometry) {
    unsigned long found = 0;
    WaitUntil(timeoutMs, [&] {
        for (unsigned long window : FindWindows(server, TITLE))
            if (GetWindowGeometry(server, window, geometry) && geometry.viewable &&
                fits(window, geometry))
                found = window;
        return found != 0;
    });
    return found;
}

bool Key(unsigned long window, const std::string &keys) {
    // Keys go to the focus, which an earlier case may have left elsewhere.
    return RunWithDisplay(server,
                          "xdotool windowfocus " + std::to_string(window) + " key " + keys) == 0;
}

class WineDemo : public ::testing::TestWithParam<Case> {
  protected:
    void SetUp() override {
        if (access(Setting("BRUMLAKOR_EXE").c_str(), R_OK) != 0)
            GTEST_SKIP() << "no executable in BRUMLAKOR_EXE";
        tempDir = Setting("BRUMLAKOR_WINE_PREFIX") + "/drive_c/users/" +
                  getpwuid(getuid())->pw_name + "/Temp";
        output = Setting("BRUMLAKOR_E2E_OUTPUT") + "/" + GetParam().name;
        fs::remove_all(output);
        fs::create_directories(output);
        fs::create_directories(tempDir);
        ASSERT_EQ(Entries(tempDir), std::vector<std::string>{}) << "temp dir not empty before";
        ASSERT_EQ(WaitForWindow(server, TITLE, 0), 0u) << "a window of an earlier run is up";
    }
    void TearDown() override {
        if (demo > 0 && WaitForExit(demo, 0) == -1) {
            kill(demo, SIGKILL);
            WaitForExit(demo, EXIT_TIMEOUT_MS);
        }
        for (const std::string &name : Entries(tempDir))
            fs::remove_all(tempDir + "/" + name);
        // The next case must not find this one's windows.
        WaitUntil(EXIT_TIMEOUT_MS, [] { return WaitForWindow(server, TITLE, 0) == 0; });
    }
    pid_t demo = -1;
    std::string tempDir, output;
};

TEST_P(WineDemo, RunsAsTheUserDrivesIt) {
    const Case &run = GetParam();
    std::string planted = tempDir + "/bassmod.dll", victim = output + "/victim.txt";
    std::string marker = output + "/planted-was-loaded";
    if (run.plant != Plant::None) {
        std::ofstream(victim) << "the user's own file\n";
        if (run.plant == Plant::Link)
            fs::create_symlink(victim, planted);
        else
            fs::copy_file(Setting("BRUMLAKOR_PLANTED_DLL"), planted);
    }
    std::vector<std::string> arguments{Setting("BRUMLAKOR_EXE")};
    if (run.virtualDesktop)
        arguments.insert(arguments.begin(), {"explorer", "/desktop=e2e,1024x768"});
    demo = StartWine(arguments, "BRUMLAKOR_PLANT_MARKER=Z:" + marker);

    // The question's box: a window of its own on plain X, or drawn inside
    // the virtual desktop's window (found by its light face).
    unsigned long question = 0;
    ASSERT_TRUE(WaitUntil(TIMEOUT_MS, [&] {
        std::vector<unsigned long> found = run.virtualDesktop
                                               ? FindWindows(server, "e2e - Wine desktop")
                                               : std::vector{WaitForWindow(server, TITLE, 0)};
        question = found.empty() ? 0 : found[0];
        return question != 0 &&
               (!run.virtualDesktop || Count(CaptureWindow(server, question), Whitish) > 2000);
    })) << "no question";
    std::this_thread::sleep_for(std::chrono::milliseconds(300)); // drawn, not only mapped
    ASSERT_TRUE(Key(question, run.answerKeys));
    double answeredMs = NowMs();
    WindowGeometry geometry;
    auto demoWindow = [](unsigned long, const WindowGeometry &g) {
        return g.width == 640 && g.height == 480;
    };

    if (run.outcome == Outcome::Refused) {
        // The notice replaces the question; the demo's window never opens.
        unsigned long notice = WaitForBox(
            TIMEOUT_MS,
            [&](unsigned long w, const WindowGeometry &g) {
                return w != question && g.width < 640;
            },
            geometry);
        ASSERT_NE(notice, 0u) << "no notice";
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        EXPECT_EQ(WaitForBox(0, demoWindow, geometry), 0u);
        ASSERT_TRUE(Key(notice, "Return"));
    } else if (run.outcome == Outcome::FullScreen) {
        // The desktop follows the display mode: 640 x 480, no cursor on it.
        ASSERT_TRUE(WaitUntil(TIMEOUT_MS, [&] {
            return GetWindowGeometry(server, question, geometry) &&
                   demoWindow(question, geometry) &&
                   Count(CaptureWindow(server, question), Whitish) > 300;
        })) << "no full screen at 640 x 480 with the title";
        EXPECT_TRUE(CursorHiddenAt(server, geometry.x + 320, geometry.y + 240));
        ASSERT_TRUE(Key(question, "Escape"));
    } else {
        unsigned long window = WaitForBox(TIMEOUT_MS, demoWindow, geometry);
        ASSERT_NE(window, 0u) << "no 640 x 480 window";
        // The client area sits below the caption of a window whose outer
        // corner is the screen's top-left corner.
        EXPECT_GT(geometry.y, 0);
        EXPECT_LT(geometry.x + geometry.y, 60);
        // Each scene must come, in order, within its window of time (with a
        // planted file, the title is enough).
        for (const Scene &scene : SCENES) {
            Image shot;
            ASSERT_TRUE(WaitUntil(TIMEOUT_MS,
                                  [&] {
                                      shot = CaptureWindow(server, window);
                                      return shot.width > 0 &&
                                             Count(shot, scene.inClass) > scene.least;
                                  }))
                << scene.name << " never showed";
            double atS = (NowMs() - answeredMs) / 1000.0;
            std::printf("[ figure ] %s: %s at %.1f s after the answer\n", run.name, scene.name,
                        atS);
            EXPECT_GE(atS, scene.earliestS) << scene.name;
            EXPECT_LE(atS, scene.latestS) << scene.name;
            if (run.plant != Plant::None)
                break;
        }
        ASSERT_TRUE(SendDeleteWindow(server, window));
    }
    EXPECT_EQ(WaitForExit(demo, EXIT_TIMEOUT_MS), 0);
    demo = -1;
    std::vector<std::string> left = run.plant == Plant::None
                                        ? std::vector<std::string>{}
                                        : std::vector<std::string>{"bassmod.dll"};
    EXPECT_EQ(Entries(tempDir), left) << "the temp dir after the run";
    if (run.plant != Plant::None) {
        EXPECT_FALSE(fs::exists(marker)) << "the planted library was loaded";
        EXPECT_EQ(fs::is_symlink(planted), run.plant == Plant::Link);
        std::ifstream in(victim);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "the user's own file\n");
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, WineDemo, ::testing::ValuesIn(CASES),
                         [](const auto &info) { return std::string(info.param.name); });
} // namespace

int main(int argc, char **argv) {
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new WinePrefix);
    return RUN_ALL_TESTS();
}
