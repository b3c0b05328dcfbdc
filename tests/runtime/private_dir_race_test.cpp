// A run starting beside another: the other's sweep of killed runs may take
// this run's brand-new directory for a leftover, before this run opens it
// or between opening and locking it. The run then makes a new one; only
// when every attempt is swept does it give up, leaving nothing behind.
// `open` is wrapped (ld --wrap) to play the other run's sweep.
#include "runtime/private_dir.h"
#include "tests/support/process.h"

#include <cstdarg>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>

namespace {
enum class Sweep { BeforeOpen, AfterOpen };
Sweep sweepWhen = Sweep::BeforeOpen;
int sweepsLeft = 0;
std::vector<std::string> swept;
} // namespace

extern "C" int __real_open(const char *path, int flags, ...);
extern "C" int __wrap_open(const char *path, int flags, ...) {
    mode_t mode = 0;
    if (flags & O_CREAT) {
        va_list rest;
        va_start(rest, flags);
        mode = static_cast<mode_t>(va_arg(rest, int));
        va_end(rest);
    }
    bool sweep = (flags & O_DIRECTORY) && sweepsLeft > 0 &&
                 std::string(path).find("/race-") != std::string::npos;
    if (sweep) {
        sweepsLeft--;
        swept.push_back(path);
        if (sweepWhen == Sweep::BeforeOpen)
            rmdir(path);
    }
    int fd = __real_open(path, flags, mode);
    if (sweep && sweepWhen == Sweep::AfterOpen)
        rmdir(path);
    return fd;
}

TEST(PrivateDirectoryRace, ASweptNewDirectoryIsMadeAnewUntilTheAttemptsRunOut) {
    const struct {
        Sweep when;
        int sweeps;
        bool opened;
    } cases[] = {{Sweep::BeforeOpen, 1, true},
                 {Sweep::AfterOpen, 2, true},
                 {Sweep::BeforeOpen, 3, false},
                 {Sweep::AfterOpen, 3, false}};
    for (const auto &c : cases) {
        std::string parent = MakeTempDir("private-race");
        setenv("TMPDIR", parent.c_str(), 1);
        sweepWhen = c.when;
        sweepsLeft = c.sweeps;
        swept.clear();
        std::string made = OpenPrivateDirectory("race", "player.so");
        SCOPED_TRACE(std::to_string(c.sweeps) + " swept");
        EXPECT_EQ(swept.size(), size_t(c.sweeps));
        EXPECT_EQ(!made.empty(), c.opened);
        for (const std::string &gone : swept)
            EXPECT_FALSE(std::filesystem::exists(gone)) << gone;
        if (c.opened) {
            EXPECT_TRUE(std::filesystem::is_directory(made));
            EXPECT_EQ(made.rfind(parent + "/race-", 0), 0u) << made;
            ClosePrivateDirectory(made);
        }
        EXPECT_EQ(DirectoryEntries(parent).size(), 0u); // nothing left behind
        std::filesystem::remove_all(parent);
    }
    unsetenv("TMPDIR");
}
