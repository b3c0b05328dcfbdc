// Command line of the capture tool: what to render and where to write it.
#pragma once

#include <cstdint>
#include <string>

constexpr int CAPTURE_FPS = 50;
constexpr uint32_t CAPTURE_SAMPLE_RATE = 44100;
constexpr int64_t DEFAULT_CAPTURE_FRAMES = 75 * CAPTURE_FPS; // every scene and the whole scroller
constexpr int MAX_CAPTURE_SCALE = 8;

enum class OutputKind { None, Directory, Video };

struct CaptureOptions {
    int64_t frames = DEFAULT_CAPTURE_FRAMES; // frames written
    int64_t start = 0;                       // first frame written (frames count from 0)
    int scale = 1;
    uint32_t seed = 0; // also the virtual clock's first reading
    bool lossless = false;
    bool timings = false;     // print where the time went
    std::string manifestPath; // "" for none
    std::string output;       // "" only with a manifest
    OutputKind outputKind = OutputKind::None;
    std::string container; // "mp4", "mkv" or "webm" for video output
};

enum class ParseResult { Run, Help, Version, Error };

// Parses argv with getopt_long. On Error, error holds a one-line reason that
// names the offending option or argument.
ParseResult ParseCaptureOptions(int argc, char **argv, CaptureOptions &options, std::string &error);
// The --help text.
std::string CaptureUsage(const char *program);
// "mp4", "mkv", "webm" for a video file name, "" otherwise (case-insensitive).
std::string VideoContainerOf(const std::string &path);
