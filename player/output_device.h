// The sound device behind the player's output, one implementation per
// platform (output_sdl.cpp, output_win32.cpp, output_web.cpp). The shared part (output.cpp)
// keeps the account of what is heard when and runs the player's thread; a
// device only moves samples, pulling them through OutputFillBlock.
#pragma once

#include "player/player_internal.h"

// Opens the device (-1: the default one, n > 0: the n-th) for 16-bit stereo
// at outputFrequency; false if there is none. Leaves it paused.
bool DeviceOpen(int32_t device);
// Starts pulling music; called once the player's thread runs.
void DeviceStart();
// Stops and closes the device if one is open; no OutputFillBlock call is
// running or will come after it returns. Called without playerLock.
void DeviceClose();
// The n-th device's name (n > 0), or nullptr if there is no such device.
const char *DeviceName(int32_t device);

// For the device's thread: fills `frames` frames at `out` with music (silence
// after its end) and records that they were handed on at `now` and start to
// be heard `latency` frames later. Takes playerLock.
void OutputFillBlock(int16_t *out, uint32_t frames, PlayerClock::time_point now, uint32_t latency);

// For a device that has found it will never pull (the browser keeps its
// audio from running): closes it, and the silent clock carries the music on.
// Main thread, without playerLock.
void OutputFallBackToSilence();
