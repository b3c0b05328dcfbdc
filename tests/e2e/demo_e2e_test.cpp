// The demo binary as a user meets it, under a private Xvfb: the question, the
// window or full screen, Escape, the close box, the loss of the display, and a
// machine without a display. Signals, a refused full screen and a flooding
// mouse are cases of the fault matrix in tests/hardening.
#include <gtest/gtest.h>

#include "tests/e2e/demo_process.h"

namespace {
constexpr const char *TITLE = "Brumlakor";
constexpr int STARTUP_TIMEOUT_MS = 15000;
// The run ends in the frame that takes the key or the close command and its
// shutdown; generous against a loaded machine (typical figures are far lower).
constexpr int EXIT_TIMEOUT_MS = 3000;

class DemoUnderX : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!DemoBinaryBuilt())
            GTEST_SKIP() << BRUMLAKOR_BINARY << " not built";
        ASSERT_TRUE(StartXServer(server, Screen())) << "Xvfb did not start";
    }
    void TearDown() override {
        CleanUp(demo);
        StopXServer(server);
    }
    virtual std::string Screen() {
        return "1024x768x24";
    }

    // Starts the demo and returns the question's box.
    unsigned long StartAndAsk() {
        EXPECT_TRUE(StartDemo(demo, &server));
        unsigned long box = WaitForWindow(server, TITLE, STARTUP_TIMEOUT_MS);
        EXPECT_NE(box, 0u) << "no question appeared; stderr: " << ReadErrors(demo);
        EXPECT_EQ(WindowClass(server, box), "");
        return box;
    }

    // Answers the question and returns the demo's window.
    unsigned long Answer(unsigned long box, const std::string &key) {
        EXPECT_TRUE(SendKey(server, box, key));
        double start = NowMs();
        while (MillisecondsSince(start) < STARTUP_TIMEOUT_MS) {
            for (unsigned long window : FindWindows(server, TITLE)) {
                WindowGeometry geometry;
                if (WindowClass(server, window) != "" &&
                    GetWindowGeometry(server, window, geometry) && geometry.viewable)
                    return window;
            }
            usleep(5000);
        }
        ADD_FAILURE() << "no window after the answer; stderr: " << ReadErrors(demo);
        return 0;
    }

    void ExpectCleanEnd(int timeoutMs = EXIT_TIMEOUT_MS) {
        double elapsed = 0;
        EXPECT_EQ(WaitForExit(demo, timeoutMs, &elapsed), 0) << "stderr: " << ReadErrors(demo);
        EXPECT_TRUE(TempDirEmpty(demo)) << "files left in the temp dir";
        EXPECT_EQ(RunningDemoProcesses(), 0);
        EXPECT_TRUE(FindWindows(server, TITLE).empty() || WaitForWindow(server, TITLE, 200) == 0);
    }

    XServer server;
    DemoProcess demo;
};

class DemoOn640x480 : public DemoUnderX {
    std::string Screen() override {
        return "640x480x24";
    }
};

TEST_F(DemoUnderX, AnswerNoGivesA640x480WindowAtTheTopLeft) {
    unsigned long window = Answer(StartAndAsk(), "Escape"); // Escape answers No
    ASSERT_NE(window, 0u);
    WindowGeometry geometry;
    ASSERT_TRUE(GetWindowGeometry(server, window, geometry));
    EXPECT_EQ(geometry.width, 640);
    EXPECT_EQ(geometry.height, 480);
    EXPECT_EQ(geometry.x, 0);
    EXPECT_EQ(geometry.y, 0);
    // The opening fades in from black, and frames keep coming.
    Image first = CaptureWindow(server, window);
    ASSERT_EQ(first.width, 640);
    EXPECT_GT(CountDarkPixels(first, 40), 640 * 480 * 9 / 10);
    usleep(2500 * 1000);
    Image later = CaptureWindow(server, window);
    EXPECT_GT(CompareImages(first, later, 8).differingPixels, 100);
    EXPECT_FALSE(CursorHiddenAt(server, 320, 240)); // a window keeps its cursor
    EXPECT_EQ(WaitForExit(demo, 10), -1);           // still running
    SendKey(server, window, "Escape");
    ExpectCleanEnd();
}

TEST_F(DemoUnderX, EscapeEndsTheRun) {
    unsigned long window = Answer(StartAndAsk(), "Escape");
    ASSERT_NE(window, 0u);
    usleep(300 * 1000);
    ASSERT_TRUE(SendKey(server, window, "Escape"));
    ExpectCleanEnd();
}

TEST_F(DemoUnderX, TheCloseCommandEndsTheRun) {
    unsigned long window = Answer(StartAndAsk(), "Escape");
    ASSERT_NE(window, 0u);
    usleep(300 * 1000);
    ASSERT_TRUE(SendDeleteWindow(server, window));
    ExpectCleanEnd();
}

TEST_F(DemoOn640x480, AnswerYesGoesFullScreenWithoutCursor) {
    unsigned long window = Answer(StartAndAsk(), "Return"); // Return answers Yes
    ASSERT_NE(window, 0u);
    usleep(300 * 1000);
    WindowGeometry geometry;
    ASSERT_TRUE(GetWindowGeometry(server, window, geometry));
    EXPECT_EQ(geometry.x, 0);
    EXPECT_EQ(geometry.y, 0);
    EXPECT_EQ(geometry.width, 640);
    EXPECT_EQ(geometry.height, 480);
    EXPECT_TRUE(CursorHiddenAt(server, 320, 240));
    SendKey(server, window, "Escape");
    ExpectCleanEnd();
}

// The X server goes away under a running demo: it still ends in order
// (player freed, files removed), says why, and reports the failure.
TEST_F(DemoUnderX, LosingTheDisplayEndsTheRunInOrder) {
    unsigned long window = Answer(StartAndAsk(), "Escape");
    ASSERT_NE(window, 0u);
    usleep(300 * 1000);
    StopXServer(server);
    EXPECT_EQ(WaitForExit(demo, EXIT_TIMEOUT_MS), 1);
    EXPECT_NE(ReadErrors(demo).find("lost the connection to the display"), std::string::npos)
        << ReadErrors(demo);
    EXPECT_TRUE(TempDirEmpty(demo));
    EXPECT_EQ(RunningDemoProcesses(), 0);
}

TEST(DemoWithoutDisplay, SaysSoInOneLineAndFails) {
    if (!DemoBinaryBuilt())
        GTEST_SKIP() << BRUMLAKOR_BINARY << " not built";
    DemoProcess demo;
    ASSERT_TRUE(StartDemo(demo, nullptr));
    int code = WaitForExit(demo, EXIT_TIMEOUT_MS);
    std::string errors = ReadErrors(demo);
    EXPECT_NE(code, 0);
    EXPECT_NE(code, -1);
    EXPECT_NE(errors.find("display"), std::string::npos) << errors;
    EXPECT_EQ(errors.find('\n'), errors.size() - 1) << "more than one line: " << errors;
    EXPECT_TRUE(TempDirEmpty(demo));
    CleanUp(demo);
}
} // namespace
