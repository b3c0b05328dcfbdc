// When the X server goes away (a crash, the end of the session), Xlib ends
// the process from inside whichever call noticed it, through exit(); so does
// its default handler of a refused request (a window destroyed by another
// client, a GL context the server cannot make). The sound library's files
// would stay behind, and exit handlers of other threads could hang or abort.
// The demo ends in order instead: the runtime end runs (player freed, its
// files removed) without touching the display, and the process leaves with a
// failure status.
#include <X11/Xlib.h>
#include <atomic>
#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include "display/lost_display.h"
#include "runtime/internal.h"
#include "runtime/runtime.h"

namespace {
std::atomic<bool> displayLost{false};
// The process that watches: a forked child (a message box's) inherits the
// handlers, but the run and its files are not its to end.
pid_t watcher = 0;

[[noreturn]] void EndRun(const char *line) {
    if (getpid() == watcher && !displayLost.exchange(true)) {
        std::fputs(line, stderr);
        RuntimeEnd();
    }
    _exit(1);
}

[[noreturn]] int OnDisplayLost(Display *) {
    EndRun("brumlakor: lost the connection to the display\n");
}

using ErrorText = int (*)(Display *, int, char *, int);
ErrorText errorText = nullptr;

char refusal[160]; // the first refused request, while a box was up

// Called by Xlib after SDL's own handler has put the display mode back. While
// a box of the main thread is up (the GL driver loads meanwhile), the run
// cannot end under it: the close request takes the box down, and the set-up
// then ends the run with the refusal as its reason; later errors of the
// broken connection add nothing.
int OnRequestRefused(Display *display, XErrorEvent *error) {
    if (refusal[0] != '\0')
        return 0;
    char text[100] = "";
    if (errorText != nullptr)
        errorText(display, error->error_code, text, sizeof text);
    std::snprintf(refusal, sizeof refusal, "the display refused a request: %s (request %d)", text,
                  error->request_code);
    if (getpid() == watcher && DialogOpen()) {
        RaiseCloseRequest();
        return 0;
    }
    char line[sizeof refusal + 16];
    std::snprintf(line, sizeof line, "brumlakor: %s\n", refusal);
    EndRun(line);
}

// The local server's socket, worked out before any crash can happen: a
// display ":N" (or "unix:N") listens on /tmp/.X11-unix/XN, and on Linux also
// under that name in the abstract namespace. Empty for a remote display.
char serverSocket[sizeof(sockaddr_un::sun_path)];

void FindServerSocket() {
    const char *display = std::getenv("DISPLAY");
    if (display == nullptr)
        return;
    if (std::strncmp(display, "unix:", 5) == 0)
        display += 4;
    if (display[0] != ':')
        return;
    char *end = nullptr;
    long number = std::strtol(display + 1, &end, 10);
    if (end == display + 1 || number < 0 || (*end != '\0' && *end != '.'))
        return;
    std::snprintf(serverSocket, sizeof serverSocket, "/tmp/.X11-unix/X%ld", number);
}

bool ServerAnswers(bool abstract) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    size_t length = std::strlen(serverSocket);
    std::memcpy(address.sun_path + (abstract ? 1 : 0), serverSocket, length);
    int probe = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (probe < 0)
        return true; // cannot tell: assume it is there
    socklen_t size =
        static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + length + (abstract ? 1 : 0));
    bool answers = connect(probe, reinterpret_cast<sockaddr *>(&address), size) == 0 ||
                   (errno != ECONNREFUSED && errno != ENOENT);
    close(probe);
    return answers;
}

// A driver library (Mesa's GLX while it loads, for one) can fault instead of
// reporting an error when the server goes away under it. Such a crash is the
// lost display, and ends like it: one line and status 1. Runs inside the
// fatal-signal handler, so only async-signal-safe calls.
bool CrashWasLostDisplay() {
    if (displayLost.load(std::memory_order_relaxed))
        return true; // already said so, on the way out
    if (serverSocket[0] == '\0' || ServerAnswers(true) || ServerAnswers(false))
        return false;
    displayLost.store(true, std::memory_order_relaxed);
    static const char LINE[] = "brumlakor: lost the connection to the display\n";
    ssize_t ignored = write(STDERR_FILENO, LINE, sizeof LINE - 1);
    (void)ignored;
    return true;
}
} // namespace

void WatchForLostDisplay() {
    // Loaded here, before SDL opens its connection, so that the handlers are
    // in place from the first moment the server can go away. The reference is
    // kept: the handlers live in libX11 and must not be unloaded with it.
    FindServerSocket();
    SetCrashVerdict(CrashWasLostDisplay);
    watcher = getpid();
    static void *x11 = dlopen("libX11.so.6", RTLD_NOW);
    if (x11 == nullptr)
        return;
    auto setIoHandler =
        reinterpret_cast<XIOErrorHandler (*)(XIOErrorHandler)>(dlsym(x11, "XSetIOErrorHandler"));
    if (setIoHandler != nullptr)
        setIoHandler(OnDisplayLost);
    // Once only, before SDL connects: SDL's own handler, which restores the
    // display mode, then hands every error it does not expect on to this one.
    auto setErrorHandler =
        reinterpret_cast<XErrorHandler (*)(XErrorHandler)>(dlsym(x11, "XSetErrorHandler"));
    errorText = reinterpret_cast<ErrorText>(dlsym(x11, "XGetErrorText"));
    static bool errorsWatched = false;
    if (setErrorHandler != nullptr && !errorsWatched)
        setErrorHandler(OnRequestRefused);
    errorsWatched = true;
}

const char *DisplayRefusal() {
    return refusal;
}

bool DisplayLost() {
    return displayLost.load(std::memory_order_relaxed);
}
