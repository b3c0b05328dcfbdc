// The player's "thread" on the web, which has no threads without the
// cross-origin isolation that a page opened from disk cannot have: each pass
// runs on the main thread from a page timer set for when the pass said it is
// next due. The sync procedures therefore run on the main thread too, between
// frames, never inside one.
#include "player/player_thread.h"

#include <emscripten/eventloop.h>

namespace {
PlayerPass runningPass = nullptr;
long pendingTimer = 0;
bool inPass = false;

void RunPass(void *);

void ScheduleIn(double ms) {
    if (pendingTimer != 0)
        emscripten_clear_timeout(pendingTimer);
    pendingTimer = emscripten_set_timeout(RunPass, ms > 0 ? ms : 0, nullptr);
}

void RunPass(void *) {
    pendingTimer = 0;
    if (runningPass == nullptr)
        return;
    PlayerClock::time_point wake;
    {
        std::unique_lock lock(playerLock);
        inPass = true;
        wake = runningPass(lock);
        inPass = false;
    }
    if (runningPass != nullptr)
        ScheduleIn(std::chrono::duration<double, std::milli>(wake - PlayerClock::now()).count());
}
} // namespace

void StartPlayerThread(PlayerPass pass) {
    runningPass = pass;
    ScheduleIn(0);
}

// Called with playerLock held (the music starting): the pass comes next, from
// the timer, not from inside the caller.
void WakePlayerThread() {
    if (runningPass != nullptr)
        ScheduleIn(0);
}

void StopPlayerThread() {
    runningPass = nullptr;
    if (pendingTimer != 0)
        emscripten_clear_timeout(pendingTimer);
    pendingTimer = 0;
}

bool OnPlayerThread() {
    return inPass;
}
