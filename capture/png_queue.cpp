// A one-thread queue of PNG frames.
#include "capture/png_queue.h"

#include "capture/files.h"

#include <cstring>

namespace {

// One thread: a second measured no faster on two cores, where the
// rasteriser's own threads want the other core while a frame is drawn.
constexpr int WORKERS = 1;
constexpr size_t MAX_WAITING = 2;

void Work(PngQueue &queue) {
    std::unique_lock hold(queue.lock);
    for (;;) {
        queue.changed.wait(hold, [&] { return queue.closing || !queue.jobs.empty(); });
        if (queue.jobs.empty())
            return;
        PngJob job = std::move(queue.jobs.front());
        queue.jobs.pop_front();
        bool skip = !queue.error.empty(); // nothing more once the disk has failed
        hold.unlock();
        std::string error;
        auto started = std::chrono::steady_clock::now();
        bool ok = skip || WritePng(job.path, job.rgb.data(), job.width, job.height, error);
        auto spent = std::chrono::steady_clock::now() - started;
        hold.lock();
        queue.busy += spent;
        if (!ok && queue.error.empty())
            queue.error = error;
        queue.spare.push_back(std::move(job.rgb));
        queue.changed.notify_all();
    }
}

} // namespace

void PngQueueStart(PngQueue &queue) {
    for (int i = 0; i < WORKERS; ++i)
        queue.workers.emplace_back(Work, std::ref(queue));
}

bool PngQueueAdd(PngQueue &queue, const std::string &path, const uint8_t *rgb, int width,
                 int height, std::string &error) {
    std::unique_lock hold(queue.lock);
    queue.changed.wait(hold, [&] { return queue.jobs.size() < MAX_WAITING; });
    if (!queue.error.empty()) {
        error = queue.error;
        return false;
    }
    PngJob job{path, {}, width, height};
    if (!queue.spare.empty()) {
        job.rgb = std::move(queue.spare.back());
        queue.spare.pop_back();
    }
    size_t bytes = static_cast<size_t>(width) * height * 3;
    job.rgb.resize(bytes);
    memcpy(job.rgb.data(), rgb, bytes);
    queue.jobs.push_back(std::move(job));
    queue.changed.notify_all();
    return true;
}

bool PngQueueFinish(PngQueue &queue, std::string &error) {
    if (queue.workers.empty())
        return true;
    {
        std::lock_guard hold(queue.lock);
        queue.closing = true;
    }
    queue.changed.notify_all();
    for (std::thread &worker : queue.workers)
        worker.join();
    queue.workers.clear();
    if (queue.error.empty())
        return true;
    error = queue.error;
    return false;
}
