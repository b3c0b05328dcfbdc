// Video output through ffmpeg: raw RGB frames on one pipe, the sound on a
// second, encoded into a Matroska file beside the output; when the capture
// ends, a second ffmpeg run copies the streams into the output with chapters.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <sys/types.h>
#include <vector>

struct VideoEncoder {
    pid_t pid = -1;
    int videoFd = -1;
    int audioFd = -1;
    int errorFd = -1;         // ffmpeg's stderr
    std::string errorTail;    // its last lines, for our own message
    std::string audioBacklog; // sound not yet taken by ffmpeg
    std::string output;       // the file the user asked for
    std::string partial;      // the first run's Matroska file
    std::string container;
    bool lossless = false;
};

// The ffmpeg arguments of the two runs (without the program name).
std::vector<std::string> EncodeArguments(const std::string &container, bool lossless, int width,
                                         int height, int sampleRate, const std::string &partial);
std::vector<std::string> RemuxArguments(const std::string &container, const std::string &partial,
                                        const std::string &output);
// The first run's file: a hidden name beside output, unique to this process.
std::string PartialPath(const std::string &output);

bool VideoOpen(VideoEncoder &video, const std::string &output, const std::string &container,
               bool lossless, int width, int height, std::string &error);
// One frame: width x height RGB bytes and its sound.
bool VideoWrite(VideoEncoder &video, const uint8_t *rgb, size_t rgbBytes, const int16_t *sound,
                size_t soundBytes, std::string &error);
// Ends the encoding and writes output with the chapters (an ffmpeg metadata
// text); the first run's file is removed whatever happens.
bool VideoFinish(VideoEncoder &video, const std::string &metadata, std::string &error);
// Stops ffmpeg and removes what it wrote (on a failure elsewhere).
void VideoAbandon(VideoEncoder &video);
