// The generator's and the renderer's command lines, including their failures.
#include "module_fixture.h"

#include "tools/module/measure.h"
#include "tools/module/render.h"
#include "tools/module/song.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <sys/stat.h>

namespace {

bool Exists(const std::string &path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

TEST(ModuleTools, GeneratorIsDeterministic) {
    std::string dir = MakeTempDir();
    ASSERT_EQ(RunCommand(std::string(MAKE_MODULE_PATH) + " " + dir + "/again.xm"), 0);
    std::ifstream in(dir + "/again.xm", std::ios::binary);
    std::vector<uint8_t> again((std::istreambuf_iterator<char>(in)),
                               std::istreambuf_iterator<char>());
    EXPECT_TRUE(again == Generated().bytes);
    RunCommand("rm -r '" + dir + "'");
}

TEST(ModuleTools, GeneratorRefusesBadArgumentsAndUnwritablePaths) {
    EXPECT_EQ(RunCommand(std::string(MAKE_MODULE_PATH) + " 2>/dev/null"), 2);
    EXPECT_EQ(RunCommand(std::string(MAKE_MODULE_PATH) + " a.xm b.xm 2>/dev/null"), 2);
    std::string dir = MakeTempDir();
    std::string path = dir + "/missing/music.xm";
    EXPECT_EQ(RunCommand(std::string(MAKE_MODULE_PATH) + " " + path + " 2>/dev/null"), 1);
    EXPECT_FALSE(Exists(path));
    RunCommand("rm -r '" + dir + "'");
}

TEST(ModuleTools, RendererWritesAWavAndRefusesWhatIsNotAModule) {
    std::string dir = MakeTempDir();
    std::string xm = dir + "/music.xm", wav = dir + "/music.wav";
    {
        std::ofstream out(xm, std::ios::binary);
        out.write(reinterpret_cast<const char *>(Generated().bytes.data()),
                  static_cast<std::streamsize>(Generated().bytes.size()));
    }
    std::string render = std::string(RENDER_MODULE_PATH) + " --seconds 2 ";
    ASSERT_EQ(RunCommand(render + xm + " " + wav + " >/dev/null"), 0);
    std::ifstream in(wav, std::ios::binary);
    std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(data.substr(0, 4), "RIFF");
    EXPECT_EQ(data.substr(8, 8), "WAVEfmt ");
    EXPECT_GE(data.size(), 44u + 2 * RENDER_RATE * 4); // two seconds of stereo 16-bit
    EXPECT_EQ((data.size() - 44) % 4, 0u);
    {
        std::ofstream out(xm, std::ios::binary);
        out << "not a module";
    }
    EXPECT_EQ(RunCommand(render + xm + " " + wav + " 2>/dev/null"), 1);
    EXPECT_EQ(RunCommand(render + dir + "/none.xm " + wav + " 2>/dev/null"), 1);
    RunCommand("rm -r '" + dir + "'");
}

TEST(ModuleTools, WriterRefusesWhatXmCannotHold) {
    XmModule m = ComposeSong();
    m.instruments[0].name = std::string(23, 'x');
    EXPECT_THROW(SerializeXm(m), std::runtime_error);
    m = ComposeSong();
    m.instruments[0].volumeEnvelope.points.resize(13);
    EXPECT_THROW(SerializeXm(m), std::runtime_error);
    m = ComposeSong();
    m.patterns[0].channels = 13;
    EXPECT_THROW(SerializeXm(m), std::logic_error);
}

// Two seconds of a sine of `hz` on the left, times `right` on the right.
std::vector<int16_t> Sine(double hz, double right) {
    std::vector<int16_t> pcm;
    for (int i = 0; i < 2 * RENDER_RATE; i++) {
        double v = 10000.0 * std::sin(2.0 * M_PI * hz * i / RENDER_RATE);
        pcm.push_back(static_cast<int16_t>(std::lround(v)));
        pcm.push_back(static_cast<int16_t>(std::lround(v * right)));
    }
    return pcm;
}

TEST(ModuleTools, MeasuresOfLowEndAndWidth) {
    const struct {
        double hz, right, lowShare, correlation, sideDb;
    } CASES[] = {
        {50.0, 1.0, 1.0, 1.0, -200.0},   // mono bass: all low, no side at all
        {1000.0, 1.0, 0.0, 1.0, -200.0}, // mono tone above the edge
        {90.0, 0.0, 1.0, 0.0, 0.0},      // left only: side as loud as mid
        {120.0, -1.0, 0.0, -1.0, 200.0}, // opposed: nothing left in mono
        {440.0, 0.5, 0.0, 1.0, -9.54},   // panned: side a third of mid
    };
    for (const auto &c : CASES) {
        SCOPED_TRACE(c.hz);
        std::vector<int16_t> pcm = Sine(c.hz, c.right);
        EXPECT_NEAR(LowShare(pcm, 0, pcm.size() / 2, 100.0), c.lowShare, 0.01);
        Width w = MeasureWidth(pcm, 0, pcm.size() / 2);
        EXPECT_NEAR(w.correlation, c.correlation, 0.01);
        EXPECT_NEAR(std::clamp(w.sideDb, -200.0, 200.0), c.sideDb, 0.05);
    }
}

} // namespace
