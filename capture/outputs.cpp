// The capture's outputs: directory of PNG frames and a WAV file, or a video.
#include "capture/outputs.h"

#include <cerrno>
#include <cinttypes>
#include <filesystem>
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
        if (!OpenDirectory(outputs.directory, error) ||
            !WavCreate(outputs.wav, outputs.directory + "/" + SOUND_FILE, CAPTURE_SAMPLE_RATE,
                       error))
            return false;
        PngQueueStart(outputs.pngs);
        return true;
    }
    if (outputs.kind == OutputKind::Video)
        return VideoOpen(outputs.video, options.output, options.container, options.lossless, width,
                         height, error);
    return true;
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
    if (!ManifestAdd(outputs.manifest, frame, crc, blocks, error))
        return false;
    ChapterAddFrame(outputs.chapters, frame - options.start, blocks);
    bool ok = true;
    if (outputs.kind == OutputKind::Directory)
        ok = PngQueueAdd(outputs.pngs, outputs.directory + "/" + FrameFileName(frame), rgb, width,
                         height, error) &&
             WavAppend(outputs.wav, sound, soundFrames, error);
    else if (outputs.kind == OutputKind::Video)
        ok = VideoWrite(outputs.video, rgb, rgbBytes, sound, soundFrames, error);
    if (ok)
        ++outputs.framesWritten;
    return ok;
}

bool FinishOutputs(CaptureOutputs &outputs, std::string &error) {
    std::string failure;
    bool ok = ManifestFinish(outputs.manifest, failure);
    if (!ok)
        error = failure;
    if (outputs.kind == OutputKind::Directory) {
        if (!PngQueueFinish(outputs.pngs, failure) && ok) {
            ok = false;
            error = failure;
        }
        if (!WavFinish(outputs.wav, failure) && ok) {
            ok = false;
            error = failure;
        }
    }
    if (outputs.kind == OutputKind::Video) {
        std::string metadata = FfmetadataText(outputs.chapters, outputs.framesWritten, VIDEO_TITLE);
        if (!VideoFinish(outputs.video, metadata, failure) && ok) {
            ok = false;
            error = failure;
        }
    }
    return ok;
}

void AbandonOutputs(CaptureOutputs &outputs) {
    std::string ignored;
    ManifestFinish(outputs.manifest, ignored);
    PngQueueFinish(outputs.pngs, ignored);
    WavFinish(outputs.wav, ignored);
    VideoAbandon(outputs.video);
}
