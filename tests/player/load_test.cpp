// MusicLoad from memory: the module's extent from its own headers, and the
// error codes for what is not a whole XM module.
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
    int32_t Load(const void *data, uint32_t length) {
        int32_t r = BASSMOD_MusicLoad(1, data, 0, length, MUSIC_LOOP);
        return r ? PLAYER_OK : BASSMOD_ErrorGetCode();
    }
};

// The module's last byte sits just before an inaccessible page, so any read
// past the module ends the test with a crash.
class GuardedModule {
  public:
    explicit GuardedModule(const std::vector<uint8_t> &module) {
        size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
        size_t dataPages = (module.size() + page - 1) / page;
        size_ = (dataPages + 1) * page;
        base_ = static_cast<uint8_t *>(
            mmap(nullptr, size_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
        EXPECT_NE(base_, MAP_FAILED);
        EXPECT_EQ(mprotect(base_ + dataPages * page, page, PROT_NONE), 0);
        start_ = base_ + dataPages * page - module.size();
        std::memcpy(start_, module.data(), module.size());
    }
    ~GuardedModule() {
        munmap(base_, size_);
    }
    const uint8_t *data() const {
        return start_;
    }

  private:
    uint8_t *base_;
    uint8_t *start_;
    size_t size_;
};

TEST_F(LoadTest, LengthZeroReadsNothingPastTheModule) {
    auto module = WriteXm(DemoLikeSong());
    GuardedModule guarded(module);
    ASSERT_EQ(Load(guarded.data(), 0), PLAYER_OK);
    // The module plays as well as one handed over with its exact length.
    BASSMOD_MusicSetSync(SYNC_ONETIME_POSITION, MakeParam(1, 0), RecordSync, 1);
    BASSMOD_MusicPlay();
    auto fromGuarded = Render(200000, 4096);
    EXPECT_EQ(FiredWithUser(1).size(), 1u);
    ASSERT_EQ(Load(module.data(), static_cast<uint32_t>(module.size())), PLAYER_OK);
    BASSMOD_MusicPlay();
    EXPECT_TRUE(Render(200000, 4096) == fromGuarded);
}

TEST_F(LoadTest, LengthZeroIgnoresWhatFollowsTheModule) {
    auto module = WriteXm(DemoLikeSong());
    auto followed = module;
    const char tail[] = "Extended Module: other data that is not part of the song";
    followed.insert(followed.end(), tail, tail + sizeof tail);
    ASSERT_EQ(Load(followed.data(), 0), PLAYER_OK);
    BASSMOD_MusicPlay();
    auto a = Render(100000, 4096);
    ASSERT_EQ(Load(module.data(), static_cast<uint32_t>(module.size())), PLAYER_OK);
    BASSMOD_MusicPlay();
    EXPECT_TRUE(Render(100000, 4096) == a);
}

TEST_F(LoadTest, OffsetSkipsLeadingBytes) {
    auto module = WriteXm(DemoLikeSong());
    std::vector<uint8_t> padded(100 + module.size(), 0xee);
    std::copy(module.begin(), module.end(), padded.begin() + 100);
    EXPECT_EQ(BASSMOD_MusicLoad(1, padded.data(), 100, 0, 0), 1);
    EXPECT_EQ(BASSMOD_MusicLoad(1, padded.data(), 0, 0, 0), 0);
    EXPECT_EQ(BASSMOD_ErrorGetCode(), PLAYER_ERROR_FORMAT);
}

TEST_F(LoadTest, TooShortLengthIsRefusedAtEveryCut) {
    auto module = WriteXm(DemoLikeSong());
    // Cuts in the song header, a pattern, an instrument header, sample data.
    for (size_t cut : {size_t{16}, size_t{70}, XM_HEADER_END + 5, module.size() / 2,
                       module.size() - 300, module.size() - 1}) {
        GuardedModule guarded(std::vector<uint8_t>(module.begin(), module.begin() + cut));
        EXPECT_EQ(Load(guarded.data(), static_cast<uint32_t>(cut)), PLAYER_ERROR_FORMAT)
            << "cut at " << cut;
    }
}

TEST_F(LoadTest, DataThatIsNotAnXmModuleIsRefused) {
    std::vector<uint8_t> junk(4096);
    for (size_t i = 0; i < junk.size(); i++) {
        junk[i] = static_cast<uint8_t>(i * 37 + 11);
    }
    EXPECT_EQ(Load(junk.data(), 0), PLAYER_ERROR_FORMAT);
    EXPECT_EQ(Load(junk.data(), 4096), PLAYER_ERROR_FORMAT);

    auto module = WriteXm(DemoLikeSong());
    auto oldVersion = module;
    oldVersion[58] = 0x02; // format 1.02 lays patterns out differently
    EXPECT_EQ(Load(oldVersion.data(), 0), PLAYER_ERROR_FORMAT);
    auto noChannels = module;
    noChannels[68] = noChannels[69] = 0;
    EXPECT_EQ(Load(noChannels.data(), 0), PLAYER_ERROR_FORMAT);
    // A pattern that claims more packed data than the module holds.
    auto hugePattern = module;
    hugePattern[XM_HEADER_END + 7] = hugePattern[XM_HEADER_END + 8] = 0xff;
    EXPECT_EQ(Load(hugePattern.data(), static_cast<uint32_t>(module.size())), PLAYER_ERROR_FORMAT);
    // A song header that claims to run past the given length (a fuzzer's
    // find: with nothing after the header, that length was handed on as is).
    XmSong bare;
    bare.instruments = 0;
    auto headerOnly = WriteXm(bare);
    headerOnly[61] = 0x20; // header size 276 + 8192
    GuardedModule guardedHeader(headerOnly);
    EXPECT_EQ(Load(guardedHeader.data(), static_cast<uint32_t>(headerOnly.size())),
              PLAYER_ERROR_FORMAT);
    EXPECT_EQ(BASSMOD_MusicLoad(1, nullptr, 0, 0, 0), 0);
    EXPECT_EQ(BASSMOD_ErrorGetCode(), PLAYER_ERROR_ILLPARAM);
}

TEST_F(LoadTest, FailedLoadLeavesTheLoadedSongAndItsSyncs) {
    auto module = WriteXm(DemoLikeSong());
    ASSERT_EQ(Load(module.data(), 0), PLAYER_OK);
    BASSMOD_MusicSetSync(SYNC_ONETIME_POSITION, MakeParam(1, 0), RecordSync, 1);
    ASSERT_EQ(Load(module.data(), 100), PLAYER_ERROR_FORMAT);
    auto broken = module;
    broken[XM_HEADER_END + 9] = 0xff; // a packed note that runs past its pattern
    broken[XM_HEADER_END + 10] = 0xff;
    EXPECT_EQ(Load(broken.data(), 0), PLAYER_ERROR_FORMAT);
    EXPECT_EQ(BASSMOD_MusicPlay(), 1);
    Render(64 * ROW_FRAMES + 1, 4096);
    EXPECT_EQ(FiredWithUser(1).size(), 1u);
}

TEST_F(LoadTest, LoadsFromAFileWithOffsetAndLength) {
    auto module = WriteXm(DemoLikeSong());
    char path[] = "/tmp/player-load-XXXXXX";
    int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(write(fd, "xx", 2), 2);
    ASSERT_EQ(write(fd, module.data(), module.size()), static_cast<ssize_t>(module.size()));
    close(fd);
    EXPECT_EQ(BASSMOD_MusicLoad(0, path, 2, 0, 0), 1);
    EXPECT_EQ(BASSMOD_MusicLoad(0, path, 2, 100, 0), 0);
    EXPECT_EQ(BASSMOD_ErrorGetCode(), PLAYER_ERROR_FORMAT);
    unlink(path);
    EXPECT_EQ(BASSMOD_MusicLoad(0, path, 0, 0, 0), 0);
    EXPECT_EQ(BASSMOD_ErrorGetCode(), PLAYER_ERROR_FILEOPEN);
}

} // namespace
