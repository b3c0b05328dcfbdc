// Installing the player: its file image is written from the executable's data
// into a directory of this run's own, loaded from there and initialised; at
// the end of the run (normal or early) the player is freed and both removed.
#include "assets/assets.h"
#include "music/music.h"
#include "runtime/file_system.h"
#include "runtime/memory_file.h"
#include "runtime/private_dir.h"
#include "runtime/runtime.h"

namespace {

constexpr const char *PRIVATE_NAME = "brumlakor"; // the directory's name starts with it

std::string tempDir;
std::string loadFailure;
bool offlinePlayer = false;

std::string SoundLibraryPath() {
    return tempDir + SOUND_LIBRARY_FILE;
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

// A temp directory mounted noexec refuses to map the file's code. The same
// bytes in a memory file can be mapped, and leave nothing on disk.
void LoadSoundLibraryFromMemory() {
    std::string fromDisk = LibrarySlotError();
    std::string error;
    std::string memory =
        OpenMemoryFile(SOUND_LIBRARY_FILE, soundLibraryImage, SoundLibraryImageSize(), error);
    if (memory.empty() && error.empty()) { // no memory files on this platform
        loadFailure = fromDisk;
        return;
    }
    // The loader names the file, or a dependency of it: say which way it was.
    loadFailure = "from the temp directory: " + fromDisk;
    if (memory.empty())
        loadFailure += "; from memory: " + error;
    else if (LoadSoundLibrary(memory))
        loadFailure.clear();
    else
        loadFailure += "; from memory: " + LibrarySlotError();
    CloseMemoryFile();
}

// The cause goes only where no box can be shown (the capture tool's lines).
[[noreturn]] void InstallationFailed(const std::string &cause) {
    NoticeDialog("Brumlakor", "Failed to install bassmod to UserTempPath", cause);
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
    tempDir = OpenPrivateDirectory(PRIVATE_NAME, SOUND_LIBRARY_FILE);
    if (tempDir.empty())
        InstallationFailed("no directory of its own in the temp directory: " + LastFileError());
    if (CreateOutputFile(0, SoundLibraryPath()) == 0)
        InstallationFailed(SoundLibraryPath() + ": " + LastFileError());
    // A short write (disk full) would leave a truncated library for the loader
    // to map; it is a failed installation like a file that cannot be created.
    int written = WriteBytes(soundLibraryImage, SoundLibraryImageSize());
    std::string cause = written == 0 ? SoundLibraryPath() + ": " + LastFileError() : "";
    CloseOutputFile(0);
    if (written == 0) {
        // The partial file would keep a full disk full while the notice waits.
        RemoveFile(SoundLibraryPath());
        InstallationFailed(cause);
    }
    if (!LoadSoundLibrary(SoundLibraryPath()))
        LoadSoundLibraryFromMemory();
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
    RemoveFile(SoundLibraryPath());
    ClosePrivateDirectory(tempDir);
    tempDir.clear();
}
