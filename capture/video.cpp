// Video output: a first ffmpeg run encodes the raw frames from a pipe into a
// Matroska file while the sound goes into a WAV file beside it; a second run
// copies the pictures, encodes the sound and writes both, with chapters.
#include "capture/video.h"

#include "capture/file_error.h"
#include "capture/options.h"
#include "capture/partials.h"
#include "capture/spawn.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include "runtime/file_system.h"

namespace {

const char *const FFMPEG = "ffmpeg";
constexpr int PIPE_BYTES = 1 << 20;

std::vector<std::string> VideoCodec(const std::string &container, bool lossless) {
    if (container == "webm")
        return {"-c:v", "libvpx-vp9", "-crf", "32",      "-b:v", "0",        "-deadline",
                "good", "-cpu-used",  "5",    "-row-mt", "1",    "-pix_fmt", "yuv420p"};
    if (lossless && container == "mkv")
        return {"-c:v",    "ffv1", "-level",    "3", "-g",       "1",
                "-slices", "4",    "-slicecrc", "1", "-pix_fmt", "bgr0"};
    if (lossless)
        return {"-c:v", "libx264rgb", "-preset", "veryfast", "-qp", "0", "-pix_fmt", "rgb24"};
    // Measured against the lossless frames with ffmpeg's ssim filter over the
    // first minute: the fastest preset tuned for flat, sharp-edged content at
    // CRF 17 slightly exceeds the structural similarity of the veryfast
    // preset at CRF 18 in about half the encoding time, for files about twice
    // as big.
    return {"-c:v",      "libx264", "-preset", "ultrafast", "-tune",
            "animation", "-crf",    "17",      "-pix_fmt",  "yuv420p"};
}

std::vector<std::string> SoundCodec(const std::string &container, bool lossless) {
    if (container == "webm")
        return {"-c:a", "libopus", "-b:a", "160k"};
    if (container == "mkv")
        return {"-c:a", "flac"};
    if (lossless)
        return {"-c:a", "alac"};
    return {"-c:a", "aac", "-b:a", "192k"};
}

std::string Muxer(const std::string &container) {
    return container == "mkv" ? "matroska" : container;
}

void CloseFd(int &fd) {
    if (fd >= 0)
        close(fd);
    fd = -1;
}

void CloseAll(VideoEncoder &video) {
    CloseFd(video.videoFd);
    CloseFd(video.errorFd);
}

void RemovePartials(VideoEncoder &video) {
    std::string ignored;
    WavFinish(video.sound, ignored);
    if (!video.partial.empty())
        unlink(video.partial.c_str());
    if (!video.sound.path.empty())
        unlink(video.sound.path.c_str());
}

std::string FfmpegError(const VideoEncoder &video, const std::string &stage,
                        const std::string &status) {
    std::string said = LastLine(video.errorTail);
    std::string error = video.output + ": ffmpeg failed " + stage;
    if (!status.empty())
        error += " (" + status + ")";
    if (!said.empty())
        error += ": " + said;
    return error;
}

// Reads what ffmpeg still has to say until it closes its stderr.
void DrainErrors(VideoEncoder &video) {
    if (video.errorFd < 0)
        return;
    fcntl(video.errorFd, F_SETFL, 0);
    while (ReadTail(video.errorFd, video.errorTail)) {
    }
    CloseFd(video.errorFd);
}

// Closes ffmpeg's inputs, lets it finish and reports how it ended ("" for
// success); its processor time goes to cpu.
std::string EndFfmpeg(VideoEncoder &video, std::chrono::nanoseconds *cpu = nullptr) {
    CloseFd(video.videoFd);
    DrainErrors(video);
    std::string status = video.pid > 0 ? WaitProgram(video.pid, cpu) : "";
    video.pid = -1;
    return status;
}

// Feeds ffmpeg until the picture bytes are all in its pipe, collecting what
// it says meanwhile (so that a chatty ffmpeg never blocks on its stderr).
bool Pump(VideoEncoder &video, const uint8_t *data, size_t length) {
    while (length > 0) {
        pollfd fds[2] = {{video.videoFd, POLLOUT, 0}, {video.errorFd, POLLIN, 0}};
        if (poll(fds, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if ((fds[1].revents & (POLLIN | POLLHUP)) && !ReadTail(video.errorFd, video.errorTail))
            CloseFd(video.errorFd);
        if (fds[0].revents & (POLLERR | POLLHUP))
            return false;
        if (fds[0].revents & POLLOUT) {
            ssize_t written = write(video.videoFd, data, length);
            if (written < 0 && errno != EAGAIN && errno != EINTR)
                return false;
            if (written > 0) {
                data += written;
                length -= static_cast<size_t>(written);
            }
        }
    }
    return true;
}

bool Remux(VideoEncoder &video, const std::string &metadata, std::string &error) {
    int input[2], errors[2];
    if (!MakePipe(input)) {
        error = FileError(video.output, errno);
        return false;
    }
    if (!MakePipe(errors)) {
        error = FileError(video.output, errno);
        close(input[0]);
        close(input[1]);
        return false;
    }
    bool started = SpawnProgram(FFMPEG,
                                RemuxArguments(video.container, video.lossless, video.partial,
                                               video.sound.path, video.output),
                                {{input[0], 0}, {errors[1], 2}}, video.pid, error);
    close(input[0]);
    close(errors[1]);
    video.videoFd = input[1];
    video.errorFd = errors[0];
    if (!started) {
        error = video.output + ": " + error;
        CloseAll(video);
        return false;
    }
    // The text is a few hundred bytes: it fits in the pipe at once.
    WriteAll(video.videoFd, metadata.data(), metadata.size());
    std::string status = EndFfmpeg(video);
    if (status.empty())
        return true;
    error = FfmpegError(video, "writing the file", status);
    return false;
}

} // namespace

std::vector<std::string> EncodeArguments(const std::string &container, bool lossless, int width,
                                         int height, const std::string &partial) {
    std::vector<std::string> arguments = {"-hide_banner",
                                          "-loglevel",
                                          "error",
                                          "-nostdin",
                                          "-y",
                                          "-f",
                                          "rawvideo",
                                          "-pix_fmt",
                                          "rgb24",
                                          "-video_size",
                                          std::to_string(width) + "x" + std::to_string(height),
                                          "-framerate",
                                          std::to_string(CAPTURE_FPS),
                                          "-i",
                                          "pipe:0",
                                          "-map",
                                          "0:v"};
    std::vector<std::string> codec = VideoCodec(container, lossless);
    arguments.insert(arguments.end(), codec.begin(), codec.end());
    arguments.insert(arguments.end(), {"-f", "matroska", partial});
    return arguments;
}

std::vector<std::string> RemuxArguments(const std::string &container, bool lossless,
                                        const std::string &partial, const std::string &sound,
                                        const std::string &output) {
    std::vector<std::string> arguments = {"-hide_banner",
                                          "-loglevel",
                                          "error",
                                          "-nostdin",
                                          "-y",
                                          "-i",
                                          partial,
                                          "-i",
                                          sound,
                                          "-f",
                                          "ffmetadata",
                                          "-i",
                                          "pipe:0",
                                          "-map",
                                          "0:v",
                                          "-map",
                                          "1:a",
                                          "-map_metadata",
                                          "2",
                                          "-map_chapters",
                                          "2",
                                          "-c:v",
                                          "copy"};
    std::vector<std::string> codec = SoundCodec(container, lossless);
    arguments.insert(arguments.end(), codec.begin(), codec.end());
    if (container == "mp4")
        arguments.insert(arguments.end(), {"-movflags", "+faststart"});
    arguments.insert(arguments.end(), {"-f", Muxer(container), output});
    return arguments;
}

bool VideoOpen(VideoEncoder &video, const std::string &output, const std::string &container,
               bool lossless, int width, int height, std::string &error) {
    video = VideoEncoder{};
    video.output = output;
    video.partial = PartialPath(output, "mkv");
    video.container = container;
    video.lossless = lossless;
    if (!WavCreate(video.sound, PartialPath(output, "wav"), CAPTURE_SAMPLE_RATE, error)) {
        error = FileError(output, errno); // its directory is missing or closed to us
        return false;
    }
    int pictures[2] = {-1, -1}, errors[2] = {-1, -1};
    if (!MakePipe(pictures) || !MakePipe(errors)) {
        error = FileError(output, errno);
        for (int fd : {pictures[0], pictures[1], errors[0], errors[1]})
            if (fd >= 0)
                close(fd);
        RemovePartials(video);
        return false;
    }
    bool started =
        SpawnProgram(FFMPEG, EncodeArguments(container, lossless, width, height, video.partial),
                     {{pictures[0], 0}, {errors[1], 2}}, video.pid, error);
    close(pictures[0]);
    close(errors[1]);
    video.videoFd = pictures[1];
    video.errorFd = errors[0];
    if (!started) {
        error = output + ": " + error;
        CloseAll(video);
        RemovePartials(video);
        return false;
    }
    // A larger pipe means fewer trips through ffmpeg's reader; failure is harmless.
    fcntl(video.videoFd, F_SETPIPE_SZ, PIPE_BYTES);
    fcntl(video.videoFd, F_SETFL, O_NONBLOCK);
    fcntl(video.errorFd, F_SETFL, O_NONBLOCK);
    return true;
}

bool VideoWrite(VideoEncoder &video, const uint8_t *rgb, size_t rgbBytes, const int16_t *sound,
                size_t soundFrames, std::string &error) {
    if (!WavAppend(video.sound, sound, soundFrames, error)) {
        VideoAbandon(video);
        return false;
    }
    if (Pump(video, rgb, rgbBytes))
        return true;
    error = FfmpegError(video, "encoding", EndFfmpeg(video));
    RemovePartials(video);
    return false;
}

bool VideoFinish(VideoEncoder &video, const std::string &metadata, std::string &error) {
    std::string status = EndFfmpeg(video, &video.encodeCpu);
    if (!status.empty()) {
        error = FfmpegError(video, "encoding", status);
        RemovePartials(video);
        return false;
    }
    if (!WavFinish(video.sound, error)) {
        RemovePartials(video);
        return false;
    }
    video.errorTail.clear();
    bool ok = Remux(video, metadata, error);
    RemovePartials(video);
    return ok;
}

void VideoAbandon(VideoEncoder &video) {
    if (video.pid > 0) {
        kill(video.pid, SIGKILL);
        WaitProgram(video.pid);
    }
    video.pid = -1;
    CloseAll(video);
    RemovePartials(video);
}
