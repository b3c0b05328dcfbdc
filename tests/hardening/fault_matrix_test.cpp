// The demo binary under a private Xvfb as a user meets it, and on a machine
// that misbehaves: the question answered either way, Escape, the close
// command, signals, the X server gone, no display, no sound device, a player
// that cannot be loaded, a temp directory that is noexec, missing, read-only
// or full, a refused full screen, two runs at once, a planted library, a
// flooding mouse and a machine too slow for the frame period. One driver runs
// the table of cases at the end. Each run has its own TMPDIR, so "nothing
// left behind" can be checked, and a preloaded probe records the scene of
// every presented frame and the text of every message box.
#include <algorithm>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "tests/support/process.h"
#include "tests/support/xserver.h"

namespace fs = std::filesystem;

namespace {
constexpr const char *NAME = "Brumlakor";
constexpr int START_MS = 20000, EXIT_MS = 5000, SHOW_MS = 60000;
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
    static std::string offset;
    if (offset.empty()) {
        FILE *nm = popen(("nm " + Binary() + " 2>/dev/null").c_str(), "r");
        char line[512], address[64], kind[8], name[400];
        while (nm != nullptr && fgets(line, sizeof line, nm) != nullptr)
            if (sscanf(line, "%63s %7s %399s", address, kind, name) == 3 &&
                std::string(name) == "sceneMask")
                offset = address;
        if (nm != nullptr)
            pclose(nm);
        offset = offset.empty() ? "0" : offset;
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

    bool Start(XServer *server, std::vector<std::string> environment = {},
               const std::string &setup = "", const std::string &tempDir = "") {
        work = MakeTempDir("fault");
        temp = tempDir.empty() ? work + "/tmp" : tempDir;
        if (tempDir.empty())
            fs::create_directory(temp);
        environment.insert(environment.begin(),
                           {"TMPDIR=" + temp, server ? "DISPLAY=" + server->display : "DISPLAY",
                            "WAYLAND_DISPLAY", "SDL_VIDEODRIVER", "SDL_AUDIODRIVER",
                            "LD_PRELOAD=" FRAME_PROBE_LIBRARY,
                            "BRUMLAKOR_PROBE_LOG=" + work + "/probe",
                            "BRUMLAKOR_PROBE_MASK_OFFSET=" + SceneMaskOffset()});
        std::vector<std::string> argv = {Binary()};
        if (!setup.empty()) // in a mount namespace of its own, after setup changed what it sees
            argv = {"unshare", "-rm", "sh", "-c", setup + " && exec \"$0\"", Binary()};
        pid = Spawn(argv, environment, work + "/stderr");
        return pid > 0;
    }
    // The exit code (kept once seen), -1 on timeout, 128 + signal when killed.
    int Wait(int timeoutMs, double *elapsedMs = nullptr) {
        if (pid > 0 && (exitCode = WaitExit(pid, timeoutMs, elapsedMs)) != -1)
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
            std::istringstream fields(line);
            std::string kind;
            long swap;
            Frame frame{static_cast<int>(probe.frames.size()) + 1, 0, 0};
            if (line.rfind("B ", 0) == 0)
                probe.boxes.push_back(line.substr(2));
            else if (fields >> kind >> swap >> frame.ms >> std::hex >> frame.mask &&
                     (frame.mask != 0 || !probe.frames.empty())) // a line cut by a kill fails
                probe.frames.push_back(frame);
        }
        return probe;
    }
    bool WaitFor(const std::function<bool(const Probe &)> &seen, int timeoutMs) const {
        for (double start = NowMs(); NowMs() - start < timeoutMs; usleep(20000))
            if (seen(Read()))
                return true;
        return false;
    }
    bool WaitFrames(size_t count) const {
        return WaitFor([&](const Probe &p) { return p.frames.size() >= count; }, START_MS);
    }
    bool WaitMask(uint32_t mask) const {
        return WaitFor([&](const Probe &p) { return p.First(mask) != nullptr; }, SHOW_MS);
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

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

enum class Step {
    Window,      // No: a 640 x 480 window that fades in, Yes: the screen without cursor
    Close,       // the window manager's close command
    Leftover,    // after a run killed outright in the same TMPDIR; the close command
    Signal,      // the case's signal, during the question or playback
    XGone,       // the X server killed, during the question or playback
    NoDisplay,   // DISPLAY unset
    WholeShow,   // every scene on time, counted frames and music syncs; Escape
    Unloadable,  // the player's decoder emptied: silent, the panels to the end
    MusicGoesOn, // the first sync still comes (the sliding picture); Escape
    Notice,      // a notice box instead of the show; Return ends the run
    TwoRuns,     // two runs in one TMPDIR, both to the tunnel; SIGTERM
    Planted,     // TMPDIR/bassmod.dll planted as a library and as a link
};

struct Case {
    const char *name;
    Step step;
    const char *answer = "Escape"; // to the question: Escape answers No, Return Yes; "" none
    const char *screen = "640x480x24";
    int exit = 0;                 // -2: any code of an orderly end (not -1, below 128)
    const char *errors = "";      // in stderr
    const char *box = "";         // the last box, "caption|text" ("" for any)
    std::string setup = "";       // shell commands in a mount namespace before the demo
    const char *environment = ""; // "NAME=value"
    int signal = 0;
    bool missingTemp = false; // TMPDIR names a directory that does not exist
    int slowMs = 0;           // every frame takes that much longer: a slow machine
};

class Demo : public ::testing::TestWithParam<Case> {
  protected:
    void TearDown() override {
        for (DemoRun *which : {&run, &second})
            which->CleanUp();
        StopXServer(server);
    }

    // Windows named NAME: with WM_CLASS the demo's own, without it boxes.
    std::vector<unsigned long> Viewable(bool boxes) {
        std::vector<unsigned long> found;
        for (unsigned long window : FindWindows(server, NAME)) {
            WindowGeometry geometry;
            if ((WindowClass(server, window) == "") == boxes &&
                GetWindowGeometry(server, window, geometry) && geometry.viewable)
                found.push_back(window);
        }
        return found;
    }
    unsigned long WaitViewable(bool box, int timeoutMs) {
        for (double start = NowMs(); NowMs() - start < timeoutMs; usleep(5000))
            if (!Viewable(box).empty())
                return Viewable(box)[0];
        return 0;
    }
    // A new box may come back under an old one's window id (X hands a new
    // client the ids of one that left): the old one goes first.
    void WaitNoBox() {
        for (double start = NowMs(); !Viewable(true).empty() && NowMs() - start < START_MS;)
            usleep(5000);
    }
    bool Press(unsigned long window, const std::string &key) {
        return RunWithDisplay(server, "xdotool key --window " + std::to_string(window) + " " + key +
                                          " >/dev/null 2>&1") == 0;
    }
    // Starts a run, answers No and returns the demo's window.
    unsigned long StartWindowed(DemoRun &which, const std::vector<std::string> &environment = {},
                                const std::string &temp = "") {
        EXPECT_TRUE(which.Start(&server, environment, "", temp));
        EXPECT_TRUE(Press(WaitViewable(true, START_MS), "Escape"));
        unsigned long window = WaitViewable(false, START_MS);
        EXPECT_NE(window, 0u) << "no demo window; stderr: " << which.Errors();
        return window;
    }
    void KillServer() { // this connection first, so that Xlib does not end the test with it
        pid_t pid = server.pid;
        server.pid = -1;
        StopXServer(server);
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }

    // The frame-driven opening: every frame counted, none skipped, whatever the
    // frame rate; then each sync-driven scene when the music reaches it,
    // measured from frame 86, which resumes the music.
    void ExpectOpeningAndSyncs(const Probe &probe) {
        ASSERT_NE(probe.First(WIPE), nullptr);
        EXPECT_EQ(probe.First(WIPE)->number, 35);
        ASSERT_NE(probe.First(TITLE, 35), nullptr);
        EXPECT_EQ(probe.First(TITLE, 35)->number, 85);
        ASSERT_NE(probe.First(PANELS), nullptr);
        EXPECT_EQ(probe.First(PANELS)->number, 185);
        for (auto [mask, row] : {std::pair{SLIDE, 128}, {OBJECT, 256}, {TUNNEL_OBJECT, 384}}) {
            const Frame *frame = probe.First(mask, 86);
            ASSERT_NE(frame, nullptr) << mask << " never shown";
            double late = frame->ms - probe.frames[85].ms - row * ROW_MS;
            printf("scene %x: %+.0f ms against the music\n", mask, late);
            EXPECT_GT(late, -SYNC_EARLY_MS) << mask;
            EXPECT_LT(late, SYNC_LATE_MS) << mask;
        }
    }

    void Play(const Case &c); // the steps of one run
    void TwoRuns();
    void Planted(bool link);

    XServer server;
    DemoRun run, second;
    unsigned long window = 0;
};

void PrintTo(const Case &c, std::ostream *out) {
    *out << c.name;
}

TEST_P(Demo, Case) {
    const Case &c = GetParam();
    if (access(Binary().c_str(), X_OK) != 0)
        GTEST_SKIP() << Binary() << " not built";
    if (!c.setup.empty() && std::system("unshare -rm true >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "no user and mount namespaces here";
    if (c.step != Step::NoDisplay) {
        ASSERT_TRUE(StartXServer(server, c.screen)) << "Xvfb did not start";
    }
    if (c.step == Step::TwoRuns)
        return TwoRuns();
    if (c.step == Step::Planted)
        return Planted(false), Planted(true);
    std::string temp;
    if (c.step == Step::Leftover) { // a run killed outright leaves its directory behind
        StartWindowed(second);
        ASSERT_TRUE(second.WaitFrames(5));
        kill(second.pid, SIGKILL);
        second.Wait(EXIT_MS);
        temp = second.temp;
        EXPECT_EQ(DirectoryEntries(temp).size(), 1u);
    }
    std::string missing = c.missingTemp ? MakeTempDir("missing") : "";
    std::vector<std::string> environment = {c.environment};
    if (c.slowMs > 0)
        environment.push_back("BRUMLAKOR_PROBE_SLOW_MS=" + std::to_string(c.slowMs));
    ASSERT_TRUE(run.Start(c.step == Step::NoDisplay ? nullptr : &server, environment, c.setup,
                          missing.empty() ? temp : missing + "/tmp"));
    if (*c.answer != '\0') {
        ASSERT_TRUE(Press(WaitViewable(true, START_MS), c.answer)) << run.Errors();
        if (c.step != Step::Notice)
            window = WaitViewable(false, START_MS);
    }
    Play(c);
    int code = run.Wait(c.step == Step::XGone ? 10000 : EXIT_MS);
    std::string errors = run.Errors();
    EXPECT_TRUE(c.exit == -2 ? code >= 0 && code < 128 : code == c.exit) << code << ": " << errors;
    EXPECT_NE(errors.find(c.errors), std::string::npos) << errors;
    Probe probe = run.Read();
    for (const std::string &box : probe.boxes)
        EXPECT_NE(box.rfind("Error|", 0), 0u) << box;
    if (*c.box != '\0') {
        ASSERT_FALSE(probe.boxes.empty());
        EXPECT_EQ(probe.boxes.back(), c.box);
        EXPECT_TRUE(probe.frames.empty()) << "the presentation ran";
    }
    EXPECT_TRUE(DirectoryEntries(run.temp).empty()) << "left in " << run.temp;
    EXPECT_TRUE(run.Left().empty()) << "a process outlived the run";
    EXPECT_FALSE(!missing.empty() && fs::exists(run.temp)) << "TMPDIR was created";
    fs::remove_all(missing);
}

void Demo::Play(const Case &c) {
    WindowGeometry geometry;
    std::string errors = run.Errors();
    switch (c.step) {
    case Step::Window: {
        ASSERT_TRUE(GetWindowGeometry(server, window, geometry));
        EXPECT_EQ(std::vector<int>({geometry.x, geometry.y, geometry.width, geometry.height}),
                  std::vector<int>({0, 0, 640, 480}));
        bool full = std::string(c.answer) == "Return";
        // The opening fades in from black, and frames keep coming.
        Image first = CaptureWindow(server, window);
        EXPECT_GT(CountDarkPixels(first, 40), 640 * 480 * 9 / 10);
        usleep(2500 * 1000);
        EXPECT_GT(CompareImages(first, CaptureWindow(server, window), 8).differingPixels, 100);
        EXPECT_EQ(CursorHiddenAt(server, 320, 240), full); // a window keeps its cursor
        EXPECT_EQ(run.Wait(10), -1);                       // still running
        Press(window, "Escape");
        break;
    }
    case Step::Leftover:
    case Step::Close:
        usleep(300 * 1000);
        EXPECT_TRUE(SendDeleteWindow(server, window));
        break;
    case Step::Signal:
    case Step::XGone:
        if (*c.answer != '\0')
            ASSERT_TRUE(run.WaitFrames(50)) << run.Errors();
        else
            ASSERT_NE(WaitViewable(true, START_MS), 0u);
        if (c.step == Step::XGone)
            return KillServer();
        kill(run.pid, c.signal);
        EXPECT_EQ(run.Wait(EXIT_MS), 0) << run.Errors();
        EXPECT_TRUE(Viewable(true).empty() && Viewable(false).empty()) << "a window outlived it";
        break;
    case Step::WholeShow: {
        ASSERT_TRUE(run.WaitMask(TUNNEL_OBJECT)) << run.Errors();
        Probe probe = run.Read();
        ExpectOpeningAndSyncs(probe);
        if (c.slowMs > 0) {
            // The frame that overran gets no sleep after it: the period is the
            // frame's own time, not that plus a paced remainder.
            std::vector<double> periods;
            for (size_t i = 1; i < probe.frames.size(); i++)
                periods.push_back(probe.frames[i].ms - probe.frames[i - 1].ms);
            printf("median frame period %.1f ms\n", Median(periods));
            EXPECT_GT(Median(periods), c.slowMs);
            EXPECT_LT(Median(periods), c.slowMs + 20);
        }
        Press(window, "Escape");
        break;
    }
    case Step::Unloadable: {
        ASSERT_TRUE(run.WaitMask(PANELS));
        // Past the first sync's time by a wide margin: still the panels.
        double until = run.Read().First(PANELS)->ms + 128 * ROW_MS + 3000;
        while (NowMs() < until)
            usleep(100 * 1000);
        Probe probe = run.Read();
        EXPECT_EQ(probe.First(PANELS)->number, 185);
        for (const Frame &frame : probe.frames)
            ASSERT_TRUE(frame.number < 185 || frame.mask == PANELS) << "frame " << frame.number;
        // One line, one reason for each way tried: the file, then a memory file.
        errors = run.Errors();
        size_t file = errors.find("(from the temp directory: "),
               memory = errors.find("; from memory: ");
        EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 1) << errors;
        ASSERT_TRUE(file != std::string::npos && memory != std::string::npos) << errors;
        EXPECT_LT(errors.find("libxmp", file), memory) << "no loader reason: " << errors;
        EXPECT_NE(errors.find("libxmp", memory), std::string::npos) << errors;
        Press(window, "Escape");
        break;
    }
    case Step::MusicGoesOn:
        ASSERT_TRUE(run.WaitMask(SLIDE)) << "stuck before the sliding picture: " << run.Errors();
        EXPECT_EQ(run.Errors().find("no sound"), std::string::npos) << run.Errors();
        Press(window, "Escape");
        break;
    case Step::Notice: {
        if (*c.answer != '\0')
            WaitNoBox(); // the question's
        unsigned long notice = WaitViewable(true, START_MS);
        ASSERT_NE(notice, 0u) << "no notice; stderr: " << run.Errors();
        EXPECT_EQ(WaitViewable(false, 10), 0u) << "a demo window was opened";
        EXPECT_TRUE(Press(notice, "Return"));
        break;
    }
    case Step::NoDisplay:
        run.Wait(EXIT_MS);
        errors = run.Errors();
        EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 1) << errors;
        break;
    default:
        break;
    }
}

void Demo::TwoRuns() {
    std::string shared = MakeTempDir("shared");
    StartWindowed(run, {}, shared);
    WaitNoBox();
    StartWindowed(second, {}, shared);
    ASSERT_TRUE(second.WaitFrames(1));
    // Each loaded its own copy of the player from its own directory.
    EXPECT_EQ(DirectoryEntries(shared).size(), 2u);
    for (DemoRun *which : {&run, &second})
        ASSERT_TRUE(which->WaitMask(TUNNEL_OBJECT)) << which->Errors();
    for (DemoRun *which : {&run, &second}) {
        EXPECT_EQ(which->Wait(10), -1) << "a run ended by itself";
        kill(which->pid, SIGTERM);
        EXPECT_EQ(which->Wait(EXIT_MS), 0) << which->Errors();
    }
    EXPECT_TRUE(DirectoryEntries(shared).empty());
    fs::remove_all(shared);
}

// Where a fixed name would go, TMPDIR/bassmod.dll, someone planted a library
// of theirs or a link to a file of the user's. The demo uses a fresh directory
// of its own (mode 0700) and neither loads nor writes through them.
void Demo::Planted(bool link) {
    SCOPED_TRACE(link ? "planted link" : "planted library");
    std::string work = MakeTempDir("planted"), planted = work + "/tmp/bassmod.dll";
    std::ofstream(work + "/victim") << "the user's own file\n";
    fs::create_directory(work + "/tmp");
    if (link)
        fs::create_symlink(work + "/victim", planted);
    else
        fs::copy_file(PLANTED_LIBRARY, planted);
    DemoRun planting;
    unsigned long window =
        StartWindowed(planting, {"BRUMLAKOR_PLANT_MARKER=" + work + "/marker"}, work + "/tmp");
    ASSERT_TRUE(planting.WaitFrames(5));
    // The player it did load, and the directory it came from.
    std::istringstream maps(ReadFile("/proc/" + std::to_string(planting.pid) + "/maps"));
    std::string loaded;
    for (std::string line; std::getline(maps, line);)
        if (line.find("bassmod.dll") != std::string::npos)
            loaded = line.substr(line.find('/'));
    struct stat dir {};
    ASSERT_EQ(stat(fs::path(loaded).parent_path().c_str(), &dir), 0) << "no player: " << loaded;
    EXPECT_NE(loaded, planted);
    EXPECT_EQ(dir.st_mode & 0777, 0700u);
    EXPECT_EQ(dir.st_uid, getuid());
    EXPECT_FALSE(fs::exists(work + "/marker")) << "the planted library was loaded";
    Press(window, "Escape");
    EXPECT_EQ(planting.Wait(EXIT_MS), 0) << planting.Errors();
    EXPECT_EQ(ReadFile(work + "/victim"), "the user's own file\n");
    // Someone else's file is theirs: left as it was, and nothing else left.
    EXPECT_EQ(DirectoryEntries(work + "/tmp"), std::vector<std::string>{"bassmod.dll"});
    EXPECT_EQ(fs::is_symlink(planted), link);
    planting.CleanUp();
    fs::remove_all(work);
}

const std::string XMP_EMPTIED = "mount --bind /dev/null \"$(readlink -f " XMP_LIBRARY ")\"";
const std::string TEMP_NOEXEC = "mount -t tmpfs -o noexec,size=4m tmpfs \"$TMPDIR\"";
const std::string TEMP_READ_ONLY =
    "mount --bind \"$TMPDIR\" \"$TMPDIR\" && mount -o remount,bind,ro \"$TMPDIR\"";
const std::string TEMP_FULL = "mount -t tmpfs -o size=64k tmpfs \"$TMPDIR\""; // < the player
constexpr const char *NO_TEMP = "Brumlakor|Failed to install bassmod to UserTempPath";
constexpr const char *LARGE = "1024x768x24"; // a window is not the whole screen there
constexpr const char *SMALL = "640x480x24";  // Return on a question there would go full screen

// The first case is the package test's: it needs neither the probe nor namespaces.
// name, step, answer, screen, exit, stderr, last box, mount namespace set-up,
// environment, signal, missing TMPDIR, slow frames
const Case CASES[] = {
    {"AnswerNoGivesAWindowAtTheTopLeft", Step::Window, "Escape", LARGE},
    {"AnswerYesGoesFullScreenWithoutCursor", Step::Window, "Return"},
    {"TheCloseCommandEndsTheRun", Step::Close, "Escape", LARGE},
    {"SigintDuringTheQuestion", Step::Signal, "", SMALL, 0, "", "", "", "", SIGINT},
    {"SigtermDuringTheQuestion", Step::Signal, "", SMALL, 0, "", "", "", "", SIGTERM},
    {"SigintDuringPlayback", Step::Signal, "Escape", SMALL, 0, "", "", "", "", SIGINT},
    {"SigtermDuringPlayback", Step::Signal, "Escape", SMALL, 0, "", "", "", "", SIGTERM},
    {"XGoneDuringTheQuestion", Step::XGone, "", SMALL, -2},
    {"XGoneDuringPlayback", Step::XGone, "Escape", SMALL, 1, "lost the connection to the display"},
    {"NoDisplaySaysSoInOneLine", Step::NoDisplay, "", "", 1, "needs a graphical display"},
    {"NoSoundDriverPlaysSilentOnTime", Step::WholeShow, "Escape", SMALL, 0, "", "", "",
     "SDL_AUDIODRIVER=nosuchdriver"},
    {"ASlowMachineSkipsNoFrameAndKeepsTheSyncs", Step::WholeShow, "Escape", SMALL, 0, "", "", "",
     "", 0, false, 30},
    {"AnUnloadablePlayerStopsAtThePanels", Step::Unloadable, "Escape", SMALL, 0, "", "",
     XMP_EMPTIED},
    {"ANoexecTempDirectoryStillFollowsTheMusic", Step::MusicGoesOn, "Escape", SMALL, 0, "", "",
     TEMP_NOEXEC},
    {"AMissingTempDirectoryGivesTheNotice", Step::Notice, "", SMALL, 0, "", NO_TEMP, "", "", 0,
     true},
    {"AReadOnlyTempDirectoryGivesTheNotice", Step::Notice, "", SMALL, 0, "", NO_TEMP,
     TEMP_READ_ONLY},
    {"AFullTempDirectoryGivesTheNotice", Step::Notice, "", SMALL, 0, "", NO_TEMP, TEMP_FULL},
    {"ARefusedFullScreenGivesTheNotice", Step::Notice, "Return", LARGE, 0, "",
     "Brumlakor|Could not create fullscreen"},
    {"TwoRunsAtOnceBothPlayToTheEnd", Step::TwoRuns, "Escape", LARGE},
    {"APlantedLibraryOrLinkIsNeitherLoadedNorFollowed", Step::Planted, "Escape", LARGE},
    {"AKilledRunsDirectoryGoesWithTheNextRun", Step::Leftover, "Escape", LARGE},
};
INSTANTIATE_TEST_SUITE_P(Matrix, Demo, ::testing::ValuesIn(CASES),
                         [](const auto &info) { return std::string(info.param.name); });
} // namespace
