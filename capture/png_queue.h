// PNG frames compressed on threads of their own, so that deflating overlaps
// with rendering the next frames. The frame is handed over without a copy:
// the capture writes it straight into the staged buffer, which the queue
// then takes. Each frame is written under its partial name (partials.h); the
// caller renames the frames in their order once PngQueueWritten counts them,
// so that a run that ends at any moment leaves whole frames only, none
// missing before the last.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

// Threads that compress: the largest cost of a frame, spent on whatever the
// rasteriser leaves of either core.
constexpr int PNG_WRITERS = 2;

struct PngJob {
    int64_t sequence = 0; // frames added before it
    std::string path;
    std::vector<uint8_t> rgb;
    int width = 0;
    int height = 0;
};

struct PngQueue {
    std::vector<std::thread> workers;
    std::mutex lock;
    std::condition_variable changed;
    std::deque<PngJob> jobs;
    std::vector<uint8_t> staged;             // where the next frame is being written
    std::vector<std::vector<uint8_t>> spare; // buffers of written frames, reused
    bool closing = false;
    int64_t added = 0;
    int64_t written = 0;             // the first frames added, all written
    std::set<int64_t> writtenAfter;  // written, but an earlier one is not (yet)
    std::string error;               // the first failure
    std::chrono::nanoseconds busy{}; // processor time, summed over the threads
};

void PngQueueStart(PngQueue &queue);
// A buffer of bytes for the next frame; PngQueueAdd takes it without copying.
uint8_t *PngQueueStage(PngQueue &queue, size_t bytes);
// Queues the frame for PartialPath(path, "png") (copied unless it is the
// staged buffer); waits while the queue is full. False (with the worker's
// error, which names path) once a write has failed.
bool PngQueueAdd(PngQueue &queue, const std::string &path, const uint8_t *rgb, int width,
                 int height, std::string &error);
// How many of the frames added first are written, with none missing between.
int64_t PngQueueWritten(PngQueue &queue);
// Writes what is queued and stops the threads; false with the first error.
bool PngQueueFinish(PngQueue &queue, std::string &error);
