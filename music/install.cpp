// Installing the player: its file image is written from the executable's data
// into a directory of this run's own, loaded from there and initialised; at
// the end of the run (normal or early) the player is freed and both removed.
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include "assets/assets.h"
#include "music/music.h"
#include "runtime/runtime.h"

namespace {

constexpr const char *PRIVATE_NAME = "brumlakor"; // the directory is brumlakor-XXXXXX
constexpr const char *PRIVATE_PREFIX = "brumlakor-";
constexpr size_t PRIVATE_SUFFIX_LENGTH = 6; // mkdtemp's XXXXXX
constexpr mode_t PRIVATE_MODE = 0700;

std::string tempDir;
int tempDirLock = -1; // the private directory, held locked for the whole run
std::string loadFailure;
bool offlinePlayer = false;

std::string SoundLibraryPath() {
    return tempDir + SOUND_LIBRARY_FILE;
}

// Copies of the two paths for the crash clean-up, which may not allocate.
char crashFilePath[PATH_MAX];
char crashDirPath[PATH_MAX];

void RemoveFilesAtCrash() {
    if (crashFilePath[0] != '\0')
        unlink(crashFilePath);
    if (crashDirPath[0] != '\0')
        rmdir(crashDirPath);
}

void RememberPathsForCrash() {
    std::string file = SoundLibraryPath();
    if (file.size() >= sizeof crashFilePath)
        return; // too long to copy: a crash leaves it for the next run's sweep
    std::memcpy(crashFilePath, file.c_str(), file.size() + 1);
    std::memcpy(crashDirPath, tempDir.c_str(), tempDir.size() + 1);
    AtCrash(RemoveFilesAtCrash);
}

void ForgetPathsForCrash() {
    crashFilePath[0] = '\0';
    crashDirPath[0] = '\0';
}

bool IsPrivateDirectoryName(const char *name) {
    size_t prefix = std::strlen(PRIVATE_PREFIX);
    if (std::strncmp(name, PRIVATE_PREFIX, prefix) != 0 ||
        std::strlen(name) != prefix + PRIVATE_SUFFIX_LENGTH)
        return false;
    for (const char *c = name + prefix; *c != '\0'; c++)
        if (std::isalnum(static_cast<unsigned char>(*c)) == 0)
            return false;
    return true;
}

// A run that was killed (or crashed, or lost its power) leaves its directory
// behind. Removed here: only a real directory (never a link) of this user with
// our name and mode, that no live run holds locked, and only the library file
// in it; anything else inside keeps the directory where it is.
void RemoveIfLeftOver(int parent, const char *name) {
    struct stat seen {};
    if (!IsPrivateDirectoryName(name) || fstatat(parent, name, &seen, AT_SYMLINK_NOFOLLOW) != 0 ||
        !S_ISDIR(seen.st_mode) || seen.st_uid != geteuid() ||
        (seen.st_mode & 07777) != PRIVATE_MODE)
        return;
    int dir = openat(parent, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (dir < 0)
        return;
    struct stat opened {};
    bool same =
        fstat(dir, &opened) == 0 && opened.st_dev == seen.st_dev && opened.st_ino == seen.st_ino;
    if (same && flock(dir, LOCK_EX | LOCK_NB) == 0) {
        unlinkat(dir, SOUND_LIBRARY_FILE, 0);
        unlinkat(parent, name, AT_REMOVEDIR); // refused if anything else is inside
    }
    close(dir);
}

void RemoveLeftOvers(const std::string &parent) {
    DIR *listing = opendir(parent.c_str());
    if (listing == nullptr)
        return;
    while (const dirent *entry = readdir(listing))
        RemoveIfLeftOver(dirfd(listing), entry->d_name);
    closedir(listing);
}

// The shared temp directory is writable by every user: a fixed file name there
// would let another user plant the library we load (or a link we truncate), and
// two runs would overwrite each other's loaded library. mkdtemp makes a fresh
// directory of mode 0700 instead, locked (flock) until the run ends so that
// the clean-up of another run can tell it from a leftover. Returns it with a
// trailing '/', or "".
std::string MakePrivateDirectory() {
    const char *base = std::getenv("TMPDIR");
    std::string parent = (base != nullptr && base[0] != '\0') ? base : "/tmp";
    while (parent.size() > 1 && parent.back() == '/')
        parent.pop_back();
    RemoveLeftOvers(parent);
    for (int attempt = 0; attempt < 3; attempt++) {
        std::string made = MakePrivateTempDirectory(PRIVATE_NAME);
        if (made.empty())
            return "";
        int dir = open(made.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (dir < 0) { // no descriptor left: the file could not be made either
            rmdir(made.c_str());
            return "";
        }
        while (flock(dir, LOCK_EX) != 0 && errno == EINTR) {
        }
        // Another run's clean-up may have taken the new, not yet locked,
        // directory for a leftover: then it is gone, and a new one is made.
        struct stat held {};
        if (fstat(dir, &held) == 0 && held.st_nlink > 0) {
            tempDirLock = dir;
            return made;
        }
        close(dir);
    }
    return "";
}

// Loads the library at path into the sound slot and initialises the player
// (its offline mode for the capture). False if the library did not load.
bool LoadSoundLibrary(const std::string &path) {
    if (!offlinePlayer) {
        // Without a player the run goes on silent: Init's result is not examined.
        Init(SOUND_SLOT, path, -1, 44100, 0);
    } else if (OpenLibrarySlot(SOUND_SLOT, path.c_str()) != nullptr) {
        CallLibraryFunction<int32_t>(SOUND_SLOT, "BASSMOD_InitOffline", 44100u, 0u);
    }
    return LibrarySlotHandle(SOUND_SLOT) != nullptr;
}

// Memory files may be made non-executable by default (vm.memfd_noexec);
// kernels before 6.3 know no such flag and refuse it.
#ifndef MFD_EXEC
#define MFD_EXEC 0x0010U
#endif

bool WriteWhole(int file, const void *address, size_t length) {
    const char *bytes = static_cast<const char *>(address);
    while (length > 0) {
        ssize_t written = write(file, bytes, length);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        bytes += written;
        length -= static_cast<size_t>(written);
    }
    return true;
}

// A temp directory mounted noexec refuses to map the file's code. The same
// bytes in an anonymous memory file can be mapped, and leave nothing on disk.
bool LoadSoundLibraryFromMemory() {
    int memory = memfd_create(SOUND_LIBRARY_FILE, MFD_CLOEXEC | MFD_EXEC);
    if (memory < 0 && errno == EINVAL)
        memory = memfd_create(SOUND_LIBRARY_FILE, MFD_CLOEXEC);
    if (memory < 0) {
        loadFailure += std::string("; from memory: memfd_create: ") + std::strerror(errno);
        return false;
    }
    bool loaded = false;
    if (!WriteWhole(memory, soundLibraryImage, SoundLibraryImageSize()))
        loadFailure += std::string("; from memory: ") + std::strerror(errno);
    else if (!(loaded = LoadSoundLibrary("/proc/self/fd/" + std::to_string(memory))))
        loadFailure += "; from memory: " + LibrarySlotError();
    close(memory); // the loader's mapping keeps the contents
    return loaded;
}

[[noreturn]] void InstallationFailed() {
    NoticeDialog("Brumlakor", "Failed to install bassmod to UserTempPath");
    EndProcess();
}

} // namespace

const std::string &TempDir() {
    return tempDir;
}

std::string SoundLibraryLoadError() {
    return loadFailure;
}

void InstallSoundLibrary() {
    // Registered first, so that every way out from here on cleans up.
    AtRuntimeEnd(UninstallSoundLibrary);
    loadFailure.clear();
    tempDir = MakePrivateDirectory();
    if (tempDir.empty())
        InstallationFailed();
    RememberPathsForCrash();
    if (CreateOutputFile(0, SoundLibraryPath()) == 0)
        InstallationFailed();
    // A short write (disk full) would leave a truncated library for the loader
    // to map; it is a failed installation like a file that cannot be created.
    int written = WriteBytes(soundLibraryImage, SoundLibraryImageSize());
    CloseOutputFile(0);
    if (written == 0)
        InstallationFailed();
    if (LoadSoundLibrary(SoundLibraryPath()))
        return;
    // The loader names the file, or a dependency of it: say which way it was.
    loadFailure = "from the temp directory: " + LibrarySlotError();
    if (LoadSoundLibraryFromMemory())
        loadFailure.clear();
}

void UseOfflinePlayer() {
    offlinePlayer = true;
}

void UninstallSoundLibrary() {
    // The player must be stopped and unloaded before its file goes.
    if (LibrarySlotHandle(SOUND_SLOT) != nullptr)
        Free(SOUND_SLOT);
    if (tempDir.empty())
        return;
    ForgetPathsForCrash();
    RemoveFile(SoundLibraryPath());
    std::error_code ignored;
    std::filesystem::remove(tempDir, ignored); // only if nothing else is left in it
    tempDir.clear();
    if (tempDirLock >= 0)
        close(tempDirLock);
    tempDirLock = -1;
}
