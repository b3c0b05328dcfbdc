// WAV, PNG and manifest files: contents read back independently, and the
// failures (missing directory, full disk) reported with file and reason.
#include "capture/files.h"
#include "capture/outputs.h"

#include <cstring>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <png.h>
#include <vector>

namespace {

std::string Slurp(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

uint32_t Get32(const std::string &bytes, size_t at) {
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = value << 8 | static_cast<uint8_t>(bytes[at + i]);
    return value;
}

class CaptureFiles : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/capture-files-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        directory = pattern;
    }
    void TearDown() override {
        std::filesystem::remove_all(directory);
    }
    std::string directory;
};

TEST_F(CaptureFiles, WavHeaderCarriesTheSizesOnceFinished) {
    WavFile wav;
    std::string error;
    std::string path = directory + "/a.wav";
    ASSERT_TRUE(WavCreate(wav, path, 44100, error)) << error;
    std::vector<int16_t> sound(2 * 882);
    for (size_t i = 0; i < sound.size(); ++i)
        sound[i] = static_cast<int16_t>(i * 37);
    for (int frame = 0; frame < 3; ++frame)
        ASSERT_TRUE(WavAppend(wav, sound.data(), 882, error)) << error;
    // Before the finish the header still says "empty": an interrupted run
    // must go through WavFinish.
    EXPECT_EQ(Get32(Slurp(path), 40), 0u);
    ASSERT_TRUE(WavFinish(wav, error)) << error;

    std::string bytes = Slurp(path);
    ASSERT_EQ(bytes.size(), 44u + 3 * 882 * 4);
    EXPECT_EQ(bytes.substr(0, 4), "RIFF");
    EXPECT_EQ(Get32(bytes, 4), bytes.size() - 8);
    EXPECT_EQ(bytes.substr(8, 8), "WAVEfmt ");
    EXPECT_EQ(Get32(bytes, 24), 44100u);      // rate
    EXPECT_EQ(Get32(bytes, 28), 44100u * 4);  // bytes per second
    EXPECT_EQ(Get32(bytes, 22) & 0xffff, 2u); // channels
    EXPECT_EQ(Get32(bytes, 34) & 0xffff, 16u);
    EXPECT_EQ(bytes.substr(36, 4), "data");
    EXPECT_EQ(Get32(bytes, 40), 3u * 882 * 4);
    EXPECT_EQ(memcmp(bytes.data() + 44 + 882 * 4, sound.data(), 882 * 4), 0);
}

TEST_F(CaptureFiles, FailuresNameTheFileAndTheReason) {
    std::string error;
    WavFile wav;
    EXPECT_FALSE(WavCreate(wav, directory + "/missing/a.wav", 44100, error));
    EXPECT_EQ(error, directory + "/missing/a.wav: No such file or directory");

    // /dev/full takes the open and refuses every write, like a full disk.
    EXPECT_FALSE(WavCreate(wav, "/dev/full", 44100, error));
    EXPECT_EQ(error, "/dev/full: No space left on device");

    std::vector<uint8_t> rgb(64 * 48 * 3, 200);
    EXPECT_FALSE(WritePng("/dev/full", rgb.data(), 64, 48, error));
    EXPECT_EQ(error, "/dev/full: No space left on device");
    EXPECT_FALSE(WritePng(directory + "/missing/f.png", rgb.data(), 64, 48, error));
    EXPECT_EQ(error, directory + "/missing/f.png: No such file or directory");

    Manifest manifest;
    ASSERT_TRUE(ManifestCreate(manifest, "/dev/full", error));
    EXPECT_TRUE(ManifestAdd(manifest, 0, 0, 4, error)); // buffered
    EXPECT_FALSE(ManifestFinish(manifest, error));
    EXPECT_EQ(error, "/dev/full: No space left on device");
}

std::vector<uint8_t> ReadPngPixels(const std::string &path, int width, int height) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str()))
        return {};
    EXPECT_EQ(image.width, unsigned(width));
    EXPECT_EQ(image.height, unsigned(height));
    image.format = PNG_FORMAT_RGB;
    std::vector<uint8_t> back(PNG_IMAGE_SIZE(image));
    png_image_finish_read(&image, nullptr, back.data(), 0, nullptr);
    return back;
}

// A frame whose bytes differ from those of its neighbours and of its own
// neighbouring rows and pixels.
std::vector<uint8_t> Pattern(size_t bytes, int seed) {
    std::vector<uint8_t> rgb(bytes);
    for (size_t i = 0; i < rgb.size(); ++i)
        rgb[i] = static_cast<uint8_t>(i * 7 + i / 111 + seed * 31);
    return rgb;
}

TEST_F(CaptureFiles, PngHoldsTheFrameExactly) {
    for (auto [width, height] :
         {std::pair{37, 5}, {1, 1}, {640, 3}}) { // odd widths: unaligned rows
        std::vector<uint8_t> rgb = Pattern(size_t(width) * height * 3, width);
        std::string path = directory + "/f.png", error;
        ASSERT_TRUE(WritePng(path, rgb.data(), width, height, error)) << error;
        EXPECT_EQ(ReadPngPixels(path, width, height), rgb) << width << "x" << height;
    }
}

TEST_F(CaptureFiles, ManifestLineIsFrameCrcAndBlocks) {
    // The standard CRC-32 check value: "123456789" gives cbf43926.
    CaptureOptions options;
    options.manifestPath = directory + "/m.txt";
    CaptureOutputs outputs;
    std::string error;
    ASSERT_TRUE(OpenOutputs(options, 1, 3, outputs, error)) << error;
    const uint8_t rgb[] = {'1', '2', '3', '4', '5', '6', '7', '8', '9'};
    ASSERT_TRUE(WriteFrame(options, outputs, 1234567, rgb, 1, 3, nullptr, 0, 0x71, error));
    ASSERT_TRUE(WriteFrame(options, outputs, 1234568, rgb, 1, 3, nullptr, 0, 0x4, error));
    ASSERT_TRUE(FinishOutputs(outputs, error)) << error;
    EXPECT_EQ(Slurp(options.manifestPath), "1234567 cbf43926 71\n1234568 cbf43926 04\n");
}

TEST_F(CaptureFiles, DirectoryOutputNumbersFramesAndCountsSound) {
    CaptureOptions options;
    options.output = directory + "/new/deeper";
    options.outputKind = OutputKind::Directory;
    options.start = 98;
    CaptureOutputs outputs;
    std::string error;
    ASSERT_TRUE(OpenOutputs(options, 4, 2, outputs, error)) << error;
    std::vector<int16_t> sound(2 * 882, 3);
    // More frames than the queue holds, each written into the buffer the
    // writers take over: a buffer reused too early shows as a wrong frame.
    const int64_t end = 98 + 12;
    for (int64_t frame = 98; frame < end; ++frame) {
        std::vector<uint8_t> rgb = Pattern(4 * 2 * 3, int(frame));
        uint8_t *target = FrameBuffer(outputs, rgb.size());
        std::copy(rgb.begin(), rgb.end(), target);
        ASSERT_TRUE(WriteFrame(options, outputs, frame, target, 4, 2, sound.data(), 882, 4, error))
            << error;
    }
    ASSERT_TRUE(FinishOutputs(outputs, error)) << error;
    for (int64_t frame = 98; frame < end; ++frame)
        EXPECT_EQ(ReadPngPixels(options.output + "/" + FrameFileName(frame), 4, 2),
                  Pattern(4 * 2 * 3, int(frame)))
            << frame;
    EXPECT_EQ(std::filesystem::file_size(options.output + "/audio.wav"), 44u + 12 * 882 * 4);

    CaptureOptions blocked = options;
    blocked.output = directory + "/new/deeper/frame-000098.png"; // a file, not a directory
    CaptureOutputs other;
    EXPECT_FALSE(OpenOutputs(blocked, 4, 2, other, error));
    EXPECT_NE(error.find(blocked.output), std::string::npos) << error;
}

} // namespace
