// The sound device through the Windows waveOut interface. A feeder thread of
// ours keeps BUFFER_COUNT buffers queued: whenever the device hands one back
// (it signals an event), the thread refills and requeues it. How far ahead of
// the device each refill lands is measured with waveOutGetPosition, so a
// block's frames are stamped with when the device will really play them.
#include "player/output_device.h"

#include <windows.h>

#include <mmsystem.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr int BUFFER_COUNT = 4;
constexpr uint32_t BUFFER_FRAMES = 1024; // about 23 ms at 44.1 kHz
constexpr DWORD LONGEST_WAIT_MS = 20;    // the feeder's check even without a signal

HWAVEOUT waveOut = nullptr;
HANDLE bufferDone = nullptr; // set by the device as buffers come back
WAVEHDR headers[BUFFER_COUNT];
std::vector<int16_t> samples; // the buffers' memory, back to back
std::thread feeder;
std::atomic<bool> feeding{false};
uint32_t framesWritten = 0; // device frames queued so far (wraps like its position)
std::string deviceName;

// Frames the device has played since it was opened, in its 32-bit count.
uint32_t DevicePosition() {
    MMTIME time{};
    time.wType = TIME_SAMPLES;
    if (waveOutGetPosition(waveOut, &time, sizeof time) != MMSYSERR_NOERROR ||
        time.wType != TIME_SAMPLES)
        return framesWritten; // no position: take the queue as drained
    return time.u.sample;
}

void Queue(WAVEHDR *header) {
    auto now = PlayerClock::now();
    uint32_t ahead = framesWritten - DevicePosition();
    if (ahead > BUFFER_COUNT * BUFFER_FRAMES)
        ahead = 0; // a position past what was written: the device is starved
    OutputFillBlock(reinterpret_cast<int16_t *>(header->lpData), BUFFER_FRAMES, now, ahead);
    header->dwFlags &= ~WHDR_DONE;
    waveOutWrite(waveOut, header, sizeof *header);
    framesWritten += BUFFER_FRAMES;
}

void FeederMain() {
    while (feeding.load(std::memory_order_relaxed)) {
        for (WAVEHDR &h : headers)
            if (h.dwFlags & WHDR_DONE)
                Queue(&h);
        WaitForSingleObject(bufferDone, LONGEST_WAIT_MS);
    }
}

} // namespace

bool DeviceOpen(int32_t device) {
    UINT id = WAVE_MAPPER;
    if (device > 0) {
        if (static_cast<UINT>(device) > waveOutGetNumDevs())
            return false;
        id = static_cast<UINT>(device - 1);
    }
    WAVEFORMATEX format{};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = 2;
    format.nSamplesPerSec = outputFrequency;
    format.wBitsPerSample = 16;
    format.nBlockAlign = 4;
    format.nAvgBytesPerSec = outputFrequency * 4;
    bufferDone = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    if (!bufferDone || waveOutOpen(&waveOut, id, &format, reinterpret_cast<DWORD_PTR>(bufferDone),
                                   0, CALLBACK_EVENT) != MMSYSERR_NOERROR) {
        waveOut = nullptr;
        DeviceClose();
        return false;
    }
    samples.assign(2 * BUFFER_FRAMES * BUFFER_COUNT, 0);
    for (int i = 0; i < BUFFER_COUNT; i++) {
        headers[i] = {};
        headers[i].lpData = reinterpret_cast<LPSTR>(samples.data() + 2 * BUFFER_FRAMES * i);
        headers[i].dwBufferLength = BUFFER_FRAMES * 4;
        waveOutPrepareHeader(waveOut, &headers[i], sizeof headers[i]);
        headers[i].dwFlags |= WHDR_DONE; // free, to be filled first
    }
    framesWritten = 0;
    return true;
}

void DeviceStart() {
    feeding = true;
    feeder = std::thread(FeederMain);
}

void DeviceClose() {
    feeding = false;
    if (feeder.joinable()) {
        SetEvent(bufferDone);
        feeder.join();
    }
    if (waveOut) {
        waveOutReset(waveOut); // hands every queued buffer back
        for (WAVEHDR &h : headers)
            waveOutUnprepareHeader(waveOut, &h, sizeof h);
        waveOutClose(waveOut);
        waveOut = nullptr;
    }
    if (bufferDone) {
        CloseHandle(bufferDone);
        bufferDone = nullptr;
    }
}

const char *DeviceName(int32_t device) {
    WAVEOUTCAPSA caps{};
    if (device < 1 ||
        waveOutGetDevCapsA(static_cast<UINT>(device - 1), &caps, sizeof caps) != MMSYSERR_NOERROR)
        return nullptr;
    deviceName = caps.szPname;
    return deviceName.c_str();
}
