// Whole captures of the presentation by the tool: the scene of every frame
// against the frame counters and the module's rows and ticks, the sound frame
// by frame, start and seed, and interruption.
#include "tests/support/image.h"
#include "tests/support/process.h"

#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <thread>

namespace fs = std::filesystem;

namespace {

constexpr int64_t FRAMES = 1100; // past the tunnel
constexpr size_t WAV_HEADER = 44, FRAME_SOUND = 882 * 4;
// 34 title frames, the one that hands over to the wipe and 50 more wipe
// frames: frame 85 resumes the music, its sound the first of the song.
constexpr int64_t MUSIC_FRAME = 85;
// Speed 3, tempo 155: the player renders whole ticks of 44100 x 2.5 / 155 samples.
constexpr int64_t SAMPLES_PER_TICK = 44100 * 25 / 1550;

// The first frame whose picture shows an event at a row of the song: it fires
// while the sound of the frame holding its tick is made, after the picture.
int64_t FrameShowingRow(int64_t row) {
    return (MUSIC_FRAME * 882 + row * 3 * SAMPLES_PER_TICK) / 882 + 1;
}

constexpr uint32_t PANELS = 0x01, WIPE = 0x02, TITLE = 0x04, SLIDE = 0x08, TUNNEL = 0x10,
                   OBJECT = 0x20, SCROLLER = 0x40;

struct Entry {
    int64_t frame;
    std::string crc;
    uint32_t blocks;
};

std::vector<Entry> ReadManifest(const std::string &path) {
    std::vector<Entry> entries;
    std::ifstream in(path);
    for (Entry e; in >> std::dec >> e.frame >> e.crc >> std::hex >> e.blocks;)
        entries.push_back(e);
    return entries;
}

std::string reference; // one capture of the first 22 s, shared by the tests that only look

class CaptureRun : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        reference = MakeTempDir("capture-reference");
        fs::create_directory(reference + "/tmp");
        ASSERT_EQ(Run(reference, {"--frames", std::to_string(FRAMES), "--manifest",
                                  reference + "/m.txt", reference + "/frames"}),
                  0);
    }
    static void TearDownTestSuite() {
        fs::remove_all(reference);
    }
    void SetUp() override {
        directory = MakeTempDir("capture-run");
        fs::create_directory(directory + "/tmp");
    }
    void TearDown() override {
        EXPECT_EQ(DirectoryEntries(directory + "/tmp").size(), 0u); // the run left nothing
        fs::remove_all(directory);
    }
    // Runs the tool with DIR/tmp as TMPDIR and its stderr in DIR/errors.txt.
    static pid_t Start(const std::string &dir, std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), CAPTURE_TOOL);
        return Spawn(arguments, {"TMPDIR=" + dir + "/tmp"}, dir + "/errors.txt");
    }
    static int Run(const std::string &dir, const std::vector<std::string> &arguments) {
        return WaitExit(Start(dir, arguments), 600000);
    }
    std::string directory;
};

TEST_F(CaptureRun, EveryFrameShowsTheSceneOfTheCountersAndTheModuleAndItsSound) {
    std::vector<Entry> manifest = ReadManifest(reference + "/m.txt");
    ASSERT_EQ(manifest.size(), size_t(FRAMES));
    // Orders 2, 4 and 6 begin after 128, 256 and 384 rows of 64-row patterns.
    const int64_t slide = FrameShowingRow(128), object = FrameShowingRow(256),
                  tunnel = FrameShowingRow(384);
    const std::tuple<int64_t, int64_t, uint32_t> spans[] = {
        {0, 34, TITLE},
        {34, 35, TITLE | WIPE}, // the wipe starts in the frame the title ends
        {35, MUSIC_FRAME, WIPE},
        {MUSIC_FRAME, MUSIC_FRAME + 100, TITLE},
        {MUSIC_FRAME + 100, slide, PANELS | SCROLLER},
        {slide, object, SLIDE | SCROLLER},
        {object, tunnel, OBJECT | SCROLLER},
        {tunnel, FRAMES, TUNNEL | OBJECT | SCROLLER}};
    for (auto [from, to, blocks] : spans)
        for (int64_t f = from; f < to; ++f) {
            ASSERT_EQ(manifest[f].frame, f);
            ASSERT_EQ(manifest[f].blocks, blocks) << "frame " << f;
        }
    // 882 samples of sound a frame, silent until the music's frame.
    std::string wav = ReadFile(reference + "/frames/audio.wav");
    ASSERT_EQ(wav.size(), WAV_HEADER + FRAMES * FRAME_SOUND);
    size_t sound = wav.find_first_not_of('\0', WAV_HEADER) - WAV_HEADER;
    EXPECT_EQ(static_cast<int64_t>(sound / FRAME_SOUND), MUSIC_FRAME);
}

// From frame 40 on, seeded: the same scenes, pictures and sound as the
// matching part of the full capture, but for the wipe's strips, which jitter
// at random in every wipe frame.
TEST_F(CaptureRun, StartAndSeedGiveTheMatchingPartButForTheWipe) {
    ASSERT_EQ(Run(directory, {"--start", "40", "--frames", "100", "--seed", "12345", "--manifest",
                              directory + "/m.txt", directory + "/part"}),
              0);
    std::vector<Entry> part = ReadManifest(directory + "/m.txt");
    std::vector<Entry> full = ReadManifest(reference + "/m.txt");
    ASSERT_EQ(part.size(), 100u);
    int differing = 0;
    for (size_t i = 0; i < 100; ++i) {
        const Entry &same = full[40 + i];
        EXPECT_EQ(part[i].frame * 1000 + part[i].blocks, same.frame * 1000 + same.blocks);
        EXPECT_TRUE(part[i].crc == same.crc || same.blocks & WIPE) << "frame " << same.frame;
        differing += part[i].crc != same.crc;
    }
    EXPECT_GE(differing, 40);
    EXPECT_TRUE(ReadFile(directory + "/part/audio.wav").substr(WAV_HEADER) ==
                ReadFile(reference + "/frames/audio.wav")
                    .substr(WAV_HEADER + 40 * FRAME_SOUND, 100 * FRAME_SOUND));
    EXPECT_EQ(ReadFile(directory + "/part/frame-000139.png"),
              ReadFile(reference + "/frames/frame-000139.png"));
    EXPECT_FALSE(fs::exists(directory + "/part/frame-000039.png"));
}

// A scaled capture draws the same picture, only sharper: over the whole
// drawable, not in its bottom-left corner at the size of one. Each 2 x 2
// block of the tunnel's last frame at scale 2 is close to its pixel at scale 1.
TEST_F(CaptureRun, ScaledFrameFillsItsPictureWithTheSameScene) {
    ASSERT_EQ(Run(directory, {"--start", std::to_string(FRAMES - 1), "--frames", "1", "--scale",
                              "2", directory + "/scaled"}),
              0);
    const std::string name = "/frame-" + std::string(6 - std::to_string(FRAMES - 1).size(), '0') +
                             std::to_string(FRAMES - 1) + ".png";
    Image one = ReadPng(reference + "/frames" + name), two = ReadPng(directory + "/scaled" + name);
    ASSERT_EQ(one.width * 2, two.width);
    ASSERT_EQ(one.height * 2, two.height);
    // Quarters of the picture: each must differ by little on average.
    double quarter[4] = {};
    for (int y = 0; y < one.height; ++y)
        for (int x = 0; x < one.width; ++x)
            for (int c = 0; c < 3; ++c) {
                int sum = 0;
                for (int d = 0; d < 4; ++d)
                    sum += two.Pixel(2 * x + d % 2, 2 * y + d / 2)[c];
                quarter[(y * 2 / one.height) * 2 + x * 2 / one.width] +=
                    std::abs(sum / 4.0 - one.Pixel(x, y)[c]);
            }
    for (double difference : quarter)
        EXPECT_LT(difference / (one.width * one.height / 4 * 3), 8.0);
}

// Ctrl+C while writing: the run stops after the frame in hand and leaves
// complete, consistent files. A second interrupt (another signal, so that the
// two cannot merge into one) stops it at once: the frames it names are whole,
// each listed and with its sound, and the next capture into the folder
// removes what the stop left unfinished.
TEST_F(CaptureRun, InterruptsLeaveWholeFramesListedWithTheirSound) {
    const std::pair<std::vector<int>, const char *> cases[] = {
        {{SIGINT}, "interrupted; kept "},
        {{SIGTERM, SIGINT}, "interrupted again, stopped at once; kept "}};
    for (const auto &[signals, said] : cases) {
        std::string frames = directory + "/" + std::to_string(signals.size()),
                    manifest = frames + ".txt";
        pid_t pid = Start(directory, {"--frames", "3000", "--manifest", manifest, frames});
        for (int i = 0; i < 600 && ReadFile(manifest).size() <= 4096; ++i) // some 280 frames
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        for (int number : signals)
            kill(pid, number);
        int code = WaitExit(pid, 60000); // or 128 + the second signal, which ends it
        EXPECT_TRUE(code == 130 || code == 128 + SIGTERM) << code;
        size_t count = ReadManifest(manifest).size();
        std::string errors = ReadFile(directory + "/errors.txt");
        EXPECT_NE(errors.find(said + std::to_string(count) + " frames"), std::string::npos)
            << errors;
        EXPECT_GT(count, 200u);
        EXPECT_LT(count, 3000u);
        std::vector<std::string> entries = DirectoryEntries(frames);
        EXPECT_EQ(
            std::count_if(entries.begin(), entries.end(),
                          [](const std::string &name) { return name.rfind("frame-", 0) == 0; }),
            count);
        std::string wav = ReadFile(frames + "/audio.wav");
        ASSERT_EQ(wav.size(), WAV_HEADER + count * FRAME_SOUND);
        uint32_t dataSize = 0;
        memcpy(&dataSize, wav.data() + 40, 4);
        EXPECT_EQ(dataSize, wav.size() - WAV_HEADER);
        ASSERT_EQ(Run(directory, {"--frames", "1", frames}), 0);
        EXPECT_EQ(DirectoryEntries(frames).size(), count + 1); // and audio.wav
    }
}

// Each program's answers: status 0 when they reach stdout, 1 when it is full.
TEST(ProgramAnswers, FailWhenStandardOutputIsFull) {
    for (std::string command :
         {CAPTURE_TOOL " --help", CAPTURE_TOOL " --version", DEMO_PROGRAM " --version"})
        for (auto [to, status] : {std::pair{" >/dev/null", 0}, {" >/dev/full 2>/dev/null", 1}})
            EXPECT_EQ(WEXITSTATUS(std::system((command + to).c_str())), status) << command << to;
}

} // namespace
