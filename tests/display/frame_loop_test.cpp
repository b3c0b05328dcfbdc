// The frame loop on the virtual clock: start-up offscreen with the player
// driven offline (no sound device), pacing arithmetic, the exit test and the
// shutdown.
#include <GL/gl.h>
#include <SDL.h>
#include <cstdlib>
#include <dlfcn.h>
#include <filesystem>
#include <gtest/gtest.h>

#include "display/display.h"
#include "display/textures.h"
#include "driver/demo.h"
#include "driver/timeline.h"
#include "effects/effects.h"
#include "music/music.h"
#include "runtime/internal.h"
#include "runtime/runtime.h"

namespace {
namespace fs = std::filesystem;
constexpr uint32_t CLOCK_START = 5000;

void StartOffscreen() {
    UseVirtualClock(CLOCK_START);
    DemoOptions options;
    options.display = DisplayKind::Offscreen;
    options.sound = false;
    StartUp(options);
}

class FrameLoop : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        StartOffscreen();
    }
    // The player's private directory goes again; the GL driver stays loaded,
    // so a leak check at exit still sees its allocations as reachable.
    static void TearDownTestSuite() {
        UninstallSoundLibrary();
    }
    void SetUp() override {
        SetVirtualClockReadStep(0);
        SDL_PumpEvents();
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    }
};

void PushKey(SDL_Keycode key) {
    SDL_Event event{};
    event.type = SDL_KEYDOWN;
    event.key.keysym.sym = key;
    SDL_PushEvent(&event);
}

TEST_F(FrameLoop, StartUpLeavesEverythingTheLoopNeeds) {
    EXPECT_NE(LibrarySlotHandle(SOUND_SLOT), nullptr);
    EXPECT_TRUE(fs::exists(TempDir() + SOUND_LIBRARY_FILE));
    GLfloat light[4];
    glGetLightfv(GL_LIGHT0, GL_POSITION, light);
    EXPECT_FLOAT_EQ(light[3], 0.5f);
    ASSERT_NE(outerEmission, nullptr);
    ASSERT_NE(innerEmission, nullptr);
    EXPECT_FLOAT_EQ(outerEmission[1], 1.0f);
    EXPECT_FLOAT_EQ(outerEmission[3], 0.2f);
    EXPECT_FLOAT_EQ(innerEmission[0], 1.0f);
    EXPECT_TRUE(glIsTexture(fontTexture));
    EXPECT_TRUE(glIsTexture(pictureTexture));
    EXPECT_TRUE(glIsList(shapeList));
    EXPECT_EQ(scrollPos, -6.0f);
}

// The frame itself takes no virtual time, so each frame is one full period.
TEST_F(FrameLoop, EachFrameLastsOnePeriod) {
    for (int i = 0; i < 5; i++) {
        uint32_t before = TickMilliseconds();
        ASSERT_TRUE(RunFrame());
        EXPECT_EQ(TickMilliseconds() - before, FRAME_PERIOD_MS);
    }
}

TEST_F(FrameLoop, PacingSleepsOnlyTheRestOfThePeriod) {
    uint32_t start = TickMilliseconds();
    Delay(5);
    PaceFrame(start);
    EXPECT_EQ(TickMilliseconds() - start, 20u);

    start = TickMilliseconds();
    Delay(20); // exactly one period: no sleep
    PaceFrame(start);
    EXPECT_EQ(TickMilliseconds() - start, 20u);

    start = TickMilliseconds();
    Delay(37); // a long frame: followed at once, nothing made up
    PaceFrame(start);
    EXPECT_EQ(TickMilliseconds() - start, 37u);
}

// Each clock reading moves the clock on: the sleep is measured from the
// second reading, and no sleep follows when that reading has reached the period.
TEST_F(FrameLoop, PacingUsesTheSecondReading) {
    uint32_t start = TickMilliseconds();
    Delay(10);
    SetVirtualClockReadStep(6); // readings at +10 and +16, clock at +22 after
    PaceFrame(start);
    SetVirtualClockReadStep(0);
    EXPECT_EQ(TickMilliseconds() - start, 22u + 4u);

    start = TickMilliseconds();
    Delay(12);
    SetVirtualClockReadStep(8); // readings at +12 and +20: remainder 0
    PaceFrame(start);
    SetVirtualClockReadStep(0);
    EXPECT_EQ(TickMilliseconds() - start, 28u);
}

TEST_F(FrameLoop, PacingWorksAcrossTheClockWrap) {
    Delay(0u - TickMilliseconds() - 7u); // 7 ms before the wrap
    uint32_t start = TickMilliseconds();
    Delay(3);
    PaceFrame(start);
    EXPECT_EQ(TickMilliseconds(), 13u);
}

TEST_F(FrameLoop, EscapeEndsTheLoopOtherEventsDoNot) {
    PushKey(SDLK_x);
    EXPECT_TRUE(RunFrame());
    SDL_Event move{};
    move.type = SDL_MOUSEMOTION;
    move.motion.state = 27;
    SDL_PushEvent(&move);
    EXPECT_TRUE(RunFrame());
    PushKey(SDLK_ESCAPE);
    uint32_t before = TickMilliseconds();
    EXPECT_FALSE(RunFrame());
    EXPECT_EQ(TickMilliseconds() - before, FRAME_PERIOD_MS); // paced before leaving
}

// Events queued before Escape delay the exit by one frame each.
TEST_F(FrameLoop, QueuedKeysDelayEscapeByOneFrameEach) {
    PushKey(SDLK_a);
    PushKey(SDLK_b);
    PushKey(SDLK_ESCAPE);
    EXPECT_TRUE(RunFrame());
    EXPECT_TRUE(RunFrame());
    EXPECT_FALSE(RunFrame());
}

TEST_F(FrameLoop, TheCloseCommandEndsTheLoop) {
    SDL_Event close{};
    close.type = SDL_WINDOWEVENT;
    close.window.event = SDL_WINDOWEVENT_CLOSE;
    SDL_PushEvent(&close);
    EXPECT_FALSE(RunFrame());
}

TEST_F(FrameLoop, BeforePresentHookSeesTheFinishedFrame) {
    static int calls = 0;
    calls = 0;
    EXPECT_TRUE(RunFrame([] { calls++; }));
    EXPECT_EQ(calls, 1);
}

// The runtime end unloads the GL driver, whose own start-up allocations
// would then show up in a leak check as leaks of an unknown module.
void KeepGlDriverLoaded() {
    for (const char *driver : {"/usr/lib/x86_64-linux-gnu/dri/swrast_dri.so", "libEGL_mesa.so.0"})
        dlopen(driver, RTLD_NOW | RTLD_NOLOAD);
}

// Shutdown frees the player, removes its file and directory and exits with 0.
TEST(Shutdown, EndsWithExitCodeZeroAndLeavesNoFiles) {
    char pattern[] = "/tmp/frame-loop-tmp-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    std::string directory = pattern;
    EXPECT_EXIT(
        {
            setenv("TMPDIR", directory.c_str(), 1);
            StartOffscreen();
            RunFrame();
            KeepGlDriverLoaded();
            Shutdown();
        },
        ::testing::ExitedWithCode(0), "");
    EXPECT_TRUE(fs::is_empty(directory));
    fs::remove_all(directory);
}

TEST(Shutdown, ACloseRequestDuringStartUpEndsTheFirstFrame) {
    EXPECT_EXIT(
        {
            StartOffscreen();
            RequestClose();
            bool goesOn = RunFrame();
            UninstallSoundLibrary();
            std::exit(goesOn ? 1 : 0);
        },
        ::testing::ExitedWithCode(0), "");
}
} // namespace
