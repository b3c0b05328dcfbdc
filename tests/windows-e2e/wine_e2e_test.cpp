// The Windows executable under Wine on a private Xvfb, driven as a user
// would: the question answered with keys, the close command as a window
// manager sends it, screenshots read back and kept. One table of cases; one
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
constexpr int START_TIMEOUT_MS = 60000;
constexpr int EXIT_TIMEOUT_MS = 20000;
constexpr int SHOW_TIMEOUT_MS = 60000;

std::string Setting(const char *name) {
    const char *value = std::getenv(name);
    return value != nullptr ? value : "";
}

double NowMs() {
    using namespace std::chrono;
    return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

void Pause(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// Polls until ready() or the time is up; false on timeout.
bool WaitUntil(int timeoutMs, const std::function<bool()> &ready) {
    for (double start = NowMs(); NowMs() - start < timeoutMs; Pause(50))
        if (ready())
            return true;
    return false;
}

// Runs wine with the shared prefix; DISPLAY from the server when given.
pid_t StartWine(const std::vector<std::string> &arguments, XServer *server,
                const std::vector<std::string> &environment = {}) {
    pid_t pid = fork();
    if (pid != 0)
        return pid;
    setenv("WINEPREFIX", Setting("BRUMLAKOR_WINE_PREFIX").c_str(), 1);
    setenv("WINEDEBUG", "-all", 0);
    setenv("WINEDLLOVERRIDES", "mscoree,mshtml=", 1);
    if (server != nullptr)
        setenv("DISPLAY", server->display.c_str(), 1);
    for (const std::string &entry : environment)
        putenv(const_cast<char *>(entry.c_str()));
    std::vector<char *> argv{const_cast<char *>("wine")};
    for (const std::string &argument : arguments)
        argv.push_back(const_cast<char *>(argument.c_str()));
    argv.push_back(nullptr);
    execvp(argv[0], argv.data());
    _exit(127);
}

// The exit code, or -1 when the process is still running after timeoutMs.
int WaitForExit(pid_t pid, int timeoutMs) {
    int status = 0;
    bool ended = WaitUntil(timeoutMs, [&] { return waitpid(pid, &status, WNOHANG) == pid; });
    if (!ended)
        return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// One X server, one prefix and one persistent wineserver for the whole run:
// the prefix is made once (wineboot), and Wine's desktop process, which the
// first program starts, stays connected to this server for all cases.
XServer server;

class WinePrefix : public ::testing::Environment {
    void SetUp() override {
        std::string prefix = Setting("BRUMLAKOR_WINE_PREFIX");
        ASSERT_FALSE(prefix.empty()) << "BRUMLAKOR_WINE_PREFIX not set";
        ASSERT_TRUE(StartXServer(server, "1024x768x24"));
        if (!fs::exists(prefix + "/system.reg")) {
            ASSERT_EQ(WaitForExit(StartWine({"wineboot", "-i"}, &server), START_TIMEOUT_MS * 2), 0)
                << "wineboot failed";
        }
        setenv("WINEPREFIX", prefix.c_str(), 1);
        // Fails harmlessly when this prefix's server is up already.
        int ignored = std::system("wineserver -p");
        (void)ignored;
    }
    void TearDown() override {
        int ignored = std::system("wineserver -k"); // ends this run's persistent server
        (void)ignored;
        StopXServer(server);
    }
};

// Colour classes of the scenes as they show on screen.
bool Whitish(const uint8_t *p) {
    return p[0] > 150 && p[1] > 150 && p[2] > 150;
}
bool PanelRed(const uint8_t *p) {
    return p[0] > 100 && p[1] < 50 && p[2] < 50;
}
bool PictureTan(const uint8_t *p) {
    return p[0] > 120 && p[1] > 80 && p[2] < 90 && p[0] - p[2] > 50;
}
bool Lit(const uint8_t *p) {
    return p[0] > 30 || p[1] > 30 || p[2] > 30;
}

// Pixels of a class above the scroller's rows.
int Count(const Image &image, bool (*inClass)(const uint8_t *)) {
    int count = 0;
    for (int y = 0; y < image.height * 7 / 8; y++)
        for (int x = 0; x < image.width; x++)
            count += inClass(image.Pixel(x, y)) ? 1 : 0;
    return count;
}

struct Scene {
    const char *name;
    std::function<bool(const Image &)> shows;
    double earliestS; // after the answer, with the silent clock of Wine
    double latestS;
};

const Scene SCENES[] = {
    {"title", [](const Image &i) { return Count(i, Whitish) > 300; }, 0, 6},
    {"panels", [](const Image &i) { return Count(i, PanelRed) > 500; }, 2, 15},
    {"picture", [](const Image &i) { return Count(i, PictureTan) > 1500; }, 5, 20},
    {"tunnel", [](const Image &i) { return Count(i, Lit) > i.width * i.height / 2; }, 10, 40},
};

enum class Plant { None, Library, Link };
enum class Outcome { Window, FullScreen, Refused };

struct Case {
    const char *name;
    const char *answerKeys;
    bool virtualDesktop;
    Plant plant;
    Outcome outcome;
};

std::ostream &operator<<(std::ostream &out, const Case &c) {
    return out << c.name;
}

const Case CASES[] = {
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
    std::sort(names.begin(), names.end());
    return names;
}

class WineDemo : public ::testing::TestWithParam<Case> {
  protected:
    void SetUp() override {
        if (access(Setting("BRUMLAKOR_EXE").c_str(), R_OK) != 0)
            GTEST_SKIP() << "no executable in BRUMLAKOR_EXE";
        const passwd *user = getpwuid(getuid());
        tempDir = Setting("BRUMLAKOR_WINE_PREFIX") + "/drive_c/users/" + user->pw_name + "/Temp";
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

    void Save(const Image &image, const std::string &name) {
        WritePng(output + "/" + name + ".png", image);
    }

    // The question's box: a window of its own on plain X, or drawn inside
    // the virtual desktop's window (found by its light face).
    bool WaitForQuestion(unsigned long &where) {
        if (!GetParam().virtualDesktop) {
            where = WaitForWindow(server, TITLE, START_TIMEOUT_MS);
            return where != 0;
        }
        return WaitUntil(START_TIMEOUT_MS, [&] {
            std::vector<unsigned long> desktops = FindWindows(server, "e2e - Wine desktop");
            where = desktops.empty() ? 0 : desktops[0];
            return where != 0 && Count(CaptureWindow(server, where), Whitish) > 2000;
        });
    }

    // The demo's 640 x 480 window (not the box of the same name).
    unsigned long WaitForDemoWindow(int timeoutMs) {
        unsigned long found = 0;
        WaitUntil(timeoutMs, [&] {
            for (unsigned long window : FindWindows(server, TITLE)) {
                WindowGeometry geometry;
                if (GetWindowGeometry(server, window, geometry) && geometry.viewable &&
                    geometry.width == 640 && geometry.height == 480)
                    found = window;
            }
            return found != 0;
        });
        return found;
    }

    // Each scene must come, in order, within its window of time.
    void ExpectScenes(unsigned long window, double answeredMs) {
        for (const Scene &scene : SCENES) {
            Image shot;
            bool shown = WaitUntil(SHOW_TIMEOUT_MS, [&] {
                shot = CaptureWindow(server, window);
                return shot.width > 0 && scene.shows(shot);
            });
            double atS = (NowMs() - answeredMs) / 1000.0;
            ASSERT_TRUE(shown) << scene.name << " never showed";
            Save(shot, scene.name);
            std::printf("[ figure ] %s: %s at %.1f s after the answer\n", GetParam().name,
                        scene.name, atS);
            EXPECT_GE(atS, scene.earliestS) << scene.name;
            EXPECT_LE(atS, scene.latestS) << scene.name;
        }
    }

    void ExpectCleanExit(const std::vector<std::string> &leftBehind) {
        EXPECT_EQ(WaitForExit(demo, EXIT_TIMEOUT_MS), 0);
        demo = -1;
        EXPECT_EQ(Entries(tempDir), leftBehind) << "the temp dir after the run";
    }

    pid_t demo = -1;
    std::string tempDir;
    std::string output;
};

TEST_P(WineDemo, RunsAsTheUserDrivesIt) {
    const Case &run = GetParam();
    std::string planted = tempDir + "/bassmod.dll";
    std::string victim = output + "/victim.txt";
    std::string marker = output + "/planted-was-loaded";
    std::vector<std::string> leftBehind;
    if (run.plant != Plant::None) {
        std::ofstream(victim) << "the user's own file\n";
        if (run.plant == Plant::Link)
            fs::create_symlink(victim, planted);
        else
            fs::copy_file(Setting("BRUMLAKOR_PLANTED_DLL"), planted);
        leftBehind = {"bassmod.dll"};
    }
    std::vector<std::string> arguments{Setting("BRUMLAKOR_EXE")};
    if (run.virtualDesktop)
        arguments.insert(arguments.begin(), {"explorer", "/desktop=e2e,1024x768"});
    double startMs = NowMs();
    demo = StartWine(arguments, &server, {"BRUMLAKOR_PLANT_MARKER=Z:" + marker});

    unsigned long question = 0;
    ASSERT_TRUE(WaitForQuestion(question)) << "no question";
    std::printf("[ figure ] %s: question %.0f ms after the start\n", run.name, NowMs() - startMs);
    Pause(300); // drawn, not only mapped
    Save(CaptureScreen(server), "question");
    // Keys go to the focus, which an earlier case may have left elsewhere.
    ASSERT_EQ(RunWithDisplay(server, "xdotool windowfocus " + std::to_string(question) + " key " +
                                         run.answerKeys),
              0);
    double answeredMs = NowMs();

    if (run.outcome == Outcome::Refused) {
        // The notice replaces the question; the demo's window never opens.
        unsigned long notice = 0;
        ASSERT_TRUE(WaitUntil(START_TIMEOUT_MS, [&] {
            for (unsigned long box : FindWindows(server, TITLE)) {
                WindowGeometry geometry;
                if (box != question && GetWindowGeometry(server, box, geometry) &&
                    geometry.viewable && geometry.width < 640)
                    notice = box;
            }
            return notice != 0;
        })) << "no notice";
        Pause(500);
        Save(CaptureScreen(server), "notice");
        EXPECT_EQ(WaitForDemoWindow(0), 0u);
        ASSERT_EQ(
            RunWithDisplay(server, "xdotool windowfocus " + std::to_string(notice) + " key Return"),
            0);
        ExpectCleanExit({});
        return;
    }
    if (run.outcome == Outcome::FullScreen) {
        // The desktop follows the display mode: 640 x 480, no cursor on it.
        WindowGeometry geometry;
        ASSERT_TRUE(WaitUntil(START_TIMEOUT_MS, [&] {
            return GetWindowGeometry(server, question, geometry) && geometry.width == 640 &&
                   geometry.height == 480 && Count(CaptureWindow(server, question), Whitish) > 300;
        })) << "no full screen at 640 x 480 with the title";
        Save(CaptureWindow(server, question), "fullscreen");
        EXPECT_TRUE(CursorHiddenAt(server, geometry.x + 320, geometry.y + 240));
        ASSERT_EQ(RunWithDisplay(server,
                                 "xdotool windowfocus " + std::to_string(question) + " key Escape"),
                  0);
        ExpectCleanExit({});
        return;
    }
    unsigned long window = WaitForDemoWindow(START_TIMEOUT_MS);
    ASSERT_NE(window, 0u) << "no 640 x 480 window";
    std::printf("[ figure ] %s: window %.0f ms after the answer\n", run.name, NowMs() - answeredMs);
    WindowGeometry geometry;
    ASSERT_TRUE(GetWindowGeometry(server, window, geometry));
    // The client area sits below the caption of a window whose outer corner
    // is the screen's top-left corner.
    EXPECT_GT(geometry.y, 0);
    EXPECT_LT(geometry.x + geometry.y, 60);
    if (run.plant == Plant::None)
        ExpectScenes(window, answeredMs);
    else
        ASSERT_TRUE(WaitUntil(SHOW_TIMEOUT_MS,
                              [&] { return SCENES[0].shows(CaptureWindow(server, window)); }));
    ASSERT_TRUE(SendDeleteWindow(server, window));
    ExpectCleanExit(leftBehind);
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
