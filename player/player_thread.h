// The player's thread: runs the player's pass (output.cpp) again and again,
// each time waiting until the pass says it is next due or until it is woken.
// Files a new platform adds: player/player_thread_<platform>.cpp
// (player_thread_std.cpp where there are threads; player_thread_web.cpp runs
// the passes from the page's timers on the main thread).
#pragma once

#include "player/player_internal.h"

// One pass, run with playerLock held through lock (which it may let go of
// meanwhile); returns when the next pass is due.
using PlayerPass = PlayerClock::time_point (*)(std::unique_lock<std::mutex> &lock);

// Starts running pass.
void StartPlayerThread(PlayerPass pass);
// The next pass is due now.
void WakePlayerThread();
// No pass is running or will run when this returns. Called without playerLock.
void StopPlayerThread();
// True while the calling code runs on the player's thread (inside a pass).
bool OnPlayerThread();
