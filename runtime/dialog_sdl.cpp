// Message dialogs on SDL's message box: the box's own process.
//
// The box runs in a child process of its own (its own process group), and
// the calling thread waits for the answer on a pipe. That keeps the dialog
// cancellable: a close request (Ctrl+C, SIGTERM, the shutdown) ends the child
// and the call returns the safe answer at once, instead of leaving the
// process stuck in a box nobody answers, or the shutdown waiting on a player
// thread that waits on a box.
#include <SDL.h>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <dlfcn.h>
#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include "runtime/internal.h"
#include "runtime/runtime.h"

namespace {
constexpr int BUTTON_TYPE_MASK = 0x0F;
constexpr int ICON_MASK = 0xF0;
constexpr int ICON_HAND = 0x10;
constexpr int NO_ANSWER = -1;
constexpr int CLOSE_CHECK_MS = 50;

struct DialogButtons {
    SDL_MessageBoxButtonData buttons[2];
    int count;
    int unanswered; // the code for a box closed without a button
};

// Return picks the first button (Yes or OK), Escape the last (No or OK).
DialogButtons ButtonsFor(int flags) {
    constexpr Uint32 RETURN = SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT;
    constexpr Uint32 ESCAPE = SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT;
    if ((flags & BUTTON_TYPE_MASK) == DIALOG_FLAGS_YES_NO)
        return {{{RETURN, DIALOG_YES, "Yes"}, {ESCAPE, DIALOG_NO, "No"}}, 2, DIALOG_NO};
    return {{{RETURN | ESCAPE, DIALOG_OK, "OK"}, {}}, 1, DIALOG_OK};
}

[[noreturn]] int LeaveAtOnce(void *) {
    _exit(1);
}

[[noreturn]] int LeaveAtOnceOnError(void *, void *) {
    _exit(1);
}

// The child is a copy of a process with other threads: exit handlers copied
// from it may wait forever on their locks. Xlib ends a process through exit()
// when its display connection breaks (X server gone) and on a protocol error
// (the box's window destroyed by another client), so the box gets handlers
// that leave at once instead: the box then reads as closed.
void LeaveAtOnceOnXErrors() {
    using IoErrorHandler = int (*)(void *);
    using ErrorHandler = int (*)(void *, void *);
    void *x11 = dlopen("libX11.so.6", RTLD_NOW | RTLD_LOCAL);
    if (x11 == nullptr)
        return; // no X11: the box is shown some other way
    auto setIoHandler =
        reinterpret_cast<IoErrorHandler (*)(IoErrorHandler)>(dlsym(x11, "XSetIOErrorHandler"));
    auto setHandler =
        reinterpret_cast<ErrorHandler (*)(ErrorHandler)>(dlsym(x11, "XSetErrorHandler"));
    if (setIoHandler != nullptr)
        setIoHandler(LeaveAtOnce);
    if (setHandler != nullptr)
        setHandler(LeaveAtOnceOnError);
}

// A process of the box dies with its parent: no orphaned box when the demo is
// killed outright. Checked after the request, in case the parent is gone.
void DieWithParent(pid_t parent) {
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != parent)
        _exit(1);
}

// The box's own helpers (SDL forks one on X11, and runs zenity or kdialog
// without X11) die with the box's process the same way.
pid_t forkingProcess = 0;
void NoteForkingProcess() {
    forkingProcess = getpid();
}
void HelperDiesWithParent() {
    DieWithParent(forkingProcess);
}

// Runs in the dialog's child, which starts with the default handling of every
// signal (signals.h): shows the box, reports the button (or NO_ANSWER)
// through the pipe.
[[noreturn]] void ShowInChild(pid_t demo, int answerPipe, const std::string &caption,
                              const std::string &text, int flags) {
    DieWithParent(demo);
    pthread_atfork(NoteForkingProcess, nullptr, HelperDiesWithParent);
    LeaveAtOnceOnXErrors();
    DialogButtons choice = ButtonsFor(flags);
    SDL_MessageBoxData box{};
    Uint32 icon = (flags & ICON_MASK) == ICON_HAND ? Uint32{SDL_MESSAGEBOX_ERROR} : 0u;
    box.flags = icon | SDL_MESSAGEBOX_BUTTONS_LEFT_TO_RIGHT;
    box.window = SDL_WasInit(SDL_INIT_VIDEO) ? SDL_GetKeyboardFocus() : nullptr;
    box.title = caption.c_str();
    box.message = text.c_str();
    box.numbuttons = choice.count;
    box.buttons = choice.buttons;
    int button = NO_ANSWER;
    if (SDL_ShowMessageBox(&box, &button) != 0) {
        // Unanswered, the caller goes on the safe way; the user learns why.
        std::fprintf(stderr,
                     "brumlakor: could not show a message box (on Wayland without X11 it takes "
                     "zenity): %s\n",
                     SDL_GetError());
        button = NO_ANSWER;
    }
    ssize_t ignored = write(answerPipe, &button, sizeof button);
    (void)ignored;
    _exit(0);
}

// The box's own helper process (SDL forks one on X11) is orphaned when the
// child is killed; as subreaper the demo inherits and reaps it, so nothing of
// the dialog outlives the call.
void ReapDialogProcesses(pid_t child) {
    while (waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
    }
    while (waitpid(-child, nullptr, 0) > 0 || errno == EINTR) {
    }
}

// Waits for the child's answer; a close request ends the child instead.
int AwaitAnswer(pid_t child, int answerPipe) {
    int button = NO_ANSWER;
    while (true) {
        if (CloseRequested()) {
            kill(-child, SIGKILL);
            kill(child, SIGKILL);
            break;
        }
        pollfd waiting{answerPipe, POLLIN, 0};
        int ready = poll(&waiting, 1, CLOSE_CHECK_MS);
        if (ready < 0 && errno != EINTR)
            break;
        if (ready > 0) {
            if (read(answerPipe, &button, sizeof button) != sizeof button)
                button = NO_ANSWER;
            break;
        }
    }
    ReapDialogProcesses(child);
    return button;
}

int RunDialog(const std::string &caption, const std::string &text, int flags,
              DialogMeanwhile meanwhile) {
    int pipeEnds[2];
    if (pipe2(pipeEnds, O_CLOEXEC) != 0)
        return NO_ANSWER;
    prctl(PR_SET_CHILD_SUBREAPER, 1);
    pid_t demo = getpid();
    pid_t child = fork();
    if (child == 0) {
        close(pipeEnds[0]);
        setpgid(0, 0); // out of the terminal's group: Ctrl+C reaches the demo only
        ShowInChild(demo, pipeEnds[1], caption, text, flags);
    }
    close(pipeEnds[1]);
    int button = NO_ANSWER;
    if (child > 0) {
        setpgid(child, child);
        if (meanwhile != nullptr)
            meanwhile();
        button = AwaitAnswer(child, pipeEnds[0]);
    }
    close(pipeEnds[0]);
    return button;
}

// Input that reached the demo's window while the main thread sat in a box
// belongs to the box's time and is dropped, not acted on afterwards.
void DropQueuedInput() {
    if (!OnMainThread() || SDL_WasInit(SDL_INIT_VIDEO) == 0)
        return;
    SDL_PumpEvents();
    SDL_FlushEvents(SDL_KEYDOWN, SDL_MOUSEWHEEL);
}
} // namespace

int MessageDialogMeanwhile(const std::string &caption, const std::string &text, int flags,
                           DialogMeanwhile meanwhile) {
    NoteDialogOpened();
    int button = CloseRequested() ? NO_ANSWER : RunDialog(caption, text, flags, meanwhile);
    DropQueuedInput();
    NoteDialogClosed();
    DialogButtons choice = ButtonsFor(flags);
    for (int i = 0; i < choice.count; i++)
        if (choice.buttons[i].buttonid == button)
            return button;
    return choice.unanswered;
}
