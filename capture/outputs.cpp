// The capture's outputs: directory of PNG frames and a WAV file, or a video.
#include "capture/outputs.h"

#include "capture/file_error.h"
#include "capture/partials.h"

#include <cerrno>
#include <cinttypes>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <unistd.h>
#include <zlib.h>

namespace {

constexpr const char *SOUND_FILE = "audio.wav";
constexpr const char *VIDEO_TITLE = "Brumlakor";

bool OpenDirectory(const std::string &directory, std::string &error) {
    std::error_code failure;
    std::filesystem::create_directories(directory, failure);
    if (failure || !std::filesystem::is_directory(directory)) {
        error = directory + ": " +
                (failure ? failure.message() : std::string("exists and is not a directory"));
        return false;
    }
    return true;
}

// The folder of a file path, "" for the working directory.
std::string FolderOf(const std::string &path) {
    size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? "" : path.substr(0, slash + 1);
}

std::string FramePath(const CaptureOutputs &outputs, int64_t frame) {
    return outputs.directory + "/" + FrameFileName(frame);
}

// Makes a frame part of every file: in a directory its PNG under its own name
// and its sound in the WAV file; its manifest line.
bool KeepNow(CaptureOutputs &outputs, const PendingFrame &frame, std::string &error) {
    if (outputs.kind == OutputKind::Directory) {
        std::string path = FramePath(outputs, frame.frame);
        if (rename(PartialPath(path, "png").c_str(), path.c_str()) != 0) {
            error = FileError(path, errno);
            return false;
        }
        if (!WavAppend(outputs.wav, frame.sound.data(), frame.sound.size() / 2, error)) {
            unlink(path.c_str());
            return false;
        }
    }
    if (!ManifestAdd(outputs.manifest, frame.frame, frame.crc, frame.blocks, error))
        return false;
    outputs.framesWritten.fetch_add(1, std::memory_order_relaxed);
    return true;
}

// Signals wait while a frame is kept: a handler that ends the process finds
// each frame whole in every file or in none.
bool Keep(CaptureOutputs &outputs, const PendingFrame &frame, std::string &error) {
    sigset_t all, before;
    sigfillset(&all);
    pthread_sigmask(SIG_BLOCK, &all, &before);
    bool kept = KeepNow(outputs, frame, error);
    pthread_sigmask(SIG_SETMASK, &before, nullptr);
    return kept;
}

// Keeps the pending frames whose PNGs are written, in their order.
bool KeepWritten(CaptureOutputs &outputs, std::string &error) {
    int64_t written = PngQueueWritten(outputs.pngs);
    for (; outputs.framesWritten.load(std::memory_order_relaxed) < written;
         outputs.pending.pop_front())
        if (!Keep(outputs, outputs.pending.front(), error))
            return false;
    return true;
}

// The frames that will not be kept leave no file.
void DropPending(CaptureOutputs &outputs) {
    for (const PendingFrame &frame : outputs.pending)
        unlink(PartialPath(FramePath(outputs, frame.frame), "png").c_str());
    outputs.pending.clear();
}

} // namespace

std::string FrameFileName(int64_t frame) {
    char name[40];
    snprintf(name, sizeof name, "frame-%06" PRId64 ".png", frame);
    return name;
}

bool OpenOutputs(const CaptureOptions &options, int width, int height, CaptureOutputs &outputs,
                 std::string &error) {
    outputs.kind = options.outputKind;
    if (!options.manifestPath.empty() &&
        !ManifestCreate(outputs.manifest, options.manifestPath, error))
        return false;
    if (outputs.kind == OutputKind::Directory) {
        outputs.directory = options.output;
        if (!OpenDirectory(outputs.directory, error))
            return false;
        RemoveDeadPartials(outputs.directory);
        if (!WavCreate(outputs.wav, outputs.directory + "/" + SOUND_FILE, CAPTURE_SAMPLE_RATE,
                       error))
            return false;
        PngQueueStart(outputs.pngs);
        return true;
    }
    if (outputs.kind != OutputKind::Video)
        return true;
    RemoveDeadPartials(FolderOf(options.output));
    return VideoOpen(outputs.video, options.output, options.container, options.lossless, width,
                     height, error);
}

uint8_t *FrameBuffer(CaptureOutputs &outputs, size_t bytes) {
    if (outputs.kind == OutputKind::Directory)
        return PngQueueStage(outputs.pngs, bytes);
    outputs.picture.resize(bytes);
    return outputs.picture.data();
}

bool WriteFrame(const CaptureOptions &options, CaptureOutputs &outputs, int64_t frame,
                const uint8_t *rgb, int width, int height, const int16_t *sound, size_t soundFrames,
                uint32_t blocks, std::string &error) {
    size_t rgbBytes = static_cast<size_t>(width) * height * 3;
    uint32_t crc = static_cast<uint32_t>(crc32_z(crc32_z(0, nullptr, 0), rgb, rgbBytes));
    ChapterAddFrame(outputs.chapters, frame - options.start, blocks);
    PendingFrame pending{frame, crc, blocks, {}};
    if (outputs.kind != OutputKind::Directory)
        return Keep(outputs, pending, error) &&
               (outputs.kind != OutputKind::Video ||
                VideoWrite(outputs.video, rgb, rgbBytes, sound, soundFrames, error));
    if (!PngQueueAdd(outputs.pngs, FramePath(outputs, frame), rgb, width, height, error))
        return false;
    pending.sound.assign(sound, sound + 2 * soundFrames);
    outputs.pending.push_back(std::move(pending));
    return KeepWritten(outputs, error);
}

bool FinishOutputs(CaptureOutputs &outputs, std::string &error) {
    std::string failure;
    bool ok = true;
    // Every file is finished; the first failure is the one reported.
    auto note = [&](bool done) {
        if (!done && ok)
            error = failure;
        ok = ok && done;
    };
    if (outputs.kind == OutputKind::Directory) {
        note(PngQueueFinish(outputs.pngs, failure));
        note(KeepWritten(outputs, failure));
        DropPending(outputs);
        note(WavFinish(outputs.wav, failure));
    }
    note(ManifestFinish(outputs.manifest, failure));
    if (outputs.kind == OutputKind::Video)
        note(VideoFinish(outputs.video,
                         FfmetadataText(outputs.chapters,
                                        outputs.framesWritten.load(std::memory_order_relaxed),
                                        VIDEO_TITLE),
                         failure));
    return ok;
}

void AbandonOutputs(CaptureOutputs &outputs) {
    std::string ignored;
    PngQueueFinish(outputs.pngs, ignored);
    KeepWritten(outputs, ignored);
    DropPending(outputs);
    WavFinish(outputs.wav, ignored);
    ManifestFinish(outputs.manifest, ignored);
    VideoAbandon(outputs.video);
}
