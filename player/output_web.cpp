// The sound device in a browser: a ScriptProcessorNode of the page's
// AudioContext (audio_host_web.js, in the page, whose functions this side
// module imports). Its callback runs on the main thread, where the player's
// core renders straight into the node's buffer; an AudioWorklet would need
// the samples posted across to its own thread and a script URL of its own.
// Each block's hand-over is stamped with how long until the browser's
// output clock says it is heard, so syncs come when their sample is heard.
#include "player/output_device.h"

namespace {
// A power of two between 256 and 16384 frames, as the node requires: about
// 46 ms at 44.1 kHz, long enough not to break up on a busy main thread.
constexpr uint32_t DEVICE_BUFFER_FRAMES = 2048;
int16_t deviceBuffer[2 * DEVICE_BUFFER_FRAMES];
bool deviceOpen = false;

void FillDeviceBuffer(uint32_t frames, double framesUntilHeard) {
    if (frames > DEVICE_BUFFER_FRAMES)
        frames = DEVICE_BUFFER_FRAMES;
    uint32_t latency = framesUntilHeard > 0 ? static_cast<uint32_t>(framesUntilHeard) : 0;
    OutputFillBlock(deviceBuffer, frames, PlayerClock::now(), latency);
}
} // namespace

extern "C" {
// audio_host_web.js: opens the context and its node (false: no Web Audio);
// fill renders into buffer; stalled runs when the browser never lets the
// context run after the visitor's first answer.
int BrumlakorAudioOpen(uint32_t frequency, uint32_t frames, int16_t *buffer,
                       void (*fill)(uint32_t, double), void (*stalled)());
void BrumlakorAudioStart();
void BrumlakorAudioClose();
}

bool DeviceOpen(int32_t device) {
    if (device > 1)
        return false;
    deviceOpen = BrumlakorAudioOpen(outputFrequency, DEVICE_BUFFER_FRAMES, deviceBuffer,
                                    FillDeviceBuffer, OutputFallBackToSilence) != 0;
    return deviceOpen;
}

void DeviceStart() {
    BrumlakorAudioStart();
}

void DeviceClose() {
    if (deviceOpen)
        BrumlakorAudioClose();
    deviceOpen = false;
}

const char *DeviceName(int32_t device) {
    return device == 1 && deviceOpen ? "Web Audio" : nullptr;
}
