// The frame loop on the virtual clock: start-up offscreen with the player
// driven offline (no sound device), pacing, the exit test and the shutdown.
#include <GL/gl.h>
#include <cstdlib>
#include <dlfcn.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <vector>

#include "display/textures.h"
#include "driver/demo.h"
#include "driver/timeline.h"
#include "effects/effects.h"
#include "music/music.h"
#include "runtime/internal.h"
#include "runtime/runtime.h"
#include "sdl_events.h"
#include "tests/support/process.h"

namespace {
namespace fs = std::filesystem;

void StartOffscreen() {
    UseVirtualClock(5000);
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

TEST_F(FrameLoop, StartUpLeavesEverythingTheLoopNeeds) {
    EXPECT_NE(LibrarySlotHandle(SOUND_SLOT), nullptr);
    EXPECT_TRUE(fs::exists(TempDir() + SOUND_LIBRARY_FILE));
    ASSERT_TRUE(outerEmission != nullptr && innerEmission != nullptr);
    EXPECT_EQ(outerEmission[1] + outerEmission[3] * 10 + innerEmission[0] * 100, 103.0f);
    EXPECT_TRUE(glIsTexture(fontTexture) && glIsTexture(pictureTexture) && glIsList(shapeList));
    EXPECT_EQ(sceneMask.load(), SCENE_TITLE);
}

// The frame takes no virtual time of its own: pacing sleeps the rest of the
// 20 ms, measured from the second clock reading (each reading moves the
// clock on by readStep), and nothing after a long frame; across the wrap too.
TEST_F(FrameLoop, PacingSleepsOnlyTheRestOfThePeriod) {
    const struct {
        uint32_t busy, readStep, elapsed;
    } cases[] = {{5, 0, 20}, {20, 0, 20}, {37, 0, 37}, {10, 6, 26}, {12, 8, 28}};
    for (const auto &c : cases) {
        uint32_t start = TickMilliseconds();
        Delay(c.busy);
        SetVirtualClockReadStep(c.readStep);
        PaceFrame(start);
        SetVirtualClockReadStep(0);
        EXPECT_EQ(TickMilliseconds() - start, c.elapsed) << c.busy << " ms, step " << c.readStep;
    }
    Delay(0u - TickMilliseconds() - 7u); // 7 ms before the wrap
    uint32_t start = TickMilliseconds();
    Delay(3);
    PaceFrame(start);
    EXPECT_EQ(TickMilliseconds(), 13u);
}

// Events queued before a frame: each frame takes one, lasts one period and
// goes on unless it took Escape or the close command.
TEST_F(FrameLoop, EscapeAndTheCloseCommandEndTheLoop) {
    const struct {
        std::vector<SDL_Event> events;
        std::vector<bool> goesOn;
    } cases[] = {{{Key(SDLK_x), Other(SDL_MOUSEMOTION), Key(SDLK_ESCAPE)}, {true, false}},
                 {{Window(SDL_WINDOWEVENT_CLOSE)}, {false}}};
    static int hookCalls = 0;
    for (const auto &c : cases) {
        for (SDL_Event event : c.events)
            SDL_PushEvent(&event);
        hookCalls = 0;
        for (bool goesOn : c.goesOn) {
            uint32_t before = TickMilliseconds();
            EXPECT_EQ(RunFrame([] { hookCalls++; }), goesOn);
            EXPECT_EQ(TickMilliseconds() - before, FRAME_PERIOD_MS);
        }
        EXPECT_EQ(hookCalls, int(c.goesOn.size()));
    }
}

// The runtime end unloads the GL driver, whose own start-up allocations
// would then show up in a leak check as leaks of an unknown module.
void KeepGlDriverLoaded() {
    for (const char *driver : {"/usr/lib/x86_64-linux-gnu/dri/swrast_dri.so", "libEGL_mesa.so.0"})
        dlopen(driver, RTLD_NOW | RTLD_NOLOAD);
}

// Shutdown frees the player, removes its file and directory and exits with 0;
// a close request raised during start-up ends the first frame.
TEST(Shutdown, EndsWithExitCodeZeroAndLeavesNoFiles) {
    // The child runs this test alone in a fresh process: a fork after the
    // suite's start-up threads could hang under the thread sanitizer.
    const std::string style = GTEST_FLAG_GET(death_test_style);
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const std::string pattern = MakeTempDir("frame-loop-tmp");
    EXPECT_EXIT(
        {
            setenv("TMPDIR", pattern.c_str(), 1);
            StartOffscreen();
            RequestClose();
            bool goesOn = RunFrame();
            KeepGlDriverLoaded();
            if (!goesOn)
                Shutdown();
        },
        ::testing::ExitedWithCode(0), "");
    GTEST_FLAG_SET(death_test_style, style);
    EXPECT_TRUE(fs::is_empty(pattern));
    fs::remove_all(pattern);
}

} // namespace
