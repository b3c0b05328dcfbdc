// The capture tool's parts that need no demo: options, WAV, PNG and manifest
// files, chapters, the progress line, and which blocks a frame drew.
#include "capture/blocks.h"
#include "capture/chapters.h"
#include "capture/options.h"
#include "capture/outputs.h"
#include "capture/partials.h"
#include "capture/png.h"
#include "capture/progress.h"
#include "driver/timeline.h"
#include "tests/support/image.h"
#include "tests/support/process.h"

#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <set>
#include <sys/resource.h>
#include <tuple>
#include <unistd.h>

namespace {

struct Parse {
    ParseResult result;
    CaptureOptions options;
    std::string error;
};

Parse ParseWords(std::vector<const char *> words) {
    words.insert(words.begin(), "brumlakor-capture");
    words.push_back(nullptr);
    Parse parse;
    parse.result =
        ParseCaptureOptions(static_cast<int>(words.size()) - 1, const_cast<char **>(words.data()),
                            parse.options, parse.error);
    return parse;
}

constexpr ParseResult RUN = ParseResult::Run, ERROR = ParseResult::Error;

// A run's options as "frames start scale seed output" (output: the video's
// container, "dir" or "none"; " lossless" after it).
std::string Summary(const CaptureOptions &o) {
    std::string output = o.outputKind == OutputKind::Video       ? o.container
                         : o.outputKind == OutputKind::Directory ? "dir"
                                                                 : "none";
    return std::to_string(o.frames) + " " + std::to_string(o.start) + " " +
           std::to_string(o.scale) + " " + std::to_string(o.seed) + " " + output +
           (o.lossless ? " lossless" : "");
}

// Words, result, and the summary of a run or a word in the error. Run one
// after another in one process: getopt must start afresh each time.
const std::tuple<std::vector<const char *>, ParseResult, const char *> OPTION_CASES[] = {
    {{"out"}, RUN, "3750 0 1 0 dir"},
    {{"--seconds", "1.25", "Run.MP4"}, RUN, "63 0 1 0 mp4"}, // 62.5 rounds up
    {{"--seconds", "0.005", "out"}, ERROR, "--seconds"},     // rounds to no frame
    {{"--seconds", "0x10", "out"}, ERROR, "--seconds"},      // decimal only
    {{"--frames", "1", "--start", "0", "--scale", "1", "--lossless", "x.mkv"},
     RUN,
     "1 0 1 0 mkv lossless"},
    {{"--frames", "1000000", "--start", "9000000", "out"}, RUN, "1000000 9000000 1 0 dir"},
    {{"--scale", "8", "--seed", "4294967295", "--manifest", "m"}, RUN, "3750 0 8 4294967295 none"},
    {{"--frames", "0", "out"}, ERROR, "--frames"},
    {{"--frames", "1000001", "out"}, ERROR, "--frames"},
    {{"--start", "9000001", "out"}, ERROR, "--start"},
    {{"--scale", "9", "out"}, ERROR, "--scale"},
    {{"--scale", "2x", "out"}, ERROR, "--scale"},
    {{"--seed", "4294967296", "out"}, ERROR, "--seed"},
    {{"--frames", "10", "--seconds", "1", "out"}, ERROR, "exclude"},
    {{"out", "--frames"}, ERROR, "--frames: missing"},
    {{"clip.avi"}, ERROR, "clip.avi"},
    {{"--lossless", "x.webm"}, ERROR, "x.webm"},
    {{}, ERROR, "no OUTPUT"},
    {{"--help"}, ParseResult::Help, ""},
    {{"--frames", "x", "--version"}, ERROR, "--frames"},
    {{"--version", "--frames", "x"}, ParseResult::Version, ""},
};

TEST(CaptureOptions, ValuesRangesKindsAndMistakes) {
    for (const auto &[words, result, expected] : OPTION_CASES) {
        Parse parse = ParseWords(words);
        SCOPED_TRACE(words.empty() ? "(none)" : words[0] + std::string(" ") + parse.error);
        ASSERT_EQ(parse.result, result);
        if (result == RUN)
            EXPECT_EQ(Summary(parse.options), expected);
        else
            EXPECT_NE(parse.error.find(expected), std::string::npos);
    }
}

uint32_t Get32(const std::string &bytes, size_t at) {
    uint32_t value;
    memcpy(&value, bytes.data() + at, 4); // little-endian, as x86-64
    return value;
}

class CaptureFiles : public ::testing::Test {
  protected:
    void TearDown() override {
        std::filesystem::remove_all(directory);
    }
    std::string directory = MakeTempDir("capture-files"), error; // a fresh one for each test
};

TEST_F(CaptureFiles, WavHeaderCarriesTheSizesAfterEveryAppend) {
    WavFile wav;
    std::string path = directory + "/a.wav";
    ASSERT_TRUE(WavCreate(wav, path, 44100, error)) << error;
    std::vector<int16_t> sound(2 * 882);
    for (size_t i = 0; i < sound.size(); ++i)
        sound[i] = static_cast<int16_t>(i * 37);
    for (int frame = 0; frame < 3; ++frame)
        ASSERT_TRUE(WavAppend(wav, sound.data(), 882, error)) << error;
    EXPECT_EQ(Get32(ReadFile(path), 40), 3 * 882 * 4u); // playable before the finish
    ASSERT_TRUE(WavFinish(wav, error)) << error;
    std::string bytes = ReadFile(path);
    ASSERT_EQ(bytes.size(), 44u + 3 * 882 * 4);
    EXPECT_EQ(bytes.substr(0, 16), std::string("RIFF") + bytes.substr(4, 4) + "WAVEfmt ");
    EXPECT_EQ(bytes.substr(36, 4), "data");
    // RIFF size, format size, PCM + channels, rate, bytes/s, align + bits, data size
    const std::pair<size_t, uint32_t> fields[] = {
        {4, 36 + 3 * 882 * 4}, {16, 16},           {20, 1 | 2 << 16}, {24, 44100},
        {28, 44100 * 4},       {32, 4 | 16 << 16}, {40, 3 * 882 * 4}};
    for (auto [at, value] : fields)
        EXPECT_EQ(Get32(bytes, at), value) << "at " << at;
    EXPECT_EQ(memcmp(bytes.data() + 44 + 882 * 4, sound.data(), 882 * 4), 0);
}

TEST_F(CaptureFiles, FailuresNameTheFileAndTheReason) {
    WavFile wav;
    std::vector<uint8_t> rgb(64 * 48 * 3, 200);
    Manifest manifest;
    // /dev/full takes the open and refuses every write, like a full disk.
    std::string full = "/dev/full: No space left on device", missing = directory + "/no/f";
    std::string absent = missing + ": No such file or directory";
    const std::pair<std::function<bool()>, std::string> cases[] = {
        {[&] { return WavCreate(wav, missing, 44100, error); }, absent},
        {[&] { return WritePng("/dev/full", rgb.data(), 64, 48, error); }, full},
        {[&] {
             return ManifestCreate(manifest, "/dev/full", error) &&
                    ManifestAdd(manifest, 0, 0, 4, error) && ManifestFinish(manifest, error);
         },
         full}};
    for (const auto &[call, message] : cases) {
        EXPECT_FALSE(call());
        EXPECT_EQ(error, message);
    }
}

// A frame whose bytes differ from its neighbours' and between its own rows.
std::vector<uint8_t> Pattern(size_t bytes, int seed) {
    std::vector<uint8_t> rgb(bytes);
    for (size_t i = 0; i < rgb.size(); ++i)
        rgb[i] = static_cast<uint8_t>(i * 7 + i / 111 + seed * 31);
    return rgb;
}

// A full disk met by a frame (its partial file is /dev/full) or by the sound
// (a size limit inside frame 5's): the frames before it stay, with their
// sound and manifest lines, and nothing of the later ones.
TEST_F(CaptureFiles, AFullDiskKeepsTheFramesBeforeItWithTheirSound) {
    constexpr size_t SOUND = 882 * 4;
    rlimit unlimited{};
    getrlimit(RLIMIT_FSIZE, &unlimited);
    auto before = signal(SIGXFSZ, SIG_IGN); // the write fails instead of ending the process
    for (bool frameFirst : {true, false}) {
        CaptureOptions options;
        options.output = directory + (frameFirst ? "/f" : "/s");
        options.outputKind = OutputKind::Directory;
        options.manifestPath = options.output + ".txt";
        std::filesystem::create_directory(options.output);
        if (frameFirst)
            std::filesystem::create_symlink("/dev/full", options.output + "/" +
                                                             PartialPath(FrameFileName(5), "png"));
        rlimit limit = {frameFirst ? unlimited.rlim_cur : 44 + 5 * SOUND + 100, unlimited.rlim_max};
        setrlimit(RLIMIT_FSIZE, &limit);
        CaptureOutputs outputs;
        ASSERT_TRUE(OpenOutputs(options, 3, 1, outputs, error)) << error;
        std::vector<int16_t> sound(2 * 882, 3);
        bool ok = true;
        for (int64_t frame = 0; frame < 12 && ok; ++frame)
            ok = WriteFrame(options, outputs, frame, Pattern(9, 0).data(), 3, 1, sound.data(), 882,
                            4, error);
        EXPECT_FALSE(ok && FinishOutputs(outputs, error));
        AbandonOutputs(outputs);
        setrlimit(RLIMIT_FSIZE, &unlimited);
        EXPECT_EQ(error, options.output + (frameFirst ? "/frame-000005.png: No space left on device"
                                                      : "/audio.wav: File too large"));
        std::vector<std::string> files = DirectoryEntries(options.output);
        std::set<std::string> kept = {"audio.wav"};
        for (int frame = 0; frame < 5; ++frame)
            kept.insert(FrameFileName(frame));
        EXPECT_EQ(std::set<std::string>(files.begin(), files.end()), kept);
        std::string wav = ReadFile(options.output + "/audio.wav");
        EXPECT_EQ(wav.size(), 44 + 5 * SOUND);
        EXPECT_EQ(Get32(wav, 40), 5 * SOUND);
        EXPECT_EQ(ReadFile(options.manifestPath).size(), 5 * ManifestLine(0, 0, 4).size());
    }
    signal(SIGXFSZ, before);
}

// Partial files of runs that are gone go with the next capture into their
// folder; those of running processes, and other files, stay.
TEST_F(CaptureFiles, TheNextCaptureRemovesWhatDeadRunsLeftUnfinished) {
    std::string dead = "4194305", alive = std::to_string(getppid()); // above any pid; the parent
    const std::pair<std::string, bool> files[] = {
        {".x.mp4." + dead + ".partial.mkv", false}, {".f.png." + dead + ".partial.png", false},
        {".x.mp4." + alive + ".partial.wav", true}, {"x.mp4." + dead + ".partial.mkv", true},
        {".x.mp4." + dead + ".partial.", true},     {".x.mp4.4x.partial.mkv", true},
        {"." + dead + ".partial.mkv", true}};
    for (const auto &[name, stays] : files)
        std::ofstream(directory + "/" + name).put('x');
    CaptureOptions options;
    options.output = directory;
    options.outputKind = OutputKind::Directory;
    CaptureOutputs outputs;
    ASSERT_TRUE(OpenOutputs(options, 3, 1, outputs, error)) << error;
    ASSERT_TRUE(FinishOutputs(outputs, error)) << error;
    for (const auto &[name, stays] : files)
        EXPECT_EQ(std::filesystem::exists(directory + "/" + name), stays) << name;
}

TEST_F(CaptureFiles, OutputsNumberTheFramesAndListThemInTheManifest) {
    CaptureOptions options;
    options.output = directory + "/new/deeper";
    options.outputKind = OutputKind::Directory;
    options.manifestPath = directory + "/m.txt";
    options.start = 98;
    CaptureOutputs outputs;
    ASSERT_TRUE(OpenOutputs(options, 3, 1, outputs, error)) << error;
    std::vector<int16_t> sound(2 * 882, 3);
    // More frames than the queue holds, each in the buffer the writers take
    // over: a buffer reused too early shows as a wrong frame.
    for (int64_t frame = 98; frame < 110; ++frame) {
        std::vector<uint8_t> rgb = Pattern(9, int(frame));
        if (frame == 98) // the standard CRC-32 check value: "123456789" gives cbf43926
            rgb = {'1', '2', '3', '4', '5', '6', '7', '8', '9'};
        uint8_t *target = FrameBuffer(outputs, rgb.size());
        std::copy(rgb.begin(), rgb.end(), target);
        ASSERT_TRUE(WriteFrame(options, outputs, frame, target, 3, 1, sound.data(), 882,
                               frame == 98 ? 0x71 : 4, error))
            << error;
    }
    ASSERT_TRUE(FinishOutputs(outputs, error)) << error;
    for (int64_t frame = 99; frame < 110; ++frame)
        EXPECT_EQ(ReadPng(options.output + "/" + FrameFileName(frame)).rgb, Pattern(9, int(frame)));
    std::string manifest = ReadFile(options.manifestPath); // frame, CRC-32, blocks
    EXPECT_EQ(manifest.substr(0, 18), "98 cbf43926 71\n99 ");
    EXPECT_EQ(manifest.substr(26, 8), " 04\n100 ");
    EXPECT_EQ(std::filesystem::file_size(options.output + "/audio.wav"), 44u + 12 * 882 * 4);
    options.output += "/frame-000098.png"; // a file, not a directory
    CaptureOutputs other;
    EXPECT_FALSE(OpenOutputs(options, 3, 1, other, error));
    EXPECT_NE(error.find(options.output), std::string::npos) << error;
}

// The opening as the timeline runs it, then the music's scenes with the scroller.
TEST(CaptureChapters, OneChapterPerSceneEndingAtTheNext) {
    const std::pair<int, uint32_t> steps[] = {{34, SCENE_TITLE},
                                              {1, SCENE_TITLE | SCENE_WIPE},
                                              {50, SCENE_WIPE},
                                              {99, SCENE_TITLE},
                                              {1, SCENE_TITLE | BLOCK_SCROLLER},
                                              {10, SCENE_PANELS | BLOCK_SCROLLER},
                                              {10, SCENE_SLIDE | BLOCK_SCROLLER},
                                              {10, SCENE_OBJECT | BLOCK_SCROLLER},
                                              {1, SCENE_OBJECT | SCENE_TUNNEL | BLOCK_SCROLLER}};
    ChapterList list;
    int64_t frame = 0;
    for (auto [count, blocks] : steps)
        for (int i = 0; i < count; ++i)
            ChapterAddFrame(list, frame++, blocks);
    std::string text = FfmetadataText(list, 300, "A=B;C#D\\E");
    std::string expected = ";FFMETADATA1\ntitle=A\\=B\\;C\\#D\\\\E\n";
    const std::tuple<int, int, const char *> chapters[] = {{0, 34, "Title"},
                                                           {34, 85, "Wipe"},
                                                           {85, 185, "Second title"},
                                                           {185, 195, "Panels"},
                                                           {195, 205, "Sliding picture"},
                                                           {205, 215, "Lit object"},
                                                           {215, 300, "Tunnel"}};
    for (auto [start, end, title] : chapters)
        expected += "[CHAPTER]\nTIMEBASE=1/50\nSTART=" + std::to_string(start) +
                    "\nEND=" + std::to_string(end) + "\ntitle=" + title + "\n";
    EXPECT_EQ(text, expected);
}

TEST(CaptureProgress, ShowsFramesSpeedAndTimeLeft) {
    // 100 of 400 frames (2 s of show) in 1 s: twice real time, 3 s left.
    std::string text = ProgressText(100, 400, 1.0);
    for (const char *part : {"100/400 frames", "2.00x real time", "0:03 left", "[#######       "})
        EXPECT_NE(text.find(part), std::string::npos) << text;
    EXPECT_EQ(ProgressText(0, 400, 0.0).find("real time"), std::string::npos);
}

// Each motion variable that an effect advances marks that effect's block.
TEST(CaptureBlocks, EachMotionVariableMarksItsBlock) {
    const std::pair<void (*)(MotionSnapshot &), uint32_t> cases[] = {
        {[](MotionSnapshot &m) { m.tunnelRoll += 1; }, SCENE_TUNNEL},
        {[](MotionSnapshot &m) { m.scrollPos += 1; }, BLOCK_SCROLLER},
        {[](MotionSnapshot &m) { m.spinAngle += 1; }, SCENE_OBJECT},
        {[](MotionSnapshot &m) { m.panelOffsetA += 1; }, SCENE_PANELS},
        {[](MotionSnapshot &m) { m.slidePhase += 1; }, SCENE_SLIDE},
        {[](MotionSnapshot &m) { m.wipeCountdown -= 1; }, SCENE_WIPE},
        {[](MotionSnapshot &m) { m.fadeAlpha += 1; }, SCENE_TITLE},
        {[](MotionSnapshot &m) { m.titlePhase += 1; }, SCENE_TITLE},
        {[](MotionSnapshot &m) { m.scrollerOn = 1; }, SCENE_TITLE}};
    MotionSnapshot before{};
    EXPECT_EQ(BlocksBetween(before, before), 0u);
    for (auto [change, block] : cases) {
        MotionSnapshot after = before;
        change(after);
        EXPECT_EQ(BlocksBetween(before, after), block) << block;
    }
}

} // namespace
