// Video output through ffmpeg, checked with ffprobe and by decoding the file
// again; skipped where ffmpeg is not installed.
#include "capture/outputs.h"
#include "capture/video.h"
#include "tests/support/process.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>

namespace {

constexpr int WIDTH = 64, HEIGHT = 48;

// Bytes that differ from frame to frame and within a frame's rows: a
// picture's RGB or a frame's sound.
std::string Bytes(size_t size, int frame) {
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<char>((i * 13 + frame * 29) ^ (i / 97));
    return bytes;
}
const auto Picture = [](int frame) { return Bytes(WIDTH * HEIGHT * 3, frame); };
const auto Sound = [](int frame) { return Bytes(882 * 4, frame + 1000); };

class CaptureVideo : public ::testing::Test {
  protected:
    void SetUp() override {
        if (std::system("ffmpeg -version >/dev/null 2>&1 && ffprobe -version >/dev/null 2>&1"))
            GTEST_SKIP() << "ffmpeg is not installed";
        directory = MakeTempDir("capture-video");
    }
    void TearDown() override {
        std::filesystem::remove_all(directory);
        std::filesystem::remove(directory + ".out");
    }
    std::string Output(const std::string &command) {
        EXPECT_EQ(std::system((command + " >" + directory + ".out").c_str()), 0) << command;
        return ReadFile(directory + ".out");
    }
    // Writes frames through the outputs: 10 of the title, then the wipe.
    bool Capture(const std::string &name, bool lossless, int frames) {
        CaptureOptions options;
        options.output = directory + "/" + name;
        options.outputKind = OutputKind::Video;
        options.container = VideoContainerOf(name);
        options.lossless = lossless;
        CaptureOutputs outputs;
        if (!OpenOutputs(options, WIDTH, HEIGHT, outputs, error))
            return false;
        for (int frame = 0; frame < frames; ++frame) {
            std::string sound = Sound(frame);
            if (!WriteFrame(options, outputs, frame,
                            reinterpret_cast<const uint8_t *>(Picture(frame).data()), WIDTH, HEIGHT,
                            reinterpret_cast<const int16_t *>(sound.data()), 882,
                            frame < 10 ? 0x04 : 0x02, error))
                return false;
        }
        bool finished = FinishOutputs(outputs, error);
        encodeCpu = outputs.video.encodeCpu;
        return finished;
    }
    std::string directory, error;
    std::chrono::nanoseconds encodeCpu{}; // ffmpeg's, as --timings shows it
};

TEST_F(CaptureVideo, EveryFrameAt50PerSecondAChapterPerSceneAndLosslessBytes) {
    for (auto [name, lossless] : {std::pair{"run.mp4", false}, {"archive.mkv", true}}) {
        ASSERT_TRUE(Capture(name, lossless, 25)) << error;
        std::string file = directory + "/" + name;
        EXPECT_EQ(Output("ffprobe -v error -count_frames -select_streams v:0 -show_entries "
                         "stream=r_frame_rate,nb_read_frames -of csv=p=0 " +
                         file),
                  "50/1,25\n");
        EXPECT_EQ(Output("ffprobe -v error -show_entries chapter=start_time,end_time:chapter_tags="
                         "title -of csv=p=0 " +
                         file),
                  "0.000000,0.200000,Title\n0.200000,0.500000,Wipe\n");
        EXPECT_GT(encodeCpu.count(), 0);
    }
    EXPECT_EQ(DirectoryEntries(directory).size(), 2u); // the intermediate files are gone
    std::string file = directory + "/archive.mkv", pictures, sound;
    for (int frame = 0; frame < 25; ++frame) {
        pictures += Picture(frame);
        sound += Sound(frame);
    }
    EXPECT_TRUE(Output("ffmpeg -v error -i " + file + " -map 0:v -f rawvideo -pix_fmt rgb24 -") ==
                pictures);
    EXPECT_TRUE(Output("ffmpeg -v error -i " + file + " -map 0:a -f s16le -") == sound);
}

TEST_F(CaptureVideo, NoFfmpegIsNamed) {
    std::string path = getenv("PATH");
    setenv("PATH", directory.c_str(), 1);
    EXPECT_FALSE(Capture("x.mp4", false, 1));
    setenv("PATH", path.c_str(), 1);
    EXPECT_EQ(
        error.rfind(directory + "/x.mp4: ffmpeg: No such file or directory (not installed", 0), 0u);
    EXPECT_TRUE(DirectoryEntries(directory).empty());
}

} // namespace
