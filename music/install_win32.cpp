// Installing the player on Windows: its file image is written from the
// executable's data into a fresh directory of this run's own under the temp
// path, loaded from there and initialised; at the end of the run (normal or
// early) the player is freed and both removed.
#include <filesystem>

#include "assets/assets.h"
#include "music/music.h"
#include "runtime/runtime.h"

namespace {

std::string tempDir;
bool offlinePlayer = false;

std::string SoundLibraryPath() {
    return tempDir + SOUND_LIBRARY_FILE;
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
    return LibrarySlotError();
}

void InstallSoundLibrary() {
    // Registered first, so that every way out from here on cleans up.
    AtRuntimeEnd(UninstallSoundLibrary);
    tempDir = MakePrivateTempDirectory("brumlakor");
    if (tempDir.empty() || CreateOutputFile(0, SoundLibraryPath()) == 0)
        InstallationFailed();
    // A short write (disk full) would leave a truncated library for the loader
    // to map; it is a failed installation like a file that cannot be created.
    int written = WriteBytes(soundLibraryImage, SoundLibraryImageSize());
    CloseOutputFile(0);
    if (written == 0)
        InstallationFailed();
    if (offlinePlayer) {
        if (OpenLibrarySlot(SOUND_SLOT, SoundLibraryPath().c_str()) != nullptr)
            CallLibraryFunction<int32_t>(SOUND_SLOT, "BASSMOD_InitOffline", 44100u, 0u);
        return;
    }
    // Without a player the run goes on silent: Init's result is not examined.
    Init(SOUND_SLOT, SoundLibraryPath(), -1, 44100, 0);
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
    std::error_code ignored;
    std::filesystem::remove(tempDir, ignored); // only if nothing else is left in it
    tempDir.clear();
}
