// Video output through ffmpeg, checked with ffprobe and by decoding the file
// again; skipped where ffmpeg is not installed.
#include "capture/outputs.h"
#include "capture/video.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int WIDTH = 64, HEIGHT = 48;

std::string Output(const std::string &command) {
    std::string text;
    FILE *pipe = popen(command.c_str(), "r");
    if (pipe == nullptr)
        return text;
    char buffer[4096];
    size_t count;
    while ((count = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        text.append(buffer, count);
    pclose(pipe);
    return text;
}

bool HaveFfmpeg() {
    static const bool present = system("ffmpeg -version >/dev/null 2>&1") == 0 &&
                                system("ffprobe -version >/dev/null 2>&1") == 0;
    return present;
}

std::vector<uint8_t> Picture(int frame) {
    std::vector<uint8_t> rgb(WIDTH * HEIGHT * 3);
    for (size_t i = 0; i < rgb.size(); ++i)
        rgb[i] = static_cast<uint8_t>((i * 13 + frame * 29) ^ (i / 97));
    return rgb;
}

std::vector<int16_t> Sound(int frame) {
    std::vector<int16_t> sound(2 * 882);
    for (size_t i = 0; i < sound.size(); ++i)
        sound[i] = static_cast<int16_t>((i + frame * 1764) * 97 % 20000 - 10000);
    return sound;
}

class CaptureVideo : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!HaveFfmpeg())
            GTEST_SKIP() << "ffmpeg is not installed";
        char pattern[] = "/tmp/capture-video-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        directory = pattern;
    }
    void TearDown() override {
        if (!directory.empty())
            std::filesystem::remove_all(directory);
    }
    // Writes frames through the outputs (chapters at scene changes included).
    bool Capture(const std::string &name, bool lossless, int frames, std::string &error) {
        CaptureOptions options;
        options.output = directory + "/" + name;
        options.outputKind = OutputKind::Video;
        options.container = VideoContainerOf(name);
        options.lossless = lossless;
        CaptureOutputs outputs;
        if (!OpenOutputs(options, WIDTH, HEIGHT, outputs, error))
            return false;
        for (int frame = 0; frame < frames; ++frame) {
            uint32_t blocks = frame < 10 ? 0x04 : 0x02;
            if (!WriteFrame(options, outputs, frame, Picture(frame).data(), WIDTH, HEIGHT,
                            Sound(frame).data(), 882, blocks, error))
                return false;
        }
        bool finished = FinishOutputs(outputs, error);
        encodeCpu = outputs.video.encodeCpu;
        return finished;
    }
    size_t FilesInDirectory() {
        return std::distance(std::filesystem::directory_iterator(directory), {});
    }
    std::string directory;
    std::chrono::nanoseconds encodeCpu{}; // ffmpeg's, as --timings shows it
};

TEST_F(CaptureVideo, Mp4HasEveryFrameTheDurationAndTheChapters) {
    std::string error;
    ASSERT_TRUE(Capture("run.mp4", false, 25, error)) << error;
    std::string file = directory + "/run.mp4";
    EXPECT_EQ(Output("ffprobe -v error -select_streams v:0 -count_frames -show_entries "
                     "stream=nb_read_frames,r_frame_rate -of csv=p=0 " +
                     file),
              "50/1,25\n");
    double duration = atof(Output("ffprobe -v error -select_streams v:0 -show_entries "
                                  "stream=duration -of csv=p=0 " +
                                  file)
                               .c_str());
    EXPECT_NEAR(duration, 0.5, 0.001);
    EXPECT_EQ(
        Output("ffprobe -v error -show_entries chapter=start_time,end_time:chapter_tags=title "
               "-of csv=p=0 " +
               file),
        "0.000000,0.200000,Title\n0.200000,0.500000,Wipe\n");
    EXPECT_EQ(FilesInDirectory(), 1u); // the intermediate file is gone
    EXPECT_GT(encodeCpu.count(), 0);
}

TEST_F(CaptureVideo, LosslessMkvDecodesToTheSameBytes) {
    std::string error;
    ASSERT_TRUE(Capture("archive.mkv", true, 5, error)) << error;
    std::string file = directory + "/archive.mkv";
    std::string pictures =
        Output("ffmpeg -v error -i " + file + " -map 0:v -f rawvideo -pix_fmt rgb24 -");
    std::string sound = Output("ffmpeg -v error -i " + file + " -map 0:a -f s16le -");
    ASSERT_EQ(pictures.size(), 5u * WIDTH * HEIGHT * 3);
    ASSERT_EQ(sound.size(), 5u * 882 * 4);
    for (int frame = 0; frame < 5; ++frame) {
        std::vector<uint8_t> expected = Picture(frame);
        EXPECT_EQ(pictures.compare(frame * expected.size(), expected.size(),
                                   reinterpret_cast<const char *>(expected.data()),
                                   expected.size()),
                  0)
            << "frame " << frame;
        std::vector<int16_t> samples = Sound(frame);
        EXPECT_EQ(sound.compare(frame * 882 * 4, 882 * 4,
                                reinterpret_cast<const char *>(samples.data()), 882 * 4),
                  0)
            << "sound of frame " << frame;
    }
}

TEST_F(CaptureVideo, MissingFfmpegIsNamed) {
    std::string path = getenv("PATH");
    setenv("PATH", directory.c_str(), 1);
    std::string error;
    bool ok = Capture("x.mp4", false, 1, error);
    setenv("PATH", path.c_str(), 1);
    EXPECT_FALSE(ok);
    EXPECT_NE(error.find(directory + "/x.mp4: ffmpeg: No such file or directory (not installed"),
              std::string::npos)
        << error;
}

TEST_F(CaptureVideo, FfmpegFailureIsReportedAndLeavesNothing) {
    // A directory where ffmpeg's file should go: ffmpeg starts, cannot create
    // the file and ends; the next write finds the pipe closed, and the error
    // carries ffmpeg's own reason.
    std::string output = directory + "/x.mp4";
    std::filesystem::create_directory(PartialPath(output, "mkv"));
    std::string error;
    EXPECT_FALSE(Capture("x.mp4", false, 30, error));
    EXPECT_EQ(error.rfind(output + ": ffmpeg failed encoding (exit status", 0), 0u) << error;
    EXPECT_NE(error.find("Is a directory"), std::string::npos) << error;
    EXPECT_EQ(FilesInDirectory(), 1u); // only the planted directory

    EXPECT_FALSE(Capture("missing/y.mkv", false, 1, error));
    EXPECT_EQ(error, directory + "/missing/y.mkv: No such file or directory");
    EXPECT_EQ(FilesInDirectory(), 1u);
}

} // namespace
