// The scene timeline as the frame loop runs it: RunEffectBlocks frame after
// frame, the blocks of each frame told apart by the calls they make.
#include <algorithm>
#include <map>
#include <sstream>

#include "driver/demo.h"
#include "effects_fixture.h"

namespace {

// The blocks of one frame in drawing order, each known by a call of its own.
std::string RunBlocks(std::string *music = nullptr) {
    std::vector<RecordedCall> calls = Recorded(RunEffectBlocks);
    if (music != nullptr)
        *music = Trace(calls, "MusicPlay");
    const std::map<std::string, std::string> marks = {
        {"BindTexture(ring)", "tunnel"},  {"BindTexture(font)", "scroller"},
        {"CallList(shape)", "object"},    {"BindTexture(panel)", "panels"},
        {"TitleStep", "title"},           {"WipeStep", "wipe"},
        {"BindTexture(picture)", "slide"}};
    std::istringstream trace(Trace(calls, "BindTexture CallList TitleStep WipeStep"));
    std::string blocks, last;
    for (std::string call; trace >> call;)
        if (marks.count(call) != 0 && marks.at(call) != last)
            blocks += (blocks.empty() ? "" : "+") + (last = marks.at(call));
    return blocks;
}

class Timeline : public EffectsTest {
  protected:
    void SkipOpening() {
        for (int n = 0; n < 185; n++)
            RunEffectBlocks();
        ASSERT_EQ(sceneMask.load(), SCENE_PANELS);
    }
};

// From frame `from` on (the loop's first frame is 1): these blocks, this mask
// at the frame's end, the music resumed or not, until the next row.
const struct OpeningStep {
    int from;
    const char *blocks;
    int32_t maskAfter;
    const char *music; // the player's calls in the frame
} OPENING[] = {{1, "title", SCENE_TITLE, ""},
               {35, "title+wipe", SCENE_WIPE, ""},
               {36, "wipe", SCENE_WIPE, ""},
               {85, "wipe", SCENE_TITLE, ""},
               {86, "title", SCENE_TITLE, "MusicPlay"},
               {185, "title", SCENE_PANELS, "MusicPlay"},
               {186, "scroller+panels", SCENE_PANELS, ""}};

TEST_F(Timeline, TheOpeningFrameByFrame) {
    for (int n = 1, step = 0; n <= 400; n++) {
        if (step + 1 < int(std::size(OPENING)) && OPENING[step + 1].from == n)
            step++;
        SCOPED_TRACE("frame " + std::to_string(n));
        std::string music;
        ASSERT_EQ(RunBlocks(&music), OPENING[step].blocks);
        ASSERT_EQ(sceneMask.load(), OPENING[step].maskAfter);
        ASSERT_EQ(music, OPENING[step].music);
        // The first word fades in, drawn after each addition; the second is
        // held 100 frames, the wipe lasts 51.
        ASSERT_NEAR(fadeAlpha, std::min(0.03 * n, 1.0199995), 1e-5);
        ASSERT_EQ(titlePhase, n < 35 ? 0 : std::max(1, 100 - std::max(0, n - 85)));
        ASSERT_EQ(wipeCountdown, n < 35 ? 50 : std::max(-1, 84 - n));
    }
}

// After the opening the syncs alone move the scenes; the third also removes
// itself and adds the beat of instrument 2 (any note, 0xFFFF0002).
TEST_F(Timeline, TheSyncsMoveTheScenes) {
    SkipOpening();
    const struct {
        uint32_t user;
        const char *blocks, *calls;
    } syncs[] = {{1, "scroller+slide", ""},
                 {2, "scroller+object", ""},
                 {3, "tunnel+scroller+object",
                  "MusicRemoveSync(13) MusicSetSync(1,4294901762,OnMusicSync,4)"},
                 {0, "tunnel+scroller+object", ""},
                 {0xFFFFFFFF, "tunnel+scroller+object", ""}};
    for (const auto &sync : syncs) {
        EXPECT_EQ(Trace(Recorded([&] { OnMusicSync(13, 0, sync.user); })), sync.calls)
            << "user " << sync.user;
        EXPECT_EQ(RunBlocks(), sync.blocks) << "user " << sync.user;
    }
    EXPECT_EQ(pulse.load(), 0.0f);
}

// The opening, the shape's list and the tunnel with the object reach every
// call the recorder hears: a wrap that no longer applies, or a player call
// that the binding no longer makes by that name, fails here instead of
// leaving the other tests blind to it.
TEST_F(Timeline, ReachesEveryEntryPointThatTheRecorderHears) {
    std::vector<RecordedCall> calls = Recorded([this] {
        CompileShapeList();
        SkipOpening();
        OnMusicSync(0, 0, 3);
        RunEffectBlocks();
    });
    for (const std::string &name : RecordedEntryPoints())
        EXPECT_GT(CountCalls(calls, name), 0) << name;
}

float InnerScale() {
    std::vector<RecordedCall> calls = Recorded(RunEffectBlocks);
    size_t step = FindCall(calls, "PulseStep"); // right after the scale
    return step < calls.size() ? float(calls[step - 1].args[0]) : 0.0f;
}

// 0.8 before the first beat; from a beat 1.1 and seven steps down, then at
// rest just below 0.8 - 0.05. A beat waits for the object's next frame.
TEST_F(Timeline, ThePulseFallsInSevenStepsAndRestsJustBelowZero) {
    SkipOpening();
    OnMusicSync(0, 0, 2);
    EXPECT_EQ(InnerScale(), 0.8f);
    OnMusicSync(0, 0, 1);
    OnMusicSync(0, 0, 4);
    InnerScale();
    OnMusicSync(0, 0, 2);
    const float pulses[] = {0x1.333334p-2f, 0x1p-2f,        0x1.99999ap-3f,
                            0x1.333334p-3f, 0x1.99999cp-4f, 0x1.9999a0p-5f,
                            0x1p-26f,       -0x1.99999p-5f, -0x1.99999p-5f};
    for (float expected : pulses)
        EXPECT_EQ(InnerScale(), 0.8f + expected);
}

} // namespace
