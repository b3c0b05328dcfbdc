// The demo binary under a private Xvfb as a user meets it, and on a machine
// that misbehaves: the question answered either way or its box destroyed,
// Escape, the close command, signals, the X server gone or refusing a request,
// a display that cannot open a window, a Wayland desktop without a dialog
// tool, a temp directory that is noexec, read-only or full, file and
// descriptor limits, a closed stderr, a refused full screen, a killed run's
// leftovers and a machine too slow for the frame period. One driver runs the table of cases.
// Each run has its own TMPDIR, so "nothing left behind" can be checked, and a preloaded probe
// records the scene of every presented frame and the text of every message box.
#include <algorithm>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

#include "tests/support/process.h"
#include "tests/support/xserver.h"

namespace fs = std::filesystem;

namespace {
constexpr const char *NAME = "Brumlakor";
constexpr int START_MS = 20000, EXIT_MS = 5000, SHOW_MS = 60000, SLOW_MS = 30;
constexpr uint32_t PANELS = 0x01, WIPE = 0x02, TITLE = 0x04, SLIDE = 0x08, OBJECT = 0x20,
                   TUNNEL_OBJECT = 0x30;
// Syncs at rows 128, 256 and 384 after the music's start; a row is 3 ticks of
// 2.5 / 155 s. The live run adds the output's buffering and up to a frame of
// polling on each side.
constexpr double ROW_MS = 3 * 2500.0 / 155, SYNC_EARLY_MS = 100, SYNC_LATE_MS = 300;

// The build's binary, or another one (the installed package's) named in the
// environment.
std::string Binary() {
    const char *other = getenv("BRUMLAKOR_TEST_BINARY");
    return other != nullptr ? other : BRUMLAKOR_BINARY;
}

// The offset of sceneMask in the executable, hex; "0" when stripped.
std::string SceneMaskOffset() {
    std::string command =
        "nm " + Binary() + " 2>/dev/null | awk '$3 == \"sceneMask\" { print $1 }'";
    FILE *nm = popen(command.c_str(), "r");
    char offset[64] = "0";
    if (nm != nullptr) {
        [[maybe_unused]] int found = fscanf(nm, "%63s", offset); // none: stays "0"
        pclose(nm);
    }
    return offset;
}

// What the probe saw: the presented frames of the loop (the swap that set-up
// makes before it carries sceneMask 0 and is left out; frame 1 is the
// loop's first) and the message boxes ("caption|text").
struct Frame {
    int number;
    double ms; // as NowMs()
    uint32_t mask;
};
struct Probe {
    std::vector<Frame> frames;
    std::vector<std::string> boxes;

    // The first frame at or after frame `from` showing exactly mask, or null.
    const Frame *First(uint32_t mask, int from = 1) const {
        for (const Frame &frame : frames)
            if (frame.number >= from && frame.mask == mask)
                return &frame;
        return nullptr;
    }
};

// One run of the demo: its own work directory, TMPDIR inside it unless given.
struct DemoRun {
    pid_t pid = -1;
    int exitCode = -1;
    std::string work, temp;

    bool Start(XServer &server, const std::string &tempDir, const std::string &setup = "",
               int slowMs = 0, const std::string &shell = "") {
        work = MakeTempDir("fault");
        temp = tempDir.empty() ? work + "/tmp" : tempDir;
        fs::create_directories(temp);
        std::vector<std::string> environment = {"TMPDIR=" + temp,
                                                "DISPLAY=" + server.display,
                                                "WAYLAND_DISPLAY",
                                                "SDL_VIDEODRIVER",
                                                "SDL_AUDIODRIVER",
                                                "LD_PRELOAD=" FRAME_PROBE_LIBRARY,
                                                "BRUMLAKOR_PROBE_LOG=" + work + "/probe",
                                                "BRUMLAKOR_PROBE_MASK_OFFSET=" + SceneMaskOffset(),
                                                "BRUMLAKOR_PROBE_SLOW_MS=" +
                                                    std::to_string(slowMs)};
        std::vector<std::string> argv = {Binary()};
        if (!setup.empty()) // in a mount namespace of its own, after setup changed what it sees
            argv = {"unshare", "-rm", "sh", "-c", setup + " && exec \"$0\"", Binary()};
        else if (!shell.empty()) // with only the standard descriptors, as from a terminal
            argv = {"bash", "-c",
                    "for f in $(ls /proc/$$/fd); do ((f > 2)) && exec {f}>&-; done; " + shell +
                        " && exec \"$0\"",
                    Binary()};
        pid = Spawn(argv, environment, work + "/stderr");
        return pid > 0;
    }
    // The exit code (kept once seen), -1 on timeout, 128 + signal when killed.
    int Wait(int timeoutMs) {
        if (pid > 0 && (exitCode = WaitExit(pid, timeoutMs)) != -1)
            pid = -1;
        return exitCode;
    }
    std::string Errors() const {
        return ReadFile(work + "/stderr");
    }
    // Processes still running with the run's TMPDIR (a box's helper too).
    std::vector<pid_t> Left() const {
        return ProcessesWith("TMPDIR=" + temp);
    }
    Probe Read() const {
        Probe probe;
        std::istringstream lines(ReadFile(work + "/probe"));
        for (std::string line; std::getline(lines, line);) {
            Frame frame{static_cast<int>(probe.frames.size()) + 1, 0, 0};
            if (line.rfind("B ", 0) == 0)
                probe.boxes.push_back(line.substr(2));
            else if (sscanf(line.c_str(), "F %lf %x", &frame.ms, &frame.mask) == 2 &&
                     (frame.mask != 0 || !probe.frames.empty())) // a line cut by a kill fails
                probe.frames.push_back(frame);
        }
        return probe;
    }
    // Waits for `count` frames and, unless 0, a frame showing mask.
    bool WaitFor(size_t count, uint32_t mask = 0) const {
        for (double start = NowMs(); NowMs() - start < SHOW_MS; usleep(20000)) {
            Probe probe = Read();
            if (probe.frames.size() >= count && (mask == 0 || probe.First(mask) != nullptr))
                return true;
        }
        return false;
    }
    void CleanUp() {
        if (pid > 0) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
        for (pid_t left : Left())
            kill(left, SIGKILL);
        pid = -1;
        if (!work.empty())
            fs::remove_all(work);
    }
};

enum class Step {
    Window,      // No: a 640 x 480 window that fades in, Yes: the screen without cursor
    Close,       // the window manager's close command
    Leftover,    // after a run killed outright in the same TMPDIR; the close command
    Signal,      // the case's signal, during the question or playback
    XGone,       // the X server killed, during the question or playback
    SlowShow,    // every frame slower than the period: every scene on time; Escape
    MusicGoesOn, // the first sync still comes (the sliding picture); Escape
    Notice,      // a notice box instead of the show; Return ends the run
    Destroyed,   // another client destroys the window during playback
    Fails,       // the run ends by itself before any window
};

struct Case {
    const char *name;
    Step step;
    const char *answer = "Escape"; // to the question: Escape answers No, Return Yes; "" none
    const char *screen = "640x480x24";
    int exit = 0;            // -2: any code of an orderly end (not -1, below 128)
    const char *errors = ""; // in stderr
    const char *box = "";    // the last box, "caption|text" ("" for any, "-" for none)
    std::string setup = "";  // shell commands in a mount namespace before the demo
    int signal = 0;          // Signal: the one sent; Leftover: killed during the question
    std::string shell = "";  // shell commands before the demo (limits, environment)
};

// Test lists and failures name the case rather than dump its bytes.
void PrintTo(const Case &c, std::ostream *out) {
    *out << c.name;
}

class Demo : public ::testing::TestWithParam<Case> {
  protected:
    void TearDown() override {
        for (DemoRun *which : {&run, &second})
            which->CleanUp();
        StopXServer(server);
    }

    // The demo's window (1) or a message box (0).
    unsigned long WaitViewable(int classed, int timeoutMs = START_MS) {
        return WaitForWindow(server, NAME, timeoutMs, classed);
    }
    // A key pressed in the window, or "windowclose": another client destroys it.
    bool Press(unsigned long window, const std::string &key) {
        std::string id = std::to_string(window);
        return RunWithDisplay(
                   server,
                   "xdotool " +
                       (key == "windowclose" ? key + " " + id : "key --window " + id + " " + key) +
                       " >/dev/null 2>&1") == 0;
    }

    void Play(const Case &c); // the steps of one run

    XServer server;
    DemoRun run, second;
    unsigned long window = 0;
};

TEST_P(Demo, Case) {
    const Case &c = GetParam();
    if (access(Binary().c_str(), X_OK) != 0)
        GTEST_SKIP() << Binary() << " not built";
    if (!c.setup.empty() && std::system("unshare -rm true >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "no user and mount namespaces here";
    ASSERT_TRUE(StartXServer(server, c.screen)) << "Xvfb did not start";
    if (c.step == Step::Leftover) { // a run killed outright leaves its directory behind
        ASSERT_TRUE(second.Start(server, ""));
        unsigned long box = WaitViewable(0); // killed during the question, or after 5 frames
        ASSERT_TRUE(c.signal != 0 || (Press(box, "Escape") && second.WaitFor(5)));
        kill(second.pid, SIGKILL);
        second.Wait(EXIT_MS);
        usleep(1000 * 1000); // its box's processes follow it within a second
        EXPECT_TRUE(second.Left().empty()) << "the box outlived its run";
        EXPECT_EQ(DirectoryEntries(second.temp).size(), 1u);
    }
    ASSERT_TRUE(run.Start(server, c.step == Step::Leftover ? second.temp : "", c.setup,
                          c.step == Step::SlowShow ? SLOW_MS : 0, c.shell));
    ASSERT_TRUE(*c.answer == '\0' || Press(WaitViewable(0), c.answer)) << run.Errors();
    if ((*c.answer != '\0' && c.step != Step::Notice) || c.step == Step::Window)
        window = WaitViewable(1);
    Play(c);
    int code = run.Wait(c.step == Step::XGone ? 10000 : EXIT_MS);
    std::string errors = run.Errors();
    EXPECT_TRUE(c.exit == -2 ? code >= 0 && code < 128 : code == c.exit) << code << ": " << errors;
    EXPECT_NE(errors.find(c.errors), std::string::npos) << errors;
    Probe probe = run.Read();
    for (const std::string &box : probe.boxes)
        EXPECT_NE(box.rfind("Error|", 0), 0u) << box;
    if (std::string(c.box) == "-") {
        EXPECT_TRUE(probe.boxes.empty()) << probe.boxes.front();
    } else if (*c.box != '\0') {
        ASSERT_FALSE(probe.boxes.empty());
        EXPECT_EQ(probe.boxes.back(), c.box);
        EXPECT_TRUE(probe.frames.empty()) << "the presentation ran";
    }
    EXPECT_TRUE(DirectoryEntries(run.temp).empty()) << "left in " << run.temp;
    EXPECT_TRUE(run.Left().empty()) << "a process outlived the run";
}

void Demo::Play(const Case &c) {
    WindowGeometry geometry;
    switch (c.step) {
    case Step::Window:
        ASSERT_TRUE(GetWindowGeometry(server, window, geometry));
        EXPECT_EQ(std::vector<int>({geometry.x, geometry.y, geometry.width, geometry.height}),
                  std::vector<int>({0, 0, 640, 480}));
        usleep(2500 * 1000); // playing (the probe sees no scene in a stripped binary)
        // A window keeps its cursor.
        EXPECT_EQ(CursorHiddenAt(server, 320, 240), std::string(c.answer) == "Return");
        EXPECT_EQ(run.Wait(10), -1); // still running
        Press(window, "Escape");
        break;
    case Step::Destroyed:
        ASSERT_TRUE(run.WaitFor(50)) << run.Errors();
        RunWithDisplay(server, "xdotool windowclose " + std::to_string(window));
        break;
    case Step::Fails:
        break;
    case Step::Leftover:
    case Step::Close:
        usleep(300 * 1000);
        EXPECT_TRUE(SendDeleteWindow(server, window));
        break;
    case Step::Signal:
    case Step::XGone:
        if (*c.answer != '\0')
            ASSERT_TRUE(run.WaitFor(50)) << run.Errors();
        else
            ASSERT_NE(WaitViewable(0), 0u);
        if (c.step == Step::XGone) { // this connection first, so Xlib does not end the test
            pid_t pid = std::exchange(server.pid, -1);
            StopXServer(server);
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
            return;
        }
        kill(run.pid, c.signal);
        EXPECT_EQ(run.Wait(EXIT_MS), 0) << run.Errors();
        EXPECT_EQ(WaitViewable(-1, 0), 0u) << "a window outlived it";
        break;
    case Step::SlowShow: {
        ASSERT_TRUE(run.WaitFor(1, TUNNEL_OBJECT)) << run.Errors();
        Probe probe = run.Read();
        // The frame-driven opening: every frame counted, none skipped; then
        // each sync-driven scene when the music reaches it, measured from
        // frame 86, which resumes the music.
        for (auto [mask, from, number] :
             {std::tuple{WIPE, 1, 35}, {TITLE, 35, 85}, {PANELS, 1, 185}}) {
            ASSERT_NE(probe.First(mask, from), nullptr) << mask;
            EXPECT_EQ(probe.First(mask, from)->number, number) << mask;
        }
        for (auto [mask, row] : {std::pair{SLIDE, 128}, {OBJECT, 256}, {TUNNEL_OBJECT, 384}}) {
            const Frame *frame = probe.First(mask, 86);
            ASSERT_NE(frame, nullptr) << mask << " never shown";
            double late = frame->ms - probe.frames[85].ms - row * ROW_MS;
            EXPECT_GT(late, -SYNC_EARLY_MS) << mask;
            EXPECT_LT(late, SYNC_LATE_MS) << mask;
        }
        // The frame that overran gets no sleep after it: the period is the
        // frame's own time, not that plus a paced remainder.
        std::vector<double> periods;
        for (size_t i = 1; i < probe.frames.size(); i++)
            periods.push_back(probe.frames[i].ms - probe.frames[i - 1].ms);
        std::nth_element(periods.begin(), periods.begin() + periods.size() / 2, periods.end());
        EXPECT_GT(periods[periods.size() / 2], SLOW_MS);
        EXPECT_LT(periods[periods.size() / 2], SLOW_MS + 20);
        Press(window, "Escape");
        break;
    }
    case Step::MusicGoesOn:
        ASSERT_TRUE(run.WaitFor(1, SLIDE)) << "stuck before the sliding picture: " << run.Errors();
        EXPECT_EQ(run.Errors().find("no sound"), std::string::npos) << run.Errors();
        Press(window, "Escape");
        break;
    case Step::Notice: {
        // A new box may come back under an old one's window id (X hands a
        // new client the ids of one that left): the question's goes first.
        for (double start = NowMs();
             *c.answer != '\0' && WaitViewable(0, 0) != 0 && NowMs() - start < START_MS;)
            usleep(5000);
        unsigned long notice = WaitViewable(0);
        ASSERT_NE(notice, 0u) << "no notice; stderr: " << run.Errors();
        EXPECT_EQ(WaitViewable(1, 10), 0u) << "a demo window was opened";
        // A failed installation removes what it wrote first (seen through its mounts).
        std::string temp = "/proc/" + std::to_string(run.pid) + "/root" + run.temp + "/";
        for (const std::string &made : DirectoryEntries(temp))
            EXPECT_EQ(DirectoryEntries(temp + made).size(), *c.answer != '\0' ? 1u : 0u);
        EXPECT_TRUE(Press(notice, "Return"));
        break;
    }
    }
}

const std::string TEMP_NOEXEC = "mount -t tmpfs -o noexec,size=4m tmpfs \"$TMPDIR\"";
const std::string TEMP_READ_ONLY =
    "mount --bind \"$TMPDIR\" \"$TMPDIR\" && mount -o remount,bind,ro \"$TMPDIR\"";
constexpr const char *LARGE = "1024x768x24"; // a window is not the whole screen there
constexpr const char *SMALL = "640x480x24";  // Return on a question there would go full screen

constexpr const char *NO_FILES = "too many open files";

// The first case is the package test's: it needs neither the probe nor namespaces.
// name, step, answer, screen, exit, stderr, last box, mount namespace set-up, signal
const Case CASES[] = {
    {"AnswerNoGivesAWindowAtTheTopLeft", Step::Window, "Escape", LARGE},
    {"AnswerYesGoesFullScreenWithoutCursor", Step::Window, "Return"},
    {"TheCloseCommandEndsTheRun", Step::Close, "Escape", LARGE},
    {"SigintDuringTheQuestion", Step::Signal, "", SMALL, 0, "", "", "", SIGINT},
    {"SigtermDuringPlayback", Step::Signal, "Escape", SMALL, 0, "", "", "", SIGTERM},
    {"SigquitDuringPlayback", Step::Signal, "Escape", SMALL, 0, "", "", "", SIGQUIT},
    {"SigquitDuringTheQuestion", Step::Signal, "", SMALL, 0, "", "", "", SIGQUIT},
    {"Sigusr1DuringPlayback", Step::Signal, "Escape", SMALL, 0, "", "", "", SIGUSR1},
    {"XGoneDuringTheQuestion", Step::XGone, "", SMALL, -2},
    {"XGoneDuringPlayback", Step::XGone, "Escape", SMALL, 1, "lost the connection to the display"},
    {"ASlowMachineSkipsNoFrameAndKeepsTheSyncs", Step::SlowShow},
    {"ANoexecTempDirectoryStillFollowsTheMusic", Step::MusicGoesOn, "Escape", SMALL, 0, "", "",
     TEMP_NOEXEC},
    {"AReadOnlyTempDirectoryGivesTheNotice", Step::Notice, "", SMALL, 0, "",
     "Brumlakor|Failed to install bassmod to UserTempPath", TEMP_READ_ONLY},
    {"AFullTempDirectoryGivesTheNotice", Step::Notice, "", SMALL, 0, "",
     "Brumlakor|Failed to install bassmod to UserTempPath",
     "mount -t tmpfs -o size=16k tmpfs \"$TMPDIR\""},
    {"AFileSizeLimitGivesTheNotice", Step::Notice, "", SMALL, 0, "",
     "Brumlakor|Failed to install bassmod to UserTempPath", "", 0, "ulimit -f 100"},
    {"ARefusedFullScreenGivesTheNotice", Step::Notice, "Return", LARGE, 0, "",
     "Brumlakor|Could not create fullscreen"},
    {"AKilledRunsDirectoryGoesWithTheNextRun", Step::Leftover, "Escape", LARGE},
    {"AKillDuringTheQuestionLeavesNoBoxNorLock", Step::Leftover, "Escape", LARGE, 0, "", "", "",
     SIGKILL},
    {"ClosingTheBoxFromOutsideAnswersNo", Step::Window, "windowclose", LARGE},
    {"AClosedStderrPipeDoesNotEndTheRun", Step::Window, "Escape", LARGE, 0, "", "", "", 0,
     "exec 2> >(exec head -c0)"},
    {"SixDescriptorsAreTooFew", Step::Fails, "", SMALL, 1, NO_FILES, "-", "", 0, "ulimit -n 6"},
    {"FourDescriptorsAreTooFew", Step::Fails, "", SMALL, 1, NO_FILES, "-", "", 0, "ulimit -n 4"},
    {"AnotherClientDestroyingTheWindowEndsTheRun", Step::Destroyed, "Escape", SMALL, 1,
     "brumlakor: the display refused a request: BadDrawable"},
    {"AContextTheServerRefusesEndsTheRun", Step::Fails, "", SMALL, 1,
     "could not open the display: the display refused a request: BadValue", "", "", 0,
     "ulimit -v 300000"},
    {"ABogusVideoDriverFailsBeforeTheQuestion", Step::Fails, "", SMALL, 1,
     "could not open the display: bogus", "-", "", 0, "export SDL_VIDEODRIVER=bogus"},
    {"WaylandWithoutACompositorFailsBeforeTheQuestion", Step::Fails, "", SMALL, 1,
     "could not open the display: wayland", "-", "", 0,
     "export SDL_VIDEODRIVER=wayland WAYLAND_DISPLAY=wayland-gone"},
    {"WaylandWithoutZenityAsksOnX11", Step::Window, "Escape", LARGE, 0, "", "", "", 0,
     "export WAYLAND_DISPLAY=wayland-gone PATH=/nonexistent"},
    {"NoBoxAtAllSaysWhyAndOpensAWindow", Step::Window, "", LARGE, 0, "without X11 it takes zenity",
     "", "", 0, "export BRUMLAKOR_PROBE_NO_BOX=1"},
};
INSTANTIATE_TEST_SUITE_P(Matrix, Demo, ::testing::ValuesIn(CASES),
                         [](const auto &info) { return std::string(info.param.name); });
} // namespace
