// PNG frames compressed on a thread of their own, so that deflating one frame
// overlaps with rendering the next (the compression costs more than the
// rendering, and bounds the PNG capture).
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

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
    std::vector<std::vector<uint8_t>> spare; // buffers of written frames, reused
    bool closing = false;
    std::string error; // the first failure
    std::chrono::steady_clock::duration busy{};
};

void PngQueueStart(PngQueue &queue);
// Queues a copy of the frame; waits while two frames are still waiting.
// False (with the worker's error) once a write has failed.
bool PngQueueAdd(PngQueue &queue, const std::string &path, const uint8_t *rgb, int width,
                 int height, std::string &error);
// Writes what is queued and stops the thread; false with the first error.
bool PngQueueFinish(PngQueue &queue, std::string &error);
