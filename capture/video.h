// Video output through ffmpeg: raw RGB frames go down a pipe and are encoded
// into a Matroska file beside the output, the sound into a WAV file beside
// it; when the capture ends, a second ffmpeg run copies the pictures, encodes
// the sound and writes both into the output with chapters. (Sound on a second
// pipe can deadlock: while ffmpeg probes one input it reads nothing from the
// other, however much is waiting there.)
#pragma once

#include "capture/wav.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <sys/types.h>
#include <vector>

struct VideoEncoder {
    pid_t pid = -1;
    int videoFd = -1;
    int errorFd = -1;      // ffmpeg's stderr
    std::string errorTail; // its last lines, for our own message
    std::string output;    // the file the user asked for
    std::string partial;   // the first run's Matroska file
    WavFile sound;         // the sound, until the second run takes it
    std::string container;
    bool lossless = false;
    std::chrono::nanoseconds encodeCpu{}; // the encoding run's processor time
};

// The ffmpeg arguments of the two runs (without the program name).
std::vector<std::string> EncodeArguments(const std::string &container, bool lossless, int width,
                                         int height, const std::string &partial);
std::vector<std::string> RemuxArguments(const std::string &container, bool lossless,
                                        const std::string &partial, const std::string &sound,
                                        const std::string &output);

bool VideoOpen(VideoEncoder &video, const std::string &output, const std::string &container,
               bool lossless, int width, int height, std::string &error);
// One frame: width x height RGB bytes and its sound.
bool VideoWrite(VideoEncoder &video, const uint8_t *rgb, size_t rgbBytes, const int16_t *sound,
                size_t soundFrames, std::string &error);
// Ends the encoding and writes output with the sound and the chapters (an
// ffmpeg metadata text); the intermediate files are removed whatever happens.
bool VideoFinish(VideoEncoder &video, const std::string &metadata, std::string &error);
// Stops ffmpeg and removes what it wrote (on a failure elsewhere).
void VideoAbandon(VideoEncoder &video);
