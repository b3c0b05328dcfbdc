// The presentation run offline, frame by frame: started on the virtual clock
// with the player rendering on request, and each frame's sound rendered after
// its picture. The capture tool runs it, and so does the page's frame test.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Starts the presentation offscreen at width x height, the virtual clock's
// first reading being seed (start-up seeds the random numbers from it).
// False, with the reason, when the player library could not be loaded.
bool StartOffline(uint32_t seed, int width, int height, std::string &error);
// Renders the sound of frame number frame into sound (stereo 16-bit), which
// also delivers the syncs whose ticks start inside it.
bool RenderFrameSound(int64_t frame, std::vector<int16_t> &sound, std::string &error);
