// When the X server goes away (a crash, the end of the session), Xlib ends
// the process from inside whichever call noticed it, through exit(): the
// sound library's files would stay behind and exit handlers of other threads
// could hang. The demo ends in order instead: the runtime end runs (player
// freed, its files removed) without touching the dead display, and the
// process leaves with a failure status.
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
#include "runtime/runtime.h"

namespace {
std::atomic<bool> displayLost{false};

[[noreturn]] int OnDisplayLost(void *) {
    if (!displayLost.exchange(true)) {
        std::fputs("brumlakor: lost the connection to the display\n", stderr);
        RuntimeEnd();
    }
    _exit(1);
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
    using IoErrorHandler = int (*)(void *);
    using SetIoErrorHandler = IoErrorHandler (*)(IoErrorHandler);
    // Loaded here, before SDL opens its connection, so that the handler is in
    // place from the first moment the server can go away. The reference is
    // kept: the handler lives in libX11 and must not be unloaded with it.
    FindServerSocket();
    SetCrashVerdict(CrashWasLostDisplay);
    static void *x11 = dlopen("libX11.so.6", RTLD_NOW);
    if (x11 == nullptr)
        return;
    auto setHandler = reinterpret_cast<SetIoErrorHandler>(dlsym(x11, "XSetIOErrorHandler"));
    if (setHandler != nullptr)
        setHandler(OnDisplayLost);
}

bool DisplayLost() {
    return displayLost.load(std::memory_order_relaxed);
}
