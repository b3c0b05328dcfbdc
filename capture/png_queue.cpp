// A queue of PNG frames and the threads that write them.
#include "capture/png_queue.h"

#include "capture/partials.h"
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

// Under the lock: the frame is written; the count of frames written in order
// takes it and those after it that were waiting for it.
void CountWritten(PngQueue &queue, int64_t sequence) {
    queue.writtenAfter.insert(sequence);
    while (!queue.writtenAfter.empty() && *queue.writtenAfter.begin() == queue.written) {
        queue.writtenAfter.erase(queue.writtenAfter.begin());
        ++queue.written;
    }
}

// One frame into its partial file (which the caller removes when it fails),
// named by its own path on failure.
bool WriteJob(const PngJob &job, std::string &error) {
    std::string partial = PartialPath(job.path, "png");
    if (WritePng(partial, job.rgb.data(), job.width, job.height, error))
        return true;
    error = job.path + error.substr(partial.size());
    return false;
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
        bool ok = !skip && WriteJob(job, error);
        std::chrono::nanoseconds spent = ThreadTime() - started;
        hold.lock();
        queue.busy += spent;
        if (ok)
            CountWritten(queue, job.sequence);
        else if (!skip && queue.error.empty())
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
    queue.jobs.push_back(PngJob{queue.added++, path, std::move(queue.staged), width, height});
    queue.staged.clear(); // a moved-from vector is valid but unspecified
    queue.changed.notify_all();
    return true;
}

int64_t PngQueueWritten(PngQueue &queue) {
    std::lock_guard hold(queue.lock);
    return queue.written;
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
