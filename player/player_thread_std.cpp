// The player's thread where the platform has threads: std::thread, woken
// through a condition variable on playerLock.
#include "player/player_thread.h"

#include <condition_variable>
#include <new>
#include <thread>

namespace {
bool playerRunning = false;
PlayerPass runningPass = nullptr;
// Never destroyed, so that an exit() while the player plays (a library's
// own, Xlib's when the display goes) cannot end in std::terminate for a
// joinable thread, nor a thread still waiting at exit (a forked box helper,
// a run ended by the loss of the display) hang in a destructor. They live in
// static storage, not on the heap, so unloading the library leaks nothing.
alignas(std::thread) unsigned char playerThreadStorage[sizeof(std::thread)];
std::thread &playerThread = *new (playerThreadStorage) std::thread;
alignas(std::condition_variable) unsigned char playerWakeStorage[sizeof(std::condition_variable)];
std::condition_variable &playerWake = *new (playerWakeStorage) std::condition_variable;

void PlayerThreadMain() {
    std::unique_lock lock(playerLock);
    while (playerRunning)
        playerWake.wait_until(lock, runningPass(lock));
}
} // namespace

void StartPlayerThread(PlayerPass pass) {
    runningPass = pass;
    playerRunning = true;
    playerThread = std::thread(PlayerThreadMain);
}

void WakePlayerThread() {
    playerWake.notify_all();
}

void StopPlayerThread() {
    {
        std::lock_guard lock(playerLock);
        playerRunning = false;
    }
    playerWake.notify_all();
    if (playerThread.joinable())
        playerThread.join();
}

bool OnPlayerThread() {
    return playerThread.get_id() == std::this_thread::get_id();
}
