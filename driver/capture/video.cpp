// Video output: ffmpeg encodes raw frames and sound from two pipes into a
// Matroska file, then copies the streams into the output with chapters.
#include "driver/capture/video.h"

#include "driver/capture/files.h"
#include "driver/capture/options.h"
#include "driver/capture/spawn.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace {

const char *const FFMPEG = "ffmpeg";
constexpr int AUDIO_CHILD_FD = 3;
constexpr int PIPE_BYTES = 1 << 20;

std::vector<std::string> CodecArguments(const std::string &container, bool lossless) {
    if (container == "webm")
        return {"-c:v",      "libvpx-vp9", "-crf",      "32",      "-b:v",    "0",
                "-deadline", "good",       "-cpu-used", "5",       "-row-mt", "1",
                "-pix_fmt",  "yuv420p",    "-c:a",      "libopus", "-b:a",    "160k"};
    if (lossless && container == "mkv")
        return {"-c:v", "ffv1",      "-level", "3",        "-g",   "1",    "-slices",
                "4",    "-slicecrc", "1",      "-pix_fmt", "bgr0", "-c:a", "flac"};
    if (lossless)
        return {"-c:v", "libx264rgb", "-preset", "veryfast", "-qp",
                "0",    "-pix_fmt",   "rgb24",   "-c:a",     "alac"};
    std::vector<std::string> video = {"-c:v", "libx264", "-preset",  "veryfast",
                                      "-crf", "18",      "-pix_fmt", "yuv420p"};
    std::vector<std::string> audio = container == "mp4"
                                         ? std::vector<std::string>{"-c:a", "aac", "-b:a", "192k"}
                                         : std::vector<std::string>{"-c:a", "flac"};
    video.insert(video.end(), audio.begin(), audio.end());
    return video;
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
    CloseFd(video.audioFd);
    CloseFd(video.errorFd);
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
// success).
std::string EndFfmpeg(VideoEncoder &video) {
    CloseFd(video.videoFd);
    CloseFd(video.audioFd);
    DrainErrors(video);
    std::string status = video.pid > 0 ? WaitProgram(video.pid) : "";
    video.pid = -1;
    return status;
}

// Writes some of [data, data + length) without blocking; false when the
// reading end is gone.
bool WriteSome(int fd, const uint8_t *&data, size_t &length) {
    ssize_t written = write(fd, data, length);
    if (written < 0)
        return errno == EAGAIN || errno == EINTR;
    data += written;
    length -= static_cast<size_t>(written);
    return true;
}

// Feeds ffmpeg until the given picture bytes are all in its pipe, sending the
// sound backlog whenever that pipe has room and collecting what ffmpeg says,
// so that neither pipe can hold up the other.
bool Pump(VideoEncoder &video, const uint8_t *data, size_t length, bool flushSound) {
    while (length > 0 || (flushSound && !video.audioBacklog.empty())) {
        pollfd fds[3] = {{video.videoFd, POLLOUT, 0},
                         {video.audioBacklog.empty() ? -1 : video.audioFd, POLLOUT, 0},
                         {video.errorFd, POLLIN, 0}};
        if (length == 0)
            fds[0].fd = -1;
        if (poll(fds, 3, -1) < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (fds[2].revents & (POLLIN | POLLHUP))
            if (!ReadTail(video.errorFd, video.errorTail))
                CloseFd(video.errorFd);
        if ((fds[0].revents & (POLLERR | POLLHUP)) || (fds[1].revents & (POLLERR | POLLHUP)))
            return false;
        if ((fds[0].revents & POLLOUT) && !WriteSome(video.videoFd, data, length))
            return false;
        if (fds[1].revents & POLLOUT) {
            const uint8_t *sound = reinterpret_cast<const uint8_t *>(video.audioBacklog.data());
            size_t left = video.audioBacklog.size();
            if (!WriteSome(video.audioFd, sound, left))
                return false;
            video.audioBacklog.erase(0, video.audioBacklog.size() - left);
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
    bool started =
        SpawnProgram(FFMPEG, RemuxArguments(video.container, video.partial, video.output),
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
    WriteFully(video.videoFd, metadata.data(), metadata.size());
    std::string status = EndFfmpeg(video);
    if (status.empty())
        return true;
    error = FfmpegError(video, "adding the chapters", status);
    return false;
}

} // namespace

std::vector<std::string> EncodeArguments(const std::string &container, bool lossless, int width,
                                         int height, int sampleRate, const std::string &partial) {
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
                                          "-f",
                                          "s16le",
                                          "-ar",
                                          std::to_string(sampleRate),
                                          "-ac",
                                          "2",
                                          "-i",
                                          "pipe:" + std::to_string(AUDIO_CHILD_FD),
                                          "-map",
                                          "0:v",
                                          "-map",
                                          "1:a"};
    std::vector<std::string> codecs = CodecArguments(container, lossless);
    arguments.insert(arguments.end(), codecs.begin(), codecs.end());
    arguments.insert(arguments.end(), {"-f", "matroska", partial});
    return arguments;
}

std::vector<std::string> RemuxArguments(const std::string &container, const std::string &partial,
                                        const std::string &output) {
    std::vector<std::string> arguments = {"-hide_banner",
                                          "-loglevel",
                                          "error",
                                          "-nostdin",
                                          "-y",
                                          "-i",
                                          partial,
                                          "-f",
                                          "ffmetadata",
                                          "-i",
                                          "pipe:0",
                                          "-map",
                                          "0",
                                          "-map_metadata",
                                          "1",
                                          "-map_chapters",
                                          "1",
                                          "-c",
                                          "copy"};
    if (container == "mp4")
        arguments.insert(arguments.end(), {"-movflags", "+faststart"});
    arguments.insert(arguments.end(), {"-f", Muxer(container), output});
    return arguments;
}

std::string PartialPath(const std::string &output) {
    size_t slash = output.find_last_of('/');
    std::string directory = slash == std::string::npos ? "" : output.substr(0, slash + 1);
    std::string name = slash == std::string::npos ? output : output.substr(slash + 1);
    return directory + "." + name + "." + std::to_string(getpid()) + ".partial.mkv";
}

bool VideoOpen(VideoEncoder &video, const std::string &output, const std::string &container,
               bool lossless, int width, int height, std::string &error) {
    video = VideoEncoder{};
    video.output = output;
    video.partial = PartialPath(output);
    video.container = container;
    video.lossless = lossless;
    int pictures[2] = {-1, -1}, sound[2] = {-1, -1}, errors[2] = {-1, -1};
    if (!MakePipe(pictures) || !MakePipe(sound) || !MakePipe(errors)) {
        error = FileError(output, errno);
        for (int fd : {pictures[0], pictures[1], sound[0], sound[1], errors[0], errors[1]})
            if (fd >= 0)
                close(fd);
        return false;
    }
    bool started = SpawnProgram(
        FFMPEG,
        EncodeArguments(container, lossless, width, height, CAPTURE_SAMPLE_RATE, video.partial),
        {{pictures[0], 0}, {sound[0], AUDIO_CHILD_FD}, {errors[1], 2}}, video.pid, error);
    close(pictures[0]);
    close(sound[0]);
    close(errors[1]);
    video.videoFd = pictures[1];
    video.audioFd = sound[1];
    video.errorFd = errors[0];
    if (!started) {
        error = output + ": " + error;
        CloseAll(video);
        return false;
    }
    // Larger pipes mean fewer trips through ffmpeg's reader; failure is harmless.
    fcntl(video.videoFd, F_SETPIPE_SZ, PIPE_BYTES);
    fcntl(video.audioFd, F_SETPIPE_SZ, PIPE_BYTES);
    for (int fd : {video.videoFd, video.audioFd, video.errorFd})
        fcntl(fd, F_SETFL, O_NONBLOCK);
    return true;
}

bool VideoWrite(VideoEncoder &video, const uint8_t *rgb, size_t rgbBytes, const int16_t *sound,
                size_t soundBytes, std::string &error) {
    video.audioBacklog.append(reinterpret_cast<const char *>(sound), soundBytes);
    if (Pump(video, rgb, rgbBytes, false))
        return true;
    error = FfmpegError(video, "encoding", EndFfmpeg(video));
    unlink(video.partial.c_str());
    return false;
}

bool VideoFinish(VideoEncoder &video, const std::string &metadata, std::string &error) {
    CloseFd(video.videoFd);
    bool fed = Pump(video, nullptr, 0, true);
    std::string status = EndFfmpeg(video);
    if (!fed || !status.empty()) {
        error = FfmpegError(video, "encoding", status);
        unlink(video.partial.c_str());
        return false;
    }
    video.errorTail.clear();
    bool ok = Remux(video, metadata, error);
    unlink(video.partial.c_str());
    return ok;
}

void VideoAbandon(VideoEncoder &video) {
    if (video.pid > 0) {
        kill(video.pid, SIGKILL);
        WaitProgram(video.pid);
    }
    video.pid = -1;
    CloseAll(video);
    if (!video.partial.empty())
        unlink(video.partial.c_str());
}
