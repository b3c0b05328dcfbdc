// Where a capture goes: PNG frames and WAV sound in a directory, a video
// through ffmpeg, or only the manifest; and the manifest beside any of them.
#pragma once

#include "capture/chapters.h"
#include "capture/manifest.h"
#include "capture/options.h"
#include "capture/png_queue.h"
#include "capture/video.h"
#include "capture/wav.h"

#include <atomic>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

// A frame handed to the PNG writers, with what it adds to the other files once
// its picture is written.
struct PendingFrame {
    int64_t frame;
    uint32_t crc;
    uint32_t blocks;
    std::vector<int16_t> sound;
};

struct CaptureOutputs {
    OutputKind kind = OutputKind::None;
    std::string directory;
    WavFile wav;
    PngQueue pngs;
    VideoEncoder video;
    Manifest manifest;
    ChapterList chapters;
    std::vector<uint8_t> picture;     // the frame, when no PNG writer takes it over
    std::deque<PendingFrame> pending; // handed over, not yet written, in order
    // Frames in every file (atomic: a signal handler reports it).
    std::atomic<int64_t> framesWritten{0};
};

// Also removes what killed runs left unfinished in the output's folder.
bool OpenOutputs(const CaptureOptions &options, int width, int height, CaptureOutputs &outputs,
                 std::string &error);
// Where the next frame's RGB bytes (rows top first) are best put: handed to
// WriteFrame from here, they reach the PNG writer without a copy.
uint8_t *FrameBuffer(CaptureOutputs &outputs, size_t bytes);
// One frame: its number, its RGB bytes (rows top first), its sound and the
// effect blocks it drew. In a directory the frame and its sound and manifest
// line follow when its PNG is written, frames in their order.
bool WriteFrame(const CaptureOptions &options, CaptureOutputs &outputs, int64_t frame,
                const uint8_t *rgb, int width, int height, const int16_t *sound, size_t soundFrames,
                uint32_t blocks, std::string &error);
// Finishes every file so that it is complete and playable.
bool FinishOutputs(CaptureOutputs &outputs, std::string &error);
// After a failure: keeps the frames written up to the first that failed
// (their sound and manifest lines with them), stops ffmpeg and removes every
// unfinished file.
void AbandonOutputs(CaptureOutputs &outputs);
// "frame-000123.png"
std::string FrameFileName(int64_t frame);
