// The event poll: one event per call, Escape only as the Escape key, unused
// events kept out of the queue, close command, close request, dialogs.
#include <GL/gl.h>
#include <SDL.h>
#include <atomic>
#include <cstdlib>
#include <gtest/gtest.h>
#include <thread>
#include <vector>

#include "display/display.h"
#include "runtime/internal.h"
#include "runtime/runtime.h"
#include "tests/support/headless.h"

namespace {
class EventPoll : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(StartHeadlessDisplay(640, 480));
        SDL_PumpEvents();
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    }
    // The close request, the hook and the dialog count are process-wide.
    void TearDown() override {
        ClearCloseRequest();
        SetMessageHook(ViewportOnResize);
        while (DialogOpen())
            NoteDialogClosed();
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    }
};

void PushKey(SDL_Keycode key) {
    SDL_Event event{};
    event.type = SDL_KEYDOWN;
    event.key.keysym.sym = key;
    event.key.state = SDL_PRESSED;
    ASSERT_EQ(SDL_PushEvent(&event), 1);
}

// A mouse move with left, right and middle button and Ctrl held: the value 27
// on a message that is not a key.
void PushMouseMoveCarrying27() {
    SDL_Event event{};
    event.type = SDL_MOUSEMOTION;
    event.motion.state = 27;
    event.motion.x = 27;
    event.motion.xrel = 27;
    SDL_PushEvent(&event);
}

void PushWindowEvent(SDL_WindowEventID id) {
    SDL_Event event{};
    event.type = SDL_WINDOWEVENT;
    event.window.event = id;
    ASSERT_EQ(SDL_PushEvent(&event), 1);
}

TEST_F(EventPoll, EmptyQueueGivesZeroAndKeepsTheLastParameter) {
    PushKey(SDLK_ESCAPE);
    EXPECT_EQ(PollEvent(), EVENT_KEY_DOWN);
    EXPECT_EQ(LastMessageParam(), KEY_ESCAPE);
    EXPECT_EQ(PollEvent(), 0u);
    EXPECT_EQ(LastMessageParam(), KEY_ESCAPE);
}

TEST_F(EventPoll, TakesOneEventPerCall) {
    PushKey(SDLK_a);
    PushKey(SDLK_ESCAPE);
    EXPECT_EQ(PollEvent(), EVENT_KEY_DOWN);
    EXPECT_EQ(LastMessageParam(), static_cast<uintptr_t>('A'));
    EXPECT_EQ(PollEvent(), EVENT_KEY_DOWN);
    EXPECT_EQ(LastMessageParam(), KEY_ESCAPE);
    EXPECT_EQ(PollEvent(), 0u);
}

TEST_F(EventPoll, OnlyTheEscapeKeyCarries27) {
    for (SDL_Keycode key : {SDLK_LEFTBRACKET, SDLK_F11, SDLK_KP_ENTER, SDLK_LCTRL}) {
        PushKey(key);
        EXPECT_EQ(PollEvent(), EVENT_KEY_DOWN);
        EXPECT_NE(LastMessageParam(), KEY_ESCAPE) << "key " << key;
    }
    PushMouseMoveCarrying27();
    EXPECT_EQ(PollEvent(), 0u); // not even queued
    EXPECT_NE(LastMessageParam(), KEY_ESCAPE);
}

// However many mouse moves arrive, Escape is the next event taken.
TEST_F(EventPoll, MouseMovesDoNotHoldBackEscape) {
    for (int i = 0; i < 5000; i++)
        PushMouseMoveCarrying27();
    SDL_Event wheel{};
    wheel.type = SDL_MOUSEWHEEL;
    SDL_PushEvent(&wheel);
    SDL_Event release{};
    release.type = SDL_KEYUP;
    SDL_PushEvent(&release);
    PushKey(SDLK_ESCAPE);
    // Kept out of the queue, not only skipped by the poll: a queue that
    // fills up drops whatever comes next, Escape included.
    EXPECT_EQ(SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT), 1);
    EXPECT_EQ(PollEvent(), EVENT_KEY_DOWN);
    EXPECT_EQ(LastMessageParam(), KEY_ESCAPE);
}

TEST_F(EventPoll, CloseCommandAndQuitBecomeTheCloseEvent) {
    PushWindowEvent(SDL_WINDOWEVENT_CLOSE);
    EXPECT_EQ(PollEvent(), EVENT_CLOSE);
    EXPECT_EQ(LastMessageParam(), 0u);
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    SDL_PushEvent(&quit);
    EXPECT_EQ(PollEvent(), EVENT_CLOSE);
    EXPECT_NE(MainWindowHandle(0), nullptr); // the close leaves the window standing
}

TEST_F(EventPoll, SizeChangesReachTheViewportHook) {
    glViewport(0, 0, 1, 1);
    PushWindowEvent(SDL_WINDOWEVENT_MINIMIZED);
    EXPECT_EQ(PollEvent(), 0x0005u);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 640);
    EXPECT_EQ(viewport[3], 480);
    glViewport(0, 0, 1, 1);
    PushWindowEvent(SDL_WINDOWEVENT_RESTORED);
    EXPECT_EQ(PollEvent(), 0x0005u);
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 640);
}

// What the frame loop's poll gives for Escape (event, parameter) and then the
// close command, taken while a real dialog is held up by its meanwhile hook.
std::vector<uintptr_t> polledWhileBoxUp;
std::atomic<bool> boxUp{false}, pollsDone{false};

void PollEscapeAndClose() {
    PushKey(SDLK_ESCAPE);
    PushWindowEvent(SDL_WINDOWEVENT_CLOSE);
    uint32_t key = PollEvent();
    polledWhileBoxUp = {key, LastMessageParam(), PollEvent()};
}

void HoldUntilPolled() {
    boxUp = true;
    while (!pollsDone)
        SDL_Delay(1);
}

// A box disables the windows of its own thread only. The main thread's box
// leaves the demo's window deaf to keys (the close command still passes); a
// box of the player's thread leaves it answering Escape and the close.
TEST_F(EventPoll, ABoxDisablesOnlyTheWindowOfItsOwnThread) {
    // No display for the boxes themselves: each answers at once when let go.
    const char *display = std::getenv("DISPLAY");
    bool hadDisplay = display != nullptr;
    std::string savedDisplay = hadDisplay ? display : "";
    unsetenv("DISPLAY");
    polledWhileBoxUp.clear();
    MessageDialogMeanwhile("Brumlakor", "Fullscreen", DIALOG_FLAGS_YES_NO, PollEscapeAndClose);
    EXPECT_EQ(polledWhileBoxUp, (std::vector<uintptr_t>{EVENT_CLOSE, 0, 0}));

    boxUp = pollsDone = false;
    std::thread player([] {
        MessageDialogMeanwhile("Error", "Error Description:", DIALOG_FLAGS_ERROR, HoldUntilPolled);
    });
    while (!boxUp)
        SDL_Delay(1);
    PollEscapeAndClose();
    pollsDone = true;
    player.join();
    EXPECT_EQ(polledWhileBoxUp, (std::vector<uintptr_t>{EVENT_KEY_DOWN, KEY_ESCAPE, EVENT_CLOSE}));
    EXPECT_FALSE(DialogOpen());
    if (hadDisplay)
        setenv("DISPLAY", savedDisplay.c_str(), 1);
}

TEST_F(EventPoll, CloseRequestIsReportedAsTheCloseEvent) {
    PushKey(SDLK_a);
    RequestClose();
    EXPECT_EQ(PollEvent(), EVENT_CLOSE);
    EXPECT_EQ(PollEvent(), EVENT_CLOSE);
}

intptr_t SwallowKeys(void *, uint32_t message, uintptr_t, intptr_t) {
    return message == EVENT_KEY_DOWN ? 0 : NOT_HANDLED;
}

TEST_F(EventPoll, TheHookSeesMessagesFirst) {
    SetMessageHook(SwallowKeys);
    PushKey(SDLK_ESCAPE);
    EXPECT_EQ(PollEvent(), EVENT_KEY_DOWN); // the message number, no event recorded
    EXPECT_EQ(LastMessageParam(), KEY_ESCAPE);
    PushWindowEvent(SDL_WINDOWEVENT_CLOSE);
    EXPECT_EQ(PollEvent(), EVENT_CLOSE);
}
} // namespace
