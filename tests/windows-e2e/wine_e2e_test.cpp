// The Windows executable under Wine on a private Xvfb, driven as a user
// would: the question answered with keys, the close command as a window
// manager sends it, screenshots read back. One table of cases; one Wine
// prefix and one persistent wineserver shared by all of them.
#include <cstdio>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <pwd.h>
#include <signal.h>
#include <thread>
#include <unistd.h>

#include "tests/support/process.h"
#include "tests/support/xserver.h"

namespace fs = std::filesystem;

namespace {
constexpr const char *TITLE = "Brumlakor";
constexpr int TIMEOUT_MS = 60000; // to start, for a scene to show, or to end

std::string Setting(const char *name) {
    const char *value = std::getenv(name);
    return value != nullptr ? value : "";
}

bool WaitUntil(const std::function<bool()> &ready) {
    for (double start = NowMs(); NowMs() - start < TIMEOUT_MS;
         std::this_thread::sleep_for(std::chrono::milliseconds(50)))
        if (ready())
            return true;
    return false;
}

// Wine's desktop process, which the first program of a prefix starts, stays
// connected to the first X server it saw: one server for all cases.
XServer server;
const std::string MARKER = Setting("BRUMLAKOR_E2E_OUTPUT") + "/planted-was-loaded";

pid_t Wine(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), "wine");
    return Spawn(arguments,
                 {"WINEPREFIX=" + Setting("BRUMLAKOR_WINE_PREFIX"), "WINEDEBUG=-all",
                  "WINEDLLOVERRIDES=mscoree,mshtml=", "DISPLAY=" + server.display,
                  "BRUMLAKOR_PLANT_MARKER=Z:" + MARKER},
                 Setting("BRUMLAKOR_E2E_OUTPUT") + "/wine-stderr.txt");
}

// Pixels of a colour class above the scroller's rows.
int Count(const Image &image, bool (*inClass)(const uint8_t *)) {
    int count = 0;
    for (int y = 0; y < image.height * 7 / 8; y++)
        for (int x = 0; x < image.width; x++)
            count += inClass(image.Pixel(x, y)) ? 1 : 0;
    return count;
}

// The scenes in order, each by its colours on screen.
const struct Scene {
    const char *name;
    bool (*inClass)(const uint8_t *);
    int least;
} SCENES[] = {
    {"title", [](const uint8_t *p) { return p[0] > 150 && p[1] > 150 && p[2] > 150; }, 300},
    {"panels", [](const uint8_t *p) { return p[0] > 100 && p[1] < 50 && p[2] < 50; }, 500},
    {"picture",
     [](const uint8_t *p) { return p[0] > 120 && p[1] > 80 && p[2] < 90 && p[0] - p[2] > 50; },
     1500},
    {"tunnel", [](const uint8_t *p) { return p[0] > 30 || p[1] > 30 || p[2] > 30; }, 640 * 240},
};

const struct Case {
    const char *name;
    const char *answerKeys;
    bool planted, refused;
} CASES[] = {
    // No sound server on the test machine: waveOutOpen fails and the player
    // runs on its silent clock, so this is also the case without audio.
    {"AnswerNoScenesAndClose", "Tab Return", false, false},
    {"AnswerYesRefusedByTheScreen", "Return", false, true},
    {"PlantedLibraryIsNotLoaded", "Tab Return", true, false},
};

// A viewable window of the demo's name other than `other`: the demo's own
// (640 x 480) or a narrower box; 0 if none.
unsigned long Box(bool demo, unsigned long other = 0) {
    WindowGeometry g;
    for (unsigned long window : FindWindows(server, TITLE))
        if (GetWindowGeometry(server, window, g) && g.viewable && window != other &&
            (demo ? g.width == 640 && g.height == 480 : g.width < 640))
            return window;
    return 0;
}

bool Key(unsigned long window, const std::string &keys) {
    // Keys go to the focus, which an earlier case may have left elsewhere.
    return RunWithDisplay(server,
                          "xdotool windowfocus " + std::to_string(window) + " key " + keys) == 0;
}

class WineDemo : public ::testing::TestWithParam<Case> {
  protected:
    void SetUp() override {
        tempDir = Setting("BRUMLAKOR_WINE_PREFIX") + "/drive_c/users/" +
                  getpwuid(getuid())->pw_name + "/Temp";
        fs::create_directories(tempDir);
        fs::remove(MARKER);
        ASSERT_EQ(DirectoryEntries(tempDir), std::vector<std::string>{}) << "temp dir not empty";
    }
    void TearDown() override {
        if (demo > 0) {
            kill(demo, SIGKILL);
            WaitExit(demo, TIMEOUT_MS);
        }
        for (const std::string &name : DirectoryEntries(tempDir))
            fs::remove_all(tempDir + "/" + name);
        WaitUntil([] { return WaitForWindow(server, TITLE, 0) == 0; });
    }
    pid_t demo = -1;
    std::string tempDir;
};

TEST_P(WineDemo, RunsAsTheUserDrivesIt) {
    const Case &run = GetParam();
    if (run.planted)
        fs::copy_file(Setting("BRUMLAKOR_PLANTED_DLL"), tempDir + "/bassmod.dll");
    demo = Wine({Setting("BRUMLAKOR_EXE")});
    unsigned long question = WaitForWindow(server, TITLE, TIMEOUT_MS);
    ASSERT_NE(question, 0u) << "no question";
    std::this_thread::sleep_for(std::chrono::milliseconds(300)); // drawn, not only mapped
    ASSERT_TRUE(Key(question, run.answerKeys));
    unsigned long window = 0;
    if (run.refused) {
        // The notice replaces the question; the demo's window never opens.
        ASSERT_TRUE(WaitUntil([&] { return (window = Box(false, question)) != 0; })) << "no notice";
        EXPECT_EQ(Box(true), 0u);
        ASSERT_TRUE(Key(window, "Return"));
    } else {
        ASSERT_TRUE(WaitUntil([&] { return (window = Box(true)) != 0; })) << "no window";
        // With a planted file, the title is enough.
        for (size_t i = 0; i < (run.planted ? 1 : std::size(SCENES)); i++) {
            ASSERT_TRUE(WaitUntil([&] {
                return Count(CaptureWindow(server, window), SCENES[i].inClass) > SCENES[i].least;
            })) << SCENES[i].name
                << " never showed";
        }
        ASSERT_TRUE(SendDeleteWindow(server, window));
    }
    EXPECT_EQ(WaitExit(demo, TIMEOUT_MS), 0);
    demo = -1;
    EXPECT_EQ(DirectoryEntries(tempDir),
              run.planted ? std::vector<std::string>{"bassmod.dll"} : std::vector<std::string>{});
    EXPECT_FALSE(fs::exists(MARKER)) << "the planted library was loaded";
}

INSTANTIATE_TEST_SUITE_P(Cases, WineDemo, ::testing::ValuesIn(CASES),
                         [](const auto &info) { return std::string(info.param.name); });
} // namespace

int Fail(const char *why) {
    std::fprintf(stderr, "wine_e2e_tests: %s\n", why);
    return 1;
}

// One X server, one prefix and one persistent wineserver for all cases.
int main(int argc, char **argv) {
    ::testing::InitGoogleTest(&argc, argv);
    std::string prefix = Setting("BRUMLAKOR_WINE_PREFIX");
    if (prefix.empty() || !StartXServer(server, "1024x768x24"))
        return Fail("no BRUMLAKOR_WINE_PREFIX, or no X server");
    if (!fs::exists(prefix + "/system.reg") && WaitExit(Wine({"wineboot", "-i"}), 2 * TIMEOUT_MS))
        return Fail("wineboot failed");
    setenv("WINEPREFIX", prefix.c_str(), 1);
    if (std::system("wineserver -p") < 0) // not an error when it is up already
        return Fail("no wineserver");
    int status = RUN_ALL_TESTS();
    status |= std::system("wineserver -k") < 0;
    StopXServer(server);
    return status;
}
