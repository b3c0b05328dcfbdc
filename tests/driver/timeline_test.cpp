// The scene timeline, frame by frame: the effect blocks are replaced by a
// simulation that tests sceneMask (and scrollerOn) afresh at each block's turn
// and runs the timeline steps where the effects run them, in the frame loop's
// order. A hook can land a sync between any two blocks.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <thread>

#include "driver/timeline.h"
#include "effects/effects.h"
#include "fake_player_log.h"
#include "music/music.h"
#include "runtime/runtime.h"

using testing::ElementsAre;

namespace {

enum Block { TUNNEL, SCROLLER, OBJECT, PANELS, TITLE, WIPE, SLIDE, BLOCKS };

struct Frame {
    bool drawn[BLOCKS] = {};
    int titleWord = 0;     // word the title picture chose (1 or 2)
    bool resumed = false;  // the title picture resumed the music
    float fadeAlpha = 0;   // colour alpha the title picture drew with
    float innerScale = 0;  // scale of the lit object's inner copy
    int32_t maskAfter = 0; // sceneMask at the end of the frame

    std::string Blocks() const {
        static const char *names[BLOCKS] = {"tunnel", "scroller", "object", "panels",
                                            "title",  "wipe",     "slide"};
        std::string text;
        for (int block = 0; block < BLOCKS; block++)
            if (drawn[block])
                text += std::string(text.empty() ? "" : "+") + names[block];
        return text;
    }
};

using Hook = std::function<void(Block before)>;

bool MaskHas(int32_t bit) {
    return (sceneMask.load(std::memory_order_relaxed) & bit) != 0;
}

Frame RunFrame(const Hook &hook = {}) {
    Frame frame;
    // The hook runs before the block's own test, as a sync from the player's
    // thread could.
    auto turn = [&](Block block, const std::function<bool()> &test) {
        if (hook)
            hook(block);
        frame.drawn[block] = test();
        return frame.drawn[block];
    };
    auto bit = [](int32_t mask) { return [mask] { return MaskHas(mask); }; };
    turn(TUNNEL, bit(SCENE_TUNNEL));
    turn(SCROLLER, [] { return scrollerOn == 1; });
    if (turn(OBJECT, bit(SCENE_OBJECT))) {
        float drawn = pulse.load(std::memory_order_relaxed);
        frame.innerScale = 0.8f + drawn;
        PulseStep(drawn);
    }
    turn(PANELS, bit(SCENE_PANELS));
    if (turn(TITLE, bit(SCENE_TITLE))) {
        frame.titleWord = titlePhase != 0 ? 2 : 1;
        frame.resumed = titlePhase != 0;
        TitleStep();
        frame.fadeAlpha = fadeAlpha;
    }
    if (turn(WIPE, bit(SCENE_WIPE))) {
        frame.titleWord = titlePhase != 0 ? 2 : 1;
        WipeStep();
    }
    turn(SLIDE, bit(SCENE_SLIDE));
    frame.maskAfter = sceneMask.load(std::memory_order_relaxed);
    return frame;
}

// frames[n] is frame n, counting the loop's first frame as 1.
std::vector<Frame> RunFrames(int count) {
    std::vector<Frame> frames(1);
    for (int n = 1; n <= count; n++)
        frames.push_back(RunFrame());
    return frames;
}

class Timeline : public testing::Test {
  protected:
    void SetUp() override {
        RuntimeStart();
        FakePlayerReset();
        InitSceneVariables();
    }
    void TearDown() override {
        CloseLibrarySlot(SOUND_SLOT);
    }
    // Into the panels state, as after the opening.
    void SkipOpening() {
        RunFrames(185);
        ASSERT_EQ(sceneMask.load(), SCENE_PANELS);
    }
};

TEST_F(Timeline, InitialValues) {
    sceneDepth = scrollPos = tunnelAdvance = tunnelRoll = spinAngle = 9.0f;
    panelOffsetA = panelOffsetB = panelOffsetC = slidePhase = shininess = fadeAlpha = 9.0f;
    pulse = 9.0f;
    scrollerOn = titlePhase = 9;
    InitSceneVariables();
    EXPECT_EQ(sceneMask.load(), SCENE_TITLE);
    EXPECT_EQ(wipeCountdown, 50);
    EXPECT_EQ(sceneDepth, -2.0f);
    EXPECT_EQ(panelOffsetA, 4.0f);
    EXPECT_EQ(panelOffsetB, 6.0f);
    EXPECT_EQ(panelOffsetC, 8.5f);
    EXPECT_EQ(scrollPos, -6.0f);
    EXPECT_EQ(slidePhase, -6.0f);
    EXPECT_EQ(shininess, 127.0f);
    for (float zero : {tunnelAdvance, tunnelRoll, spinAngle, fadeAlpha, pulse.load()})
        EXPECT_EQ(zero, 0.0f);
    EXPECT_EQ(scrollerOn, 0);
    EXPECT_EQ(titlePhase, 0);
}

TEST_F(Timeline, TheOpeningFrameByFrame) {
    std::vector<Frame> frames = RunFrames(186);
    int resumes = 0, wipes = 0;
    for (int n = 1; n <= 186; n++) {
        const Frame &frame = frames[n];
        SCOPED_TRACE("frame " + std::to_string(n));
        resumes += frame.resumed ? 1 : 0;
        wipes += frame.drawn[WIPE] ? 1 : 0;
        if (n <= 34) {
            // The first word fades in, drawn after each addition.
            EXPECT_EQ(frame.Blocks(), "title");
            EXPECT_EQ(frame.titleWord, 1);
            EXPECT_NEAR(frame.fadeAlpha, 0.03 * n, 1e-5);
            EXPECT_EQ(frame.maskAfter, SCENE_TITLE);
        } else if (n == 35) {
            // Full strength; the wipe test of the same frame sees the new mask.
            EXPECT_EQ(frame.Blocks(), "title+wipe");
            EXPECT_EQ(frame.titleWord, 2); // the wipe, after titlePhase went to 100
            EXPECT_EQ(frame.fadeAlpha, 0x1.051ebp+0f);
            EXPECT_EQ(frame.maskAfter, SCENE_WIPE);
        } else if (n <= 85) {
            // The wipe; its last frame turns the mask back, for the next frame.
            EXPECT_EQ(frame.Blocks(), "wipe");
            EXPECT_EQ(frame.maskAfter, n == 85 ? SCENE_TITLE : SCENE_WIPE);
        } else if (n <= 185) {
            // The second word at full strength, resuming the music each time.
            EXPECT_EQ(frame.Blocks(), "title");
            EXPECT_EQ(frame.titleWord, 2);
            EXPECT_TRUE(frame.resumed);
            EXPECT_EQ(frame.fadeAlpha, 0x1.051ebp+0f);
            EXPECT_EQ(frame.maskAfter, n == 185 ? SCENE_PANELS : SCENE_TITLE);
        } else {
            EXPECT_EQ(frame.Blocks(), "scroller+panels");
        }
    }
    EXPECT_LT(frames[33].fadeAlpha, 1.0f);
    EXPECT_EQ(frames[34].fadeAlpha, 0x1.051ebp+0f);
    EXPECT_EQ(resumes, 100);
    EXPECT_EQ(wipes, 51);
    EXPECT_EQ(wipeCountdown, -1);
    EXPECT_EQ(titlePhase, 1);
    EXPECT_EQ(scrollerOn, 1);
}

TEST_F(Timeline, CountersThroughTheOpening) {
    std::vector<int> countdown(186), phase(186);
    for (int n = 1; n <= 185; n++) {
        RunFrame();
        countdown[n] = wipeCountdown;
        phase[n] = titlePhase;
    }
    EXPECT_EQ(phase[34], 0);
    EXPECT_EQ(phase[35], 100);
    EXPECT_EQ(countdown[35], 49);
    EXPECT_EQ(countdown[36], 48);
    EXPECT_EQ(countdown[84], 0);
    EXPECT_EQ(countdown[85], -1);
    EXPECT_EQ(phase[85], 100);
    EXPECT_EQ(phase[86], 99);
    EXPECT_EQ(phase[184], 1);
    EXPECT_EQ(phase[185], 1);
    EXPECT_EQ(countdown[185], -1);
}

TEST_F(Timeline, TheOpeningIsNotRepeated) {
    RunFrames(1000);
    EXPECT_EQ(sceneMask.load(), SCENE_PANELS);
    EXPECT_EQ(wipeCountdown, -1);
    EXPECT_EQ(titlePhase, 1);
}

TEST_F(Timeline, TheSyncsMoveTheScenes) {
    SkipOpening();
    ASSERT_EQ(Init(SOUND_SLOT, FakePlayerPath('a'), -1, 44100, 0), 1);
    FakePlayerReset();
    const int8_t phase = titlePhase;
    const int32_t countdown = wipeCountdown;
    const float alpha = fadeAlpha;

    OnMusicSync(11, 0, 1);
    EXPECT_EQ(RunFrame().Blocks(), "scroller+slide");
    OnMusicSync(12, 0, 2);
    EXPECT_EQ(RunFrame().Blocks(), "scroller+object");
    EXPECT_THAT(FakePlayerCallTexts(), testing::IsEmpty());
    OnMusicSync(13, 99, 3);
    EXPECT_EQ(RunFrame().Blocks(), "tunnel+scroller+object");
    // The position sync that fired is removed, then instrument 2 joins the beat.
    char sync[32];
    std::snprintf(sync, sizeof sync, "%p", reinterpret_cast<void *>(&OnMusicSync));
    EXPECT_THAT(FakePlayerCallTexts(),
                ElementsAre("BASSMOD_MusicRemoveSync(13)",
                            std::string("BASSMOD_MusicSetSync(1,4294901762,") + sync + ",4)"));
    OnMusicSync(14, 0, 4);
    EXPECT_EQ(pulse.load(), 0.3f);
    EXPECT_EQ(sceneMask.load(), SCENE_OBJECT | SCENE_TUNNEL);
    // Other user values change nothing.
    pulse = 0.0f;
    for (uint32_t user : {0u, 5u, 0xFFFFFFFFu})
        OnMusicSync(15, 0, user);
    EXPECT_EQ(sceneMask.load(), SCENE_OBJECT | SCENE_TUNNEL);
    EXPECT_EQ(pulse.load(), 0.0f);
    EXPECT_EQ(FakePlayerCalls().size(), 2u);
    // The syncs leave the opening's variables alone.
    EXPECT_EQ(scrollerOn, 1);
    EXPECT_EQ(titlePhase, phase);
    EXPECT_EQ(wipeCountdown, countdown);
    EXPECT_EQ(fadeAlpha, alpha);
}

TEST_F(Timeline, ThePulseFallsInSevenStepsAndRestsJustBelowZero) {
    SkipOpening();
    OnMusicSync(0, 0, 2);
    // Before the first beat the pulse stays at 0, however often it is drawn.
    EXPECT_EQ(RunFrame().innerScale, 0.8f);
    EXPECT_EQ(RunFrame().innerScale, 0.8f);
    EXPECT_EQ(pulse.load(), 0.0f);
    // A beat while the object is not drawn waits for it.
    OnMusicSync(0, 0, 1);
    OnMusicSync(0, 0, 4);
    RunFrames(5);
    EXPECT_EQ(pulse.load(), 0.3f);
    OnMusicSync(0, 0, 2);
    const float expected[] = {0x1.333334p-2f, 0x1p-2f,        0x1.99999ap-3f, 0x1.333334p-3f,
                              0x1.99999cp-4f, 0x1.9999a0p-5f, 0x1p-26f,       -0x1.99999p-5f};
    for (int step = 0; step < 7; step++) {
        SCOPED_TRACE("step " + std::to_string(step));
        Frame frame = RunFrame();
        EXPECT_EQ(frame.innerScale, 0.8f + expected[step]);
        EXPECT_EQ(pulse.load(), expected[step + 1]);
    }
    EXPECT_NEAR(RunFrame().innerScale, 1.1f - 7 * 0.05f, 1e-6);
    RunFrames(20);
    EXPECT_EQ(pulse.load(), -0x1.99999p-5f);
    // A new beat starts from the top again.
    OnMusicSync(0, 0, 4);
    EXPECT_EQ(RunFrame().innerScale, 0.8f + 0.3f);
}

TEST_F(Timeline, ASyncLandingMidFrameChangesOnlyTheLaterTests) {
    SkipOpening();
    OnMusicSync(0, 0, 2);
    // After the object block: the tunnel's test has passed for this frame.
    Frame frame = RunFrame([](Block before) {
        if (before == PANELS)
            OnMusicSync(0, 0, 3);
    });
    EXPECT_EQ(frame.Blocks(), "scroller+object");
    EXPECT_EQ(RunFrame().Blocks(), "tunnel+scroller+object");
}

TEST_F(Timeline, AnEarlySyncStopsTheOpeningDuringTheSecondWord) {
    RunFrames(149);
    const int8_t phase = titlePhase;
    // Before the title's test: no title, but the slide of the same frame.
    Frame frame = RunFrame([](Block before) {
        if (before == TITLE)
            OnMusicSync(0, 0, 1);
    });
    EXPECT_EQ(frame.Blocks(), "slide");
    RunFrames(300);
    EXPECT_EQ(sceneMask.load(), SCENE_SLIDE);
    EXPECT_EQ(scrollerOn, 0);
    EXPECT_EQ(titlePhase, phase);
}

TEST_F(Timeline, TheLaterStoreOfTheMaskStands) {
    RunFrames(34);
    // TitleStep of frame 35 stores the wipe; a sync right after it wins.
    Frame frame = RunFrame([](Block before) {
        if (before == WIPE)
            OnMusicSync(0, 0, 1);
    });
    EXPECT_EQ(frame.Blocks(), "title+slide");
    EXPECT_EQ(RunFrames(60).back().Blocks(), "slide");
}

// For the thread sanitizer: the player's thread stores while frames run.
TEST_F(Timeline, SyncsFromAnotherThreadWhileFramesRun) {
    SkipOpening();
    std::thread player([] {
        for (int beat = 0; beat < 20000; beat++)
            OnMusicSync(0, 0, beat % 50 == 0 ? 2 : 4);
    });
    for (int n = 0; n < 2000; n++) {
        Frame frame = RunFrame();
        EXPECT_TRUE(frame.innerScale == 0.0f ||
                    (frame.innerScale > 0.7f && frame.innerScale < 1.11f));
    }
    player.join();
    EXPECT_EQ(sceneMask.load(), SCENE_OBJECT);
}

} // namespace
