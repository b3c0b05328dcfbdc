// The offscreen display: context, fixed rendering state, the per-frame view
// and the viewport hook; the event poll: one event per call, Escape only as
// the Escape key, unused events kept out of the queue, close command and
// quit, the hook.
#include <GL/gl.h>
#include <array>
#include <cmath>
#include <gtest/gtest.h>
#include <vector>

#include "display/display.h"
#include "runtime/internal.h"
#include "runtime/runtime.h"
#include "sdl_events.h"
#include "tests/support/headless.h"

namespace {

// A state variable of up to four values (the viewport's), unused ones 0.
std::array<GLint, 4> Integers(GLenum name) {
    std::array<GLint, 4> values{};
    glGetIntegerv(name, values.data());
    return values;
}

TEST(HeadlessDisplay, FixedStateAndTheView) {
    ASSERT_TRUE(StartHeadlessDisplay(640, 480));
    EXPECT_GE(Integers(GL_DEPTH_BITS)[0] * 1000 + Integers(GL_GREEN_BITS)[0], 24008);
    const std::pair<GLenum, GLint> integers[] = {
        {GL_BLEND, 1},          {GL_BLEND_SRC, GL_SRC_ALPHA},
        {GL_BLEND_DST, GL_ONE}, {GL_LIGHT0, 1},
        {GL_LIGHTING, 0},       {GL_FOG, 0},
        {GL_DEPTH_TEST, 0},     {GL_UNPACK_ALIGNMENT, 1}};
    for (auto [name, value] : integers)
        EXPECT_EQ(Integers(name)[0], value) << "0x" << std::hex << name;
    EXPECT_EQ(Integers(GL_VIEWPORT), (std::array<GLint, 4>{0, 0, 640, 480}));
    // Set with the identity model-view, so stored in eye space unchanged.
    std::array<GLfloat, 4> light;
    glGetLightfv(GL_LIGHT0, GL_POSITION, light.data());
    EXPECT_EQ(light, (std::array<GLfloat, 4>{5, 5, 5, 0.5f}));

    // The view: 90 degrees, aspect 1.333 (not 4/3), near 0.1, far 1000, in the
    // model-view matrix; the projection stays the identity.
    glMatrixMode(GL_TEXTURE); // ResetView must select model-view itself
    ResetView();
    EXPECT_EQ(Integers(GL_MATRIX_MODE)[0], GL_MODELVIEW);
    GLdouble modelView[16], projection[16];
    glGetDoublev(GL_MODELVIEW_MATRIX, modelView);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    // 1 / 1.333, (far + near) / (near - far), 2 far near / (near - far).
    const double expected[16] = {0.750187547,  0, 0, 0, 0, 1, 0, 0, 0, 0, -1.00020002, -1, 0, 0,
                                 -0.200020002, 0};
    for (int i = 0; i < 16; i++) {
        EXPECT_NEAR(modelView[i], expected[i], 1e-6 * (1 + std::fabs(expected[i]))) << i;
        EXPECT_EQ(projection[i], i % 5 == 0 ? 1.0 : 0.0) << i;
    }
}

TEST(HeadlessDisplay, ViewportFollowsTheDrawableOnASizeMessage) {
    ASSERT_TRUE(StartHeadlessDisplay(640, 480));
    glViewport(0, 0, 10, 10);
    EXPECT_EQ(ViewportOnResize(MainWindowHandle(0), 0x0100, 0, 0), NOT_HANDLED);
    EXPECT_EQ(Integers(GL_VIEWPORT)[2], 10);
    EXPECT_EQ(ViewportOnResize(MainWindowHandle(0), 0x0005, 0, 0), 1);
    EXPECT_EQ(Integers(GL_VIEWPORT), (std::array<GLint, 4>{0, 0, 640, 480}));
}

class EventPoll : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(StartHeadlessDisplay(640, 480));
        SDL_PumpEvents();
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    }
    // The close request and the hook are process-wide.
    void TearDown() override {
        ClearCloseRequest();
        SetMessageHook(ViewportOnResize);
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    }
};

constexpr uintptr_t NOT_27 = ~uintptr_t{0}; // any parameter but Escape's

intptr_t SwallowKeys(void *, uint32_t message, uintptr_t, intptr_t) {
    return message == EVENT_KEY_DOWN ? 0 : NOT_HANDLED;
}

struct PollCase {
    const char *name;
    void (*before)();
    std::vector<SDL_Event> events;
    std::vector<std::pair<uint32_t, uintptr_t>> polls; // result and parameter of each
};

const PollCase POLLS[] = {
    {"a letter comes upper case, one event per call; an empty poll keeps the parameter",
     nullptr,
     {Key(SDLK_a), Key(SDLK_ESCAPE)},
     {{EVENT_KEY_DOWN, 'A'}, {EVENT_KEY_DOWN, KEY_ESCAPE}, {0, KEY_ESCAPE}}},
    {"only the Escape key carries 27; a mouse move is not even queued",
     nullptr,
     {Key(SDLK_LEFTBRACKET), Key(SDLK_F11), Key(SDLK_LCTRL), Other(SDL_MOUSEMOTION)},
     {{EVENT_KEY_DOWN, NOT_27}, {EVENT_KEY_DOWN, NOT_27}, {EVENT_KEY_DOWN, NOT_27}, {0, NOT_27}}},
    {"the close command and quit are the close event",
     nullptr,
     {Window(SDL_WINDOWEVENT_CLOSE), Other(SDL_QUIT)},
     {{EVENT_CLOSE, 0}, {EVENT_CLOSE, 0}}},
    {"the hook sees messages first",
     [] { SetMessageHook(SwallowKeys); },
     {Key(SDLK_ESCAPE), Window(SDL_WINDOWEVENT_CLOSE)},
     {{EVENT_KEY_DOWN, KEY_ESCAPE}, {EVENT_CLOSE, 0}}}};

TEST_F(EventPoll, GivesEachEventItsResultAndParameter) {
    for (const PollCase &c : POLLS) {
        SCOPED_TRACE(c.name);
        if (c.before != nullptr)
            c.before();
        for (SDL_Event event : c.events)
            SDL_PushEvent(&event);
        for (auto [result, parameter] : c.polls) {
            EXPECT_EQ(PollEvent(), result);
            if (parameter == NOT_27)
                EXPECT_NE(LastMessageParam(), KEY_ESCAPE);
            else
                EXPECT_EQ(LastMessageParam(), parameter);
        }
        TearDown();
    }
}

} // namespace
