// PNG frames compressed on threads of their own, so that deflating overlaps
// with rendering the next frames. The frame is handed over without a copy:
// the capture writes it straight into the staged buffer, which the queue
// then takes.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// Threads that compress: the largest cost of a frame, spent on whatever the
// rasteriser leaves of either core.
constexpr int PNG_WRITERS = 2;

struct PngJob {
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
    std::string error;               // the first failure
    std::chrono::nanoseconds busy{}; // processor time, summed over the threads
};

void PngQueueStart(PngQueue &queue);
// A buffer of bytes for the next frame; PngQueueAdd takes it without copying.
uint8_t *PngQueueStage(PngQueue &queue, size_t bytes);
// Queues the frame (copied unless it is the staged buffer); waits while the
// queue is full. False (with the worker's error) once a write has failed.
bool PngQueueAdd(PngQueue &queue, const std::string &path, const uint8_t *rgb, int width,
                 int height, std::string &error);
// Writes what is queued and stops the threads; false with the first error.
bool PngQueueFinish(PngQueue &queue, std::string &error);
