// The capture run. Frame F is the frame loop's pass F (counted from 0), drawn
// at F x 20 ms of virtual time. Its picture is read back before the present;
// then the player renders the frame's sound (capture/offline.h) and delivers
// the syncs whose ticks start inside it. The sound thus follows the picture, as in the demo, where
// the music plays through the frame period after the picture is drawn and a sync landing in that
// period is seen by the next frame: the frame that resumes the music is the first with sound, and a
// scene change shows one frame after the frame whose sound holds its tick.
#include "capture/capture.h"

#include "capture/blocks.h"
#include "capture/offline.h"
#include "capture/outputs.h"
#include "capture/partials.h"
#include "capture/progress.h"
#include "driver/demo.h"
#include "runtime/runtime.h"

#include <GL/gl.h>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <pthread.h>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

std::atomic<int> interrupts{0}; // Ctrl+C, SIGTERM or a close request
pthread_t mainThread;
bool captureEnded = false;
CaptureOutputs outputs;
// What a second interrupt says it leaves: "kept", the frame count, this.
std::string keptWhere;

// The frame read back by the hook, bottom row first as GL gives it.
int frameWidth = 0;
int frameHeight = 0;
std::vector<uint8_t> backBuffer;
Clock::duration readBackTime{};

struct StageTimes {
    Clock::duration render{}, readBack{}, sound{}, writing{};
};

bool Interrupted() {
    return interrupts.load(std::memory_order_relaxed) > 0;
}

// How many frames the files hold, said with async-signal-safe calls only (the
// count spelt here, without printf).
void SayWhatIsKept() {
    char digits[24];
    char *at = digits + sizeof digits;
    int64_t kept = outputs.framesWritten.load(std::memory_order_relaxed);
    do
        *--at = static_cast<char>('0' + kept % 10);
    while ((kept /= 10) > 0);
    const char head[] = "brumlakor-capture: interrupted again, stopped at once; kept ";
    [[maybe_unused]] bool said = write(STDERR_FILENO, head, sizeof head - 1) > 0 &&
                                 write(STDERR_FILENO, at, digits + sizeof digits - at) > 0 &&
                                 write(STDERR_FILENO, keptWhere.data(), keptWhere.size()) > 0;
}

// The first interrupt ends the capture after the frame in hand, its files
// finished; a second, should finishing hang, ends the tool at once. Both are
// taken on the main thread, which holds them back while it keeps a frame.
void OnInterrupt(int number) {
    if (!pthread_equal(pthread_self(), mainThread)) {
        pthread_kill(mainThread, number);
        return;
    }
    if (interrupts.fetch_add(1, std::memory_order_relaxed) == 0)
        return;
    SayWhatIsKept();
    signal(number, SIG_DFL);
    raise(number);
}

// The rest of the second interrupt's line: where the kept frames are.
std::string KeptWhere(const CaptureOptions &options) {
    std::string listed = options.manifestPath.empty() ? "" : ", listed in " + options.manifestPath;
    if (options.outputKind == OutputKind::Directory)
        return " frames and their sound in " + options.output + listed + "\n";
    if (options.outputKind == OutputKind::Video)
        return " frames" + listed + ", unfinished, in " + PartialPath(options.output, "mkv") +
               " and .wav (the next capture into that folder removes them)\n";
    return " frames in " + options.manifestPath + "\n";
}

void CatchInterrupts(const CaptureOptions &options) {
    keptWhere = KeptWhere(options);
    mainThread = pthread_self();
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

// Start-up ends the process itself on its fatal failures (exit status 0 for
// the demo); for the capture that is a failure like any other.
void OnUnexpectedExit() {
    if (captureEnded)
        return;
    AbandonOutputs(outputs);
    fputs("brumlakor-capture: the presentation ended during start-up; nothing captured\n", stderr);
    _exit(1);
}

void ReadBackFrame() {
    // The rasteriser works behind the calls: finishing first keeps its time
    // out of the read-back figure.
    glFinish();
    Clock::time_point started = Clock::now();
    glReadPixels(0, 0, frameWidth, frameHeight, GL_RGB, GL_UNSIGNED_BYTE, backBuffer.data());
    readBackTime += Clock::now() - started;
}

// GL's rows run bottom to top; pictures and video run top to bottom.
void FlipRows(const uint8_t *from, uint8_t *to, int width, int height) {
    size_t row = static_cast<size_t>(width) * 3;
    for (int y = 0; y < height; ++y)
        memcpy(to + static_cast<size_t>(y) * row, from + static_cast<size_t>(height - 1 - y) * row,
               row);
}

double Milliseconds(Clock::duration duration, int64_t frames) {
    return frames > 0 ? std::chrono::duration<double, std::milli>(duration).count() / frames : 0;
}

void PrintTimings(const StageTimes &times, int64_t frames, int64_t written) {
    fprintf(stderr,
            "brumlakor-capture: per frame: rendering %.2f ms, read-back %.2f ms, sound %.2f ms, "
            "writing %.2f ms",
            Milliseconds(times.render, frames), Milliseconds(times.readBack, written),
            Milliseconds(times.sound, frames), Milliseconds(times.writing, written));
    if (outputs.kind == OutputKind::Directory)
        fprintf(stderr, " (PNG compression on %d threads of its own: %.2f ms of processor time)",
                PNG_WRITERS, Milliseconds(outputs.pngs.busy, written));
    if (outputs.kind == OutputKind::Video)
        fprintf(stderr, " (encoding, in ffmpeg's own process: %.2f ms of processor time)",
                Milliseconds(outputs.video.encodeCpu, written));
    fputc('\n', stderr);
}

[[noreturn]] void EndCapture(int status) {
    captureEnded = true;
    if (status == 0)
        Shutdown(); // the demo's own shutdown, exit status 0
    RuntimeEnd();
    fflush(nullptr);
    exit(status);
}

[[noreturn]] void Fail(const std::string &error) {
    fprintf(stderr, "brumlakor-capture: %s\n", error.c_str());
    AbandonOutputs(outputs);
    EndCapture(1);
}

} // namespace

int RunCapture(const CaptureOptions &options) {
    frameWidth = SCREEN_WIDTH * options.scale;
    frameHeight = SCREEN_HEIGHT * options.scale;
    backBuffer.assign(static_cast<size_t>(frameWidth) * frameHeight * 3, 0);
    std::vector<int16_t> sound;
    signal(SIGPIPE, SIG_IGN); // a vanished ffmpeg shows as a write error
    std::string error;
    if (!OpenOutputs(options, frameWidth, frameHeight, outputs, error)) {
        fprintf(stderr, "brumlakor-capture: %s\n", error.c_str());
        AbandonOutputs(outputs);
        return 1;
    }
    atexit(OnUnexpectedExit);
    // Nobody is there to answer a box: each is a failure, on one line.
    UseTextDialogs(Fail);
    if (!StartOffline(options.seed, frameWidth, frameHeight, error))
        Fail(error);
    CatchInterrupts(options);

    int64_t end = options.start + options.frames;
    Progress progress;
    ProgressStart(progress, end, isatty(STDERR_FILENO) != 0);
    StageTimes times;
    Clock::time_point began = Clock::now();
    int64_t frame = 0;
    for (; frame < end && !Interrupted(); ++frame) {
        bool writing = frame >= options.start;
        MotionSnapshot before = TakeMotionSnapshot();
        readBackTime = {};
        Clock::time_point started = Clock::now();
        if (!RunFrame(writing ? ReadBackFrame : nullptr)) {
            interrupts.fetch_add(1, std::memory_order_relaxed); // a close request
            break;
        }
        Clock::time_point drawn = Clock::now();
        times.render += drawn - started - readBackTime;
        times.readBack += readBackTime;
        uint32_t blocks = BlocksBetween(before, TakeMotionSnapshot());
        if (!RenderFrameSound(frame, sound, error))
            Fail(error);
        Clock::time_point sounded = Clock::now();
        times.sound += sounded - drawn;
        if (writing) {
            uint8_t *picture = FrameBuffer(outputs, backBuffer.size());
            FlipRows(backBuffer.data(), picture, frameWidth, frameHeight);
            if (!WriteFrame(options, outputs, frame, picture, frameWidth, frameHeight, sound.data(),
                            sound.size() / 2, blocks, error))
                Fail(error);
            times.writing += Clock::now() - sounded;
        }
        ProgressUpdate(progress, frame + 1);
    }
    ProgressEnd(progress);
    Clock::time_point finishing = Clock::now();
    if (!FinishOutputs(outputs, error))
        Fail(error);
    times.writing += Clock::now() - finishing;
    double wall = std::chrono::duration<double>(Clock::now() - began).count();
    int64_t written = outputs.framesWritten.load(std::memory_order_relaxed);
    fprintf(stderr, "brumlakor-capture: %s%lld frames (%.2f s) %s%s in %.1f s (%.2fx real time)\n",
            Interrupted() ? "interrupted; kept " : "wrote ", static_cast<long long>(written),
            written / double(CAPTURE_FPS), options.output.empty() ? "to the manifest " : "to ",
            options.output.empty() ? options.manifestPath.c_str() : options.output.c_str(), wall,
            wall > 0 ? frame / double(CAPTURE_FPS) / wall : 0.0);
    if (options.timings)
        PrintTimings(times, frame, written);
    EndCapture(Interrupted() ? 130 : 0);
}
