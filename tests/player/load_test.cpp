// MusicLoad: the module's extent from its own headers, and the error codes for
// what is not a whole XM module.
#include "tests/player/player_test_util.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstring>

namespace {

class LoadTest : public PlayerTest {
  protected:
    void SetUp() override {
        PlayerTest::SetUp();
        ASSERT_EQ(BASSMOD_InitOffline(44100, 0), 1);
    }
    void TearDown() override {
        munmap(base, size);
        PlayerTest::TearDown();
    }
    int32_t Load(const void *data, size_t length) {
        int32_t r = BASSMOD_MusicLoad(1, data, 0, static_cast<uint32_t>(length), MUSIC_LOOP);
        return r ? PLAYER_OK : BASSMOD_ErrorGetCode();
    }
    // A copy that ends just before an inaccessible page: a read past the
    // module ends the test with a crash.
    const uint8_t *Guarded(const std::vector<uint8_t> &module) {
        munmap(base, size);
        size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE)), data = module.size() / page + 1;
        size = (data + 1) * page;
        base = static_cast<uint8_t *>(
            mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
        mprotect(base + data * page, page, PROT_NONE);
        return static_cast<uint8_t *>(
            std::memcpy(base + data * page - module.size(), module.data(), module.size()));
    }
    uint8_t *base = nullptr;
    size_t size = 0;
};

// With length 0 the extent comes from the headers (samples of 4-bit ADPCM
// take half a byte a frame, rounded up): nothing past the module is read, and
// it plays as the module handed over with its exact length does.
TEST_F(LoadTest, LengthZeroReadsTheModuleAndNothingPastIt) {
    XmSong adpcm = DemoLikeSong();
    adpcm.adpcm = true;
    adpcm.sampleLength = 255;
    for (const std::vector<uint8_t> &module : {WriteXm(DemoLikeSong()), WriteXm(adpcm)}) {
        ASSERT_EQ(Load(Guarded(module), 0), PLAYER_OK);
        BASSMOD_MusicSetSync(SYNC_ONETIME_POSITION, MakeParam(1, 0), RecordSync, 1);
        BASSMOD_MusicPlay();
        auto fromGuarded = Render(PATTERN_FRAMES + 4096, 4096);
        ASSERT_EQ(Load(module.data(), module.size()), PLAYER_OK);
        BASSMOD_MusicPlay();
        EXPECT_TRUE(Render(PATTERN_FRAMES + 4096, 4096) == fromGuarded);
    }
    EXPECT_EQ(FiredWithUser(1).size(), 2u);
}

// Damaged modules, each refused without reading past its end: cut in the song
// header, a pattern, an instrument header or sample data; an older format
// (1.02 lays patterns out differently); no channels; a pattern or a song header
// that claims more than the module holds (a fuzzer's find); junk.
std::vector<uint8_t> Patched(std::vector<uint8_t> module, size_t at, std::vector<uint8_t> bytes) {
    std::copy(bytes.begin(), bytes.end(), module.begin() + static_cast<ptrdiff_t>(at));
    return module;
}

TEST_F(LoadTest, WhatIsNotAWholeXmModuleIsRefused) {
    const std::vector<uint8_t> module = WriteXm(DemoLikeSong());
    XmSong bare;
    bare.instruments = 0;
    std::vector<std::vector<uint8_t>> damaged = {
        Patched(module, 58, {0x02}), Patched(module, 68, {0, 0}),
        Patched(module, XM_HEADER_END + 7, {0xff, 0xff}), Patched(WriteXm(bare), 61, {0x20}),
        std::vector<uint8_t>(4096, 0x5a)};
    for (size_t cut : {size_t{16}, size_t{70}, XM_HEADER_END + 5, module.size() / 2,
                       module.size() - 300, module.size() - 1})
        damaged.emplace_back(module.begin(), module.begin() + static_cast<ptrdiff_t>(cut));
    for (size_t i = 0; i < damaged.size(); i++)
        EXPECT_EQ(Load(Guarded(damaged[i]), damaged[i].size()), PLAYER_ERROR_FORMAT) << i;
    EXPECT_EQ(Load(nullptr, 0), PLAYER_ERROR_ILLPARAM);
}

} // namespace
