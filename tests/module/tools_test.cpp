// The generator's and the renderer's command lines, including their failures.
#include "module_fixture.h"

#include "tools/module/render.h"
#include "tools/module/song.h"

#include <gtest/gtest.h>

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

} // namespace
