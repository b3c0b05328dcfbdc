// The private temp directory on POSIX: mkdtemp under $TMPDIR (or /tmp), held
// with flock for the whole run, and the sweep of killed runs' directories.
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <pthread.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "runtime/private_dir.h"
#include "runtime/signals.h"

namespace {
constexpr size_t NAME_SUFFIX_LENGTH = 6; // mkdtemp's XXXXXX
constexpr mode_t PRIVATE_MODE = 0700;
constexpr int MAKE_ATTEMPTS = 3;

int heldDirectory = -1; // this run's directory, locked until it is closed

// Copies of the two paths for the crash clean-up, which may not allocate.
char crashFilePath[PATH_MAX];
char crashDirPath[PATH_MAX];

void RemoveFilesAtCrash() {
    if (crashFilePath[0] != '\0')
        unlink(crashFilePath);
    if (crashDirPath[0] != '\0')
        rmdir(crashDirPath);
}

void RememberPathsForCrash(const std::string &directory, const char *fileName) {
    std::string file = directory + fileName;
    if (file.size() >= sizeof crashFilePath)
        return; // too long to copy: a crash leaves it for the next run's sweep
    std::memcpy(crashFilePath, file.c_str(), file.size() + 1);
    std::memcpy(crashDirPath, directory.c_str(), directory.size() + 1);
    AtCrash(RemoveFilesAtCrash);
}

std::string TempParent() {
    const char *base = std::getenv("TMPDIR");
    std::string parent = (base != nullptr && base[0] != '\0') ? base : "/tmp";
    while (parent.size() > 1 && parent.back() == '/')
        parent.pop_back();
    return parent;
}

// What the sweep looks for: directories named prefix-XXXXXX holding fileName.
struct LeftOver {
    std::string prefix; // with its '-'
    const char *fileName;
};

bool IsPrivateDirectoryName(const LeftOver &kind, const char *name) {
    if (std::strncmp(name, kind.prefix.c_str(), kind.prefix.size()) != 0 ||
        std::strlen(name) != kind.prefix.size() + NAME_SUFFIX_LENGTH)
        return false;
    for (const char *c = name + kind.prefix.size(); *c != '\0'; c++)
        if (std::isalnum(static_cast<unsigned char>(*c)) == 0)
            return false;
    return true;
}

// A run that was killed (or crashed, or lost its power) leaves its directory
// behind. Removed here: only a real directory (never a link) of this user with
// our name and mode, that no live run holds locked, and only the library file
// in it; anything else inside keeps the directory where it is.
void RemoveIfLeftOver(const LeftOver &kind, int parent, const char *name) {
    struct stat seen {};
    if (!IsPrivateDirectoryName(kind, name) ||
        fstatat(parent, name, &seen, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISDIR(seen.st_mode) ||
        seen.st_uid != geteuid() || (seen.st_mode & 07777) != PRIVATE_MODE)
        return;
    int dir = openat(parent, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (dir < 0)
        return;
    struct stat opened {};
    bool same =
        fstat(dir, &opened) == 0 && opened.st_dev == seen.st_dev && opened.st_ino == seen.st_ino;
    if (same && flock(dir, LOCK_EX | LOCK_NB) == 0) {
        unlinkat(dir, kind.fileName, 0);
        unlinkat(parent, name, AT_REMOVEDIR); // refused if anything else is inside
    }
    close(dir);
}

void RemoveLeftOvers(const LeftOver &kind) {
    DIR *listing = opendir(TempParent().c_str());
    if (listing == nullptr)
        return;
    while (const dirent *entry = readdir(listing))
        RemoveIfLeftOver(kind, dirfd(listing), entry->d_name);
    closedir(listing);
}

// A child forked from the run (a message box's process) must not hold the
// directory's lock after the run is gone: its copy of the descriptor is
// closed, the lock stays with the run's own. Programs it runs lose the
// descriptor by O_CLOEXEC.
void LetGoInChild() {
    if (heldDirectory >= 0)
        close(heldDirectory);
    heldDirectory = -1;
}

// Locks and holds the new directory open as dir; false if it is gone.
bool HoldIfStillThere(int dir) {
    while (flock(dir, LOCK_EX) != 0 && errno == EINTR) {
    }
    // Another run's sweep may have taken the new, not yet locked, directory
    // for a leftover: then it is gone, and a new one is made.
    struct stat held {};
    if (fstat(dir, &held) == 0 && held.st_nlink > 0) {
        static bool registered = pthread_atfork(nullptr, nullptr, LetGoInChild) == 0;
        (void)registered;
        heldDirectory = dir;
        return true;
    }
    close(dir);
    return false;
}
} // namespace

// The shared temp directory is writable by every user: a fixed file name there
// would let another user plant a file we load (or a link we truncate), and two
// runs would overwrite each other's files. mkdtemp makes a fresh directory of
// mode 0700 instead.
std::string MakePrivateTempDirectory(const char *prefix) {
    std::string pattern = TempParent() + "/" + prefix + "-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    if (mkdtemp(name.data()) == nullptr)
        return "";
    return std::string(name.data()) + "/";
}

std::string OpenPrivateDirectory(const char *prefix, const char *fileName) {
    RemoveLeftOvers({std::string(prefix) + "-", fileName});
    for (int attempt = 0; attempt < MAKE_ATTEMPTS; attempt++) {
        std::string made = MakePrivateTempDirectory(prefix);
        if (made.empty())
            return "";
        int dir = open(made.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (dir < 0 && errno == ENOENT)
            continue;  // already swept by a run starting beside this one
        if (dir < 0) { // no descriptor left: the file could not be made either
            rmdir(made.c_str());
            return "";
        }
        if (HoldIfStillThere(dir)) {
            RememberPathsForCrash(made, fileName);
            return made;
        }
    }
    return "";
}

void ClosePrivateDirectory(const std::string &path) {
    crashFilePath[0] = '\0';
    crashDirPath[0] = '\0';
    rmdir(path.c_str()); // only if nothing else is left in it
    if (heldDirectory >= 0)
        close(heldDirectory);
    heldDirectory = -1;
}
