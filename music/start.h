// The music start: the module from the executable's data, the sync points that
// drive the scene timeline, and playback started and paused at once.
#pragma once

// Start-up step: load the module from memory, the four sync registrations,
// play and pause at once.
void StartMusic();
