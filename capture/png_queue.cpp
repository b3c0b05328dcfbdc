// A queue of PNG frames and the threads that write them.
#include "capture/png_queue.h"

#include "capture/png.h"

#include <cstring>
#include <ctime>

namespace {

// Frames waiting beyond those being written: room for a run of costly frames
// while cheap ones are rendered (about 1 MB each at 640 x 480).
constexpr size_t MAX_WAITING = 4;

// The processor time of this thread: while the rasteriser has the cores, a
// writer waits, and that time is not its own.
std::chrono::nanoseconds ThreadTime() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return std::chrono::seconds(now.tv_sec) + std::chrono::nanoseconds(now.tv_nsec);
}

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
        std::chrono::nanoseconds started = ThreadTime();
        bool ok = skip || WritePng(job.path, job.rgb.data(), job.width, job.height, error);
        std::chrono::nanoseconds spent = ThreadTime() - started;
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
    for (int i = 0; i < PNG_WRITERS; ++i)
        queue.workers.emplace_back(Work, std::ref(queue));
}

uint8_t *PngQueueStage(PngQueue &queue, size_t bytes) {
    if (queue.staged.empty()) {
        std::lock_guard hold(queue.lock);
        if (!queue.spare.empty()) {
            queue.staged = std::move(queue.spare.back());
            queue.spare.pop_back();
        }
    }
    queue.staged.resize(bytes);
    return queue.staged.data();
}

bool PngQueueAdd(PngQueue &queue, const std::string &path, const uint8_t *rgb, int width,
                 int height, std::string &error) {
    size_t bytes = static_cast<size_t>(width) * height * 3;
    if (queue.staged.empty() || rgb != queue.staged.data())
        memcpy(PngQueueStage(queue, bytes), rgb, bytes);
    std::unique_lock hold(queue.lock);
    queue.changed.wait(hold, [&] { return queue.jobs.size() < MAX_WAITING; });
    if (!queue.error.empty()) {
        error = queue.error;
        return false;
    }
    queue.jobs.push_back(PngJob{path, std::move(queue.staged), width, height});
    queue.staged.clear(); // a moved-from vector is valid but unspecified
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
