// Whole captures of the presentation: timing of every scene change against
// the module's rows and ticks, the sound frame by frame, determinism, what
// key frames show, the video file, interruption and failures.
#include "capture_run_support.h"

#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <thread>

namespace {

constexpr int FPS = 50;
constexpr int RATE = 44100;
constexpr int SAMPLES_PER_FRAME = RATE / FPS;
constexpr int WAV_HEADER = 44;
constexpr int64_t REFERENCE_FRAMES = 1100; // past the tunnel and its first pulse

// The opening runs on frame counters: 34 frames of fading title, the frame
// that hands over to the wipe, 50 more wipe frames; the next frame (index
// 85, the demo's frame 86) resumes the music, and its sound, rendered after
// its picture, is the first of the song.
constexpr int64_t MUSIC_FRAME = 34 + 1 + 50;
// Speed 3, tempo 155: a tick lasts 2.5 / 155 s. The player renders whole
// sample ticks, floor(44100 x 2.5 / 155) = 711 samples (the exact 711.29
// would put order 6 a quarter frame later, in the next frame).
constexpr int64_t SAMPLES_PER_TICK = RATE * 25 / 1550;
constexpr int TICKS_PER_ROW = 3;

// The frame whose picture first shows an event at the given row of the song:
// the event fires while the sound of the frame that holds its tick is
// rendered, after that frame's picture.
int64_t FrameShowingRow(int64_t row) {
    int64_t sample = MUSIC_FRAME * SAMPLES_PER_FRAME + row * TICKS_PER_ROW * SAMPLES_PER_TICK;
    return sample / SAMPLES_PER_FRAME + 1;
}

constexpr uint32_t PANELS = 0x01, WIPE = 0x02, TITLE = 0x04, SLIDE = 0x08, TUNNEL = 0x10,
                   OBJECT = 0x20, SCROLLER = 0x40;

std::string referenceDir, referenceManifest, referenceTemp;

class CaptureRun : public ::testing::Test {
  protected:
    // One capture of the first 22 seconds, shared by the tests that only look.
    static void SetUpTestSuite() {
        std::string base = MakeTempDirectory("capture-reference");
        referenceDir = base + "/frames";
        referenceManifest = base + "/manifest.txt";
        referenceTemp = base + "/tmp";
        std::filesystem::create_directory(referenceTemp);
        ToolRun run = RunTool({"--frames", std::to_string(REFERENCE_FRAMES), "--manifest",
                               referenceManifest, referenceDir},
                              referenceTemp);
        ASSERT_EQ(run.status, 0) << run.errors;
    }
    static void TearDownTestSuite() {
        if (!referenceDir.empty())
            std::filesystem::remove_all(std::filesystem::path(referenceDir).parent_path());
    }
    void SetUp() override {
        directory = MakeTempDirectory("capture-run");
        temp = directory + "/tmp";
        std::filesystem::create_directory(temp);
    }
    void TearDown() override {
        // Whatever the run did, it left nothing in its temp directory.
        EXPECT_EQ(EntriesIn(temp), 0u);
        std::filesystem::remove_all(directory);
    }
    Image Reference(int64_t frame) {
        return ReadPng(referenceDir + "/frame-" + Six(frame) + ".png");
    }
    static std::string Six(int64_t frame) {
        char text[16];
        snprintf(text, sizeof text, "%06lld", static_cast<long long>(frame));
        return text;
    }
    std::string directory, temp;
};

// ---- Timing ------------------------------------------------------------

TEST_F(CaptureRun, OpeningFollowsTheFrameCounters) {
    std::vector<ManifestEntry> manifest = ReadManifest(referenceManifest);
    ASSERT_EQ(manifest.size(), size_t(REFERENCE_FRAMES));
    EXPECT_EQ(EntriesIn(referenceTemp), 0u);
    for (int64_t f = 0; f < REFERENCE_FRAMES; ++f)
        ASSERT_EQ(manifest[f].frame, f);
    auto blocks = [&](int64_t f) { return manifest[f].blocks; };
    for (int64_t f = 0; f < 34; ++f)
        EXPECT_EQ(blocks(f), TITLE) << f;
    EXPECT_EQ(blocks(34), TITLE | WIPE); // the wipe starts in the frame the title ends
    for (int64_t f = 35; f < MUSIC_FRAME; ++f)
        EXPECT_EQ(blocks(f), WIPE) << f;
    for (int64_t f = MUSIC_FRAME; f < MUSIC_FRAME + 100; ++f)
        EXPECT_EQ(blocks(f), TITLE) << f;
    EXPECT_EQ(blocks(MUSIC_FRAME + 100), PANELS | SCROLLER);
}

TEST_F(CaptureRun, SceneChangesFollowTheModulesRowsAndTicks) {
    std::vector<ManifestEntry> manifest = ReadManifest(referenceManifest);
    // Orders 2, 4 and 6 begin after 128, 256 and 384 rows of 64-row patterns.
    int64_t slide = FrameShowingRow(128), object = FrameShowingRow(256),
            tunnel = FrameShowingRow(384);
    EXPECT_EQ(FirstFrameWith(manifest, SLIDE), slide);
    EXPECT_EQ(FirstFrameWith(manifest, OBJECT), object);
    EXPECT_EQ(FirstFrameWith(manifest, TUNNEL | OBJECT), tunnel);
    // Between the changes every frame draws exactly its scene and the scroller.
    for (const ManifestEntry &entry : manifest) {
        if (entry.frame < MUSIC_FRAME + 100)
            continue;
        uint32_t expected = entry.frame < slide    ? PANELS
                            : entry.frame < object ? SLIDE
                            : entry.frame < tunnel ? OBJECT
                                                   : OBJECT | TUNNEL;
        ASSERT_EQ(entry.blocks, expected | SCROLLER) << "frame " << entry.frame;
    }
}

// The inner, red copy of the lit object swells past the green outer copy for
// the frames after a pulse: count the pixels where red clearly leads green.
int RedRim(const Image &image) {
    int count = 0;
    for (int y = image.height / 2 - 120; y < image.height / 2 + 120; ++y)
        for (int x = image.width / 2 - 120; x < image.width / 2 + 120; ++x) {
            const uint8_t *p = image.At(x, y);
            count += p[0] > p[1] + 40 && p[0] > 60;
        }
    return count;
}

TEST_F(CaptureRun, FirstPulseInTheTunnelFollowsTheFirstInstrumentSixNote) {
    // Instrument 6 plays on row 8 of each pattern: the first note after
    // order 6 is row 384 + 8.
    int64_t pulse = FrameShowingRow(384 + 8);
    ASSERT_LT(pulse + 1, REFERENCE_FRAMES);
    int before = RedRim(Reference(pulse - 1)), at = RedRim(Reference(pulse));
    int rested = RedRim(Reference(pulse + 7));
    EXPECT_GT(at, 100) << "before " << before << ", at " << at;
    EXPECT_LT(4 * before, at);
    // Seven frames later the pulse has decayed to its resting scale.
    EXPECT_LT(4 * rested, at) << "rested " << rested;
}

TEST_F(CaptureRun, SoundHoldsExactly882SamplesPerFrameAndStartsWithTheMusic) {
    std::string wav = ReadBytes(referenceDir + "/audio.wav");
    ASSERT_EQ(wav.size(), size_t(WAV_HEADER + REFERENCE_FRAMES * SAMPLES_PER_FRAME * 4));
    auto peak = [&](int64_t frame) {
        const int16_t *samples =
            reinterpret_cast<const int16_t *>(wav.data() + WAV_HEADER) + frame * 882 * 2;
        int loudest = 0;
        for (int i = 0; i < 882 * 2; ++i)
            loudest = std::max(loudest, std::abs(int(samples[i])));
        return loudest;
    };
    for (int64_t f = 0; f < MUSIC_FRAME; ++f)
        ASSERT_EQ(peak(f), 0) << "sound before the music, frame " << f;
    EXPECT_GT(peak(MUSIC_FRAME), 1000);
}

// ---- Determinism -------------------------------------------------------

TEST_F(CaptureRun, SecondCaptureIsIdentical) {
    ToolRun run = RunTool(
        {"--frames", std::to_string(REFERENCE_FRAMES), "--manifest", directory + "/m.txt"}, temp);
    ASSERT_EQ(run.status, 0) << run.errors;
    EXPECT_EQ(ReadBytes(directory + "/m.txt"), ReadBytes(referenceManifest));
}

TEST_F(CaptureRun, StartGivesTheMatchingPartOfAFullCapture) {
    const int64_t start = 1000, count = 100;
    ToolRun run = RunTool({"--start", std::to_string(start), "--frames", std::to_string(count),
                           "--manifest", directory + "/m.txt", directory + "/part"},
                          temp);
    ASSERT_EQ(run.status, 0) << run.errors;
    std::vector<ManifestEntry> part = ReadManifest(directory + "/m.txt");
    std::vector<ManifestEntry> full = ReadManifest(referenceManifest);
    ASSERT_EQ(part.size(), size_t(count));
    for (int64_t i = 0; i < count; ++i) {
        EXPECT_EQ(part[i].frame, full[start + i].frame);
        EXPECT_EQ(part[i].crc, full[start + i].crc) << "frame " << start + i;
        EXPECT_EQ(part[i].blocks, full[start + i].blocks) << "frame " << start + i;
    }
    std::string partSound = ReadBytes(directory + "/part/audio.wav");
    std::string fullSound = ReadBytes(referenceDir + "/audio.wav");
    ASSERT_EQ(partSound.size(), size_t(WAV_HEADER + count * SAMPLES_PER_FRAME * 4));
    EXPECT_TRUE(partSound.compare(WAV_HEADER, std::string::npos, fullSound,
                                  WAV_HEADER + start * SAMPLES_PER_FRAME * 4,
                                  count * SAMPLES_PER_FRAME * 4) == 0);
    EXPECT_EQ(ReadBytes(directory + "/part/frame-001050.png"),
              ReadBytes(referenceDir + "/frame-001050.png"));
    EXPECT_FALSE(std::filesystem::exists(directory + "/part/frame-000999.png"));
}

TEST_F(CaptureRun, SeedChangesTheWipeAndNothingElse) {
    ToolRun run =
        RunTool({"--seed", "12345", "--frames", "250", "--manifest", directory + "/m.txt"}, temp);
    ASSERT_EQ(run.status, 0) << run.errors;
    std::vector<ManifestEntry> seeded = ReadManifest(directory + "/m.txt");
    std::vector<ManifestEntry> full = ReadManifest(referenceManifest);
    ASSERT_EQ(seeded.size(), 250u);
    int differing = 0;
    for (int64_t f = 0; f < 250; ++f) {
        bool wipe = (full[f].blocks & WIPE) != 0;
        if (!wipe) {
            EXPECT_EQ(seeded[f].crc, full[f].crc) << "frame " << f;
        }
        differing += wipe && seeded[f].crc != full[f].crc;
    }
    EXPECT_GE(differing, 50); // the strips jitter at random in every wipe frame
}

// ---- What the frames show ---------------------------------------------

struct Region {
    int x0, y0, x1, y1;
};

// Pixels in the region whose test holds.
template <typename Test> int Count(const Image &image, Region r, Test test) {
    int count = 0;
    for (int y = r.y0; y < r.y1; ++y)
        for (int x = r.x0; x < r.x1; ++x)
            count += test(image.At(x, y));
    return count;
}

bool Lit(const uint8_t *p) {
    return p[0] + p[1] + p[2] > 60;
}

TEST_F(CaptureRun, KeyMomentsLookRight) {
    const Region screen{0, 0, 640, 480};
    // The first word fading in: lit only in the 60 rows below the centre
    // line, between about x = 80 and 560.
    Image title = Reference(20);
    ASSERT_EQ(title.width, 640);
    EXPECT_GT(Count(title, {80, 240, 560, 300}, Lit), 3000);
    EXPECT_EQ(Count(title, screen, Lit) - Count(title, {76, 238, 564, 302}, Lit), 0);

    // The wipe: the same band, torn into strips that reach past the word's
    // ends, some to the screen's edges.
    Image wipe = Reference(60);
    EXPECT_EQ(Count(wipe, screen, Lit) - Count(wipe, {0, 238, 640, 302}, Lit), 0);
    EXPECT_GT(Count(wipe, {0, 238, 60, 302}, Lit) + Count(wipe, {580, 238, 640, 302}, Lit), 20);

    // Panels: red, nothing green or blue to speak of.
    auto red = [](const uint8_t *p) { return p[0] > 80 && p[1] < 30 && p[2] < 30; };
    Image panels = Reference(MUSIC_FRAME + 100 + 40);
    EXPECT_GT(Count(panels, screen, red), 5000);

    // The scroller: orange letters in a band at the very bottom, nothing
    // else once the panels have flown off.
    auto orange = [](const uint8_t *p) {
        return p[0] > 150 && p[1] > 40 && p[1] < 0.6 * p[0] && p[2] < 30;
    };
    Image scroller = Reference(MUSIC_FRAME + 100 + 150);
    EXPECT_GT(Count(scroller, {0, 455, 640, 480}, orange), 1000);
    EXPECT_EQ(Count(scroller, {0, 0, 640, 452}, Lit), 0);

    // The tunnel: bright walls out at the corners, a dark ring of far-off,
    // fogged rings around the object in the middle.
    auto bright = [](const uint8_t *p) { return p[0] + p[1] + p[2] > 90; };
    Image tunnel = Reference(FrameShowingRow(384) + 20);
    auto share = [&](double inner, double outer) {
        int lit = 0, all = 0;
        for (int y = 0; y < 480; ++y)
            for (int x = 0; x < 640; ++x) {
                double r = std::hypot(x - 319.5, y - 239.5);
                if (r >= inner && r < outer) {
                    ++all;
                    lit += bright(tunnel.At(x, y));
                }
            }
        return double(lit) / all;
    };
    EXPECT_GT(share(300, 400), 0.25);
    EXPECT_LT(share(100, 130), 0.01);
}

TEST_F(CaptureRun, ScaleTwoShowsTheSamePictureSharper) {
    const int64_t frame = MUSIC_FRAME + 100 + 40; // panels and scroller
    ToolRun run = RunTool(
        {"--scale", "2", "--start", std::to_string(frame), "--frames", "1", directory + "/big"},
        temp);
    ASSERT_EQ(run.status, 0) << run.errors;
    Image big = ReadPng(directory + "/big/frame-" + Six(frame) + ".png");
    Image small = Reference(frame);
    ASSERT_EQ(big.width, 1280);
    ASSERT_EQ(big.height, 960);
    // Each 2 x 2 block of the large frame, averaged, matches the small frame
    // but for edges: small mean difference, few pixels far off.
    double total = 0;
    int far = 0;
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x)
            for (int c = 0; c < 3; ++c) {
                int sum = big.At(2 * x, 2 * y)[c] + big.At(2 * x + 1, 2 * y)[c] +
                          big.At(2 * x, 2 * y + 1)[c] + big.At(2 * x + 1, 2 * y + 1)[c];
                int difference = std::abs(sum / 4 - small.At(x, y)[c]);
                total += difference;
                far += difference > 64;
            }
    EXPECT_LT(total / (640 * 480 * 3), 3.0);
    EXPECT_LT(far, 640 * 480 * 3 / 100);
}

// ---- Video -------------------------------------------------------------

std::string Output(const std::string &command) {
    std::string text;
    FILE *pipe = popen(command.c_str(), "r");
    char buffer[4096];
    size_t count;
    while (pipe && (count = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        text.append(buffer, count);
    if (pipe)
        pclose(pipe);
    return text;
}

bool HaveFfmpeg() {
    return system("ffmpeg -version >/dev/null 2>&1") == 0 &&
           system("ffprobe -version >/dev/null 2>&1") == 0;
}

TEST_F(CaptureRun, Mp4HasTheFramesTheDurationAndAChapterPerScene) {
    if (!HaveFfmpeg())
        GTEST_SKIP() << "ffmpeg is not installed";
    std::string file = directory + "/run.mp4";
    ToolRun run = RunTool({"--frames", "200", "--manifest", directory + "/m.txt", file}, temp);
    ASSERT_EQ(run.status, 0) << run.errors;
    EXPECT_EQ(Output("ffprobe -v error -select_streams v:0 -count_frames -show_entries "
                     "stream=nb_read_frames,width,height -of csv=p=0 " +
                     file),
              "640,480,200\n");
    double video = atof(Output("ffprobe -v error -select_streams v:0 -show_entries "
                               "stream=duration -of csv=p=0 " +
                               file)
                            .c_str());
    double sound = atof(Output("ffprobe -v error -select_streams a:0 -show_entries "
                               "stream=duration -of csv=p=0 " +
                               file)
                            .c_str());
    EXPECT_NEAR(video, 4.0, 0.001);
    EXPECT_NEAR(sound, 4.0, 0.03); // AAC works in blocks of 1024 samples
    EXPECT_EQ(
        Output("ffprobe -v error -show_entries chapter=start_time,end_time:chapter_tags=title "
               "-of csv=p=0 " +
               file),
        "0.000000,0.680000,Title\n0.680000,1.700000,Wipe\n"
        "1.700000,3.700000,Second title\n3.700000,4.000000,Panels\n");
    EXPECT_EQ(EntriesIn(directory), 3u); // tmp, m.txt, run.mp4: nothing half-made beside it
}

// ---- Interruption and failures -----------------------------------------

// Ctrl+C while frames are being written: the run stops after the frame in
// hand and leaves complete, consistent files.
TEST_F(CaptureRun, InterruptFinishesWhatWasCaptured) {
    std::string frames = directory + "/frames";
    pid_t pid = StartTool({"--frames", "3000", "--manifest", directory + "/m.txt", frames}, temp,
                          directory + "/errors.txt");
    ASSERT_GT(pid, 0);
    for (int i = 0; i < 600 && !(std::filesystem::exists(frames) && EntriesIn(frames) > 120); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    kill(pid, SIGINT);
    EXPECT_EQ(WaitTool(pid), 130) << ReadBytes(directory + "/errors.txt");
    size_t pictures = EntriesIn(frames) - 1; // less audio.wav
    std::vector<ManifestEntry> manifest = ReadManifest(directory + "/m.txt");
    std::string wav = ReadBytes(frames + "/audio.wav");
    EXPECT_GT(pictures, 100u);
    EXPECT_LT(pictures, 3000u);
    EXPECT_EQ(manifest.size(), pictures);
    ASSERT_EQ(wav.size(), WAV_HEADER + pictures * SAMPLES_PER_FRAME * 4);
    uint32_t dataSize = 0;
    memcpy(&dataSize, wav.data() + 40, 4);
    EXPECT_EQ(dataSize, wav.size() - WAV_HEADER);
    EXPECT_NE(ReadBytes(directory + "/errors.txt").find("interrupted"), std::string::npos);
}

TEST_F(CaptureRun, InterruptedVideoIsPlayableToItsLastFrame) {
    if (!HaveFfmpeg())
        GTEST_SKIP() << "ffmpeg is not installed";
    std::string file = directory + "/run.mkv", manifest = directory + "/m.txt";
    pid_t pid = StartTool({"--frames", "3000", "--manifest", manifest, file}, temp,
                          directory + "/errors.txt");
    ASSERT_GT(pid, 0);
    // The manifest is written in blocks of 4 KB, some 280 frames each.
    for (int i = 0; i < 600 && !(std::filesystem::exists(manifest) &&
                                 std::filesystem::file_size(manifest) > 4096);
         ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    kill(pid, SIGINT);
    EXPECT_EQ(WaitTool(pid), 130) << ReadBytes(directory + "/errors.txt");
    size_t frames = ReadManifest(manifest).size();
    EXPECT_GT(frames, 280u);
    EXPECT_EQ(Output("ffprobe -v error -select_streams v:0 -count_frames -show_entries "
                     "stream=nb_read_frames -of csv=p=0 " +
                     file),
              std::to_string(frames) + "\n");
    EXPECT_EQ(EntriesIn(directory), 4u); // tmp, m.txt, errors.txt, run.mkv
}

// A temp directory mounted noexec cannot hold the player's code: the player
// is loaded from memory instead, and every frame is the same as usual.
TEST_F(CaptureRun, ANoexecTempDirectoryGivesTheSameFrames) {
    if (mount("tmpfs", temp.c_str(), "tmpfs", MS_NOEXEC | MS_NOSUID | MS_NODEV, "size=4m") != 0)
        GTEST_SKIP() << "cannot mount a noexec tmpfs here (" << strerror(errno) << ")";
    std::string manifest = directory + "/m.txt";
    ToolRun run =
        RunTool({"--frames", std::to_string(REFERENCE_FRAMES), "--manifest", manifest}, temp);
    size_t left = EntriesIn(temp);
    umount(temp.c_str());
    ASSERT_EQ(run.status, 0) << run.errors;
    EXPECT_EQ(left, 0u);
    EXPECT_TRUE(ReadManifest(manifest) == ReadManifest(referenceManifest));
}

TEST_F(CaptureRun, FailuresExitNonZeroNamingTheFile) {
    std::string blocker = directory + "/plain-file";
    FILE *file = fopen(blocker.c_str(), "w");
    ASSERT_NE(file, nullptr);
    fclose(file);
    ToolRun run = RunTool({"--frames", "5", blocker + "/frames"}, temp);
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.errors.find(blocker + "/frames: "), std::string::npos) << run.errors;

    run = RunTool({"--frames", "5", "--manifest", directory + "/missing/m.txt"}, temp);
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.errors.find(directory + "/missing/m.txt: No such file or directory"),
              std::string::npos)
        << run.errors;

    run = RunTool({"--scale", "12", directory + "/x"}, temp);
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.errors.find("--scale"), std::string::npos) << run.errors;
}

} // namespace
