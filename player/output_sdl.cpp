// The sound device through SDL: SDL's audio thread pulls each buffer.
#include "player/output_device.h"

#include <SDL.h>

#include <string>

namespace {

// What we ask SDL for; SDL may grant another size. One device buffer is
// still queued ahead of the one a callback fills, so a block starts to be
// heard one granted buffer after it leaves the callback.
constexpr uint16_t DEVICE_BUFFER_FRAMES = 1024;

SDL_AudioDeviceID audioDevice = 0;
bool sdlAudioStarted = false;
uint32_t deviceBufferFrames = DEVICE_BUFFER_FRAMES; // as granted
std::string deviceName;

void AudioCallback(void *, Uint8 *stream, int bytes) {
    OutputFillBlock(reinterpret_cast<int16_t *>(stream), static_cast<uint32_t>(bytes) / 4,
                    PlayerClock::now(), deviceBufferFrames);
}

} // namespace

bool DeviceOpen(int32_t device) {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
        return false;
    sdlAudioStarted = true;
    const char *name = nullptr;
    if (device > 0) {
        name = SDL_GetAudioDeviceName(device - 1, 0);
        if (!name)
            return false;
    }
    SDL_AudioSpec want{}, have{};
    want.freq = static_cast<int>(outputFrequency);
    want.format = AUDIO_S16SYS;
    want.channels = 2;
    want.samples = DEVICE_BUFFER_FRAMES;
    want.callback = AudioCallback;
    audioDevice = SDL_OpenAudioDevice(name, 0, &want, &have, 0);
    deviceBufferFrames = have.samples;
    return audioDevice != 0;
}

void DeviceStart() {
    SDL_PauseAudioDevice(audioDevice, 0);
}

void DeviceClose() {
    if (audioDevice) {
        SDL_CloseAudioDevice(audioDevice);
        audioDevice = 0;
    }
    if (sdlAudioStarted) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        sdlAudioStarted = false;
    }
}

const char *DeviceName(int32_t device) {
    if (!SDL_WasInit(SDL_INIT_AUDIO))
        return nullptr;
    const char *name = SDL_GetAudioDeviceName(device - 1, 0);
    if (!name)
        return nullptr;
    deviceName = name;
    return deviceName.c_str();
}
