// The error reporter: the player's last error code as a message box. It may run
// on the player's thread (a registration refused inside a sync), so it builds
// its texts in locals and shares nothing with the main thread.
#include <atomic>
#include <cstdio>

#include "music/music.h"
#include "runtime/runtime.h"

namespace {

struct ErrorMessage {
    int32_t code;
    const char *text;
};

constexpr ErrorMessage SOUND_ERROR_MESSAGES[] = {
    {PLAYER_OK, "All is OK"},
    {PLAYER_ERROR_MEMORY, "Memory Error"},
    {PLAYER_ERROR_FILEOPEN, "Can't Open the File"},
    {PLAYER_ERROR_DRIVER, "Can't Find a Free Sound Driver"},
    {PLAYER_ERROR_HANDLE, "Invalid Handle"},
    {PLAYER_ERROR_FORMAT, "Unsupported Format"},
    {PLAYER_ERROR_POSITION, "Invalid Playback Position"},
    {PLAYER_ERROR_INIT, "BASS_Init Has Not Been Successfully Called"},
    {PLAYER_ERROR_ALREADY, "Already Initialized"},
    {PLAYER_ERROR_NOTPAUSED, "Not Paused"},
    {PLAYER_ERROR_ILLTYPE, "An Illegal Type Was Specified"},
    {PLAYER_ERROR_ILLPARAM, "An Illegal Parameter Was Specified"},
    {PLAYER_ERROR_DEVICE, "Illegal Device Number"},
    {PLAYER_ERROR_NOPLAY, "Not Playing"},
    {PLAYER_ERROR_NOMUSIC, "No Music"},
    {PLAYER_ERROR_NOSYNC, "No Sync Avaliable"},
    {PLAYER_ERROR_UNKNOWN, "Some Other Mystery Error"},
};

// With no player loaded there is no error code to fetch: a box would have to
// show a made-up one ("All is OK" for a failure). One line on stderr says why
// the music is missing instead, and the run goes on silent. Every refused call
// after the first has the same cause, so the line is written once per run.
std::atomic<bool> unreachableReported{false};

void ReportPlayerUnreachable() {
    if (unreachableReported.exchange(true, std::memory_order_relaxed))
        return;
    std::string reason = SoundLibraryLoadError();
    if (reason.empty()) // not from the installation: the last refused load
        reason = LibrarySlotError();
    std::string line = "Brumlakor: no sound, the module player is not loaded";
    if (!reason.empty())
        line += " (" + reason + ")";
    line += "\n";
    std::fputs(line.c_str(), stderr);
}

} // namespace

std::string SoundErrorMessage(int32_t code) {
    for (const ErrorMessage &entry : SOUND_ERROR_MESSAGES)
        if (entry.code == code)
            return entry.text;
    return "";
}

std::string ReportSoundError(int slot) {
    if (LibrarySlotHandle(slot) == nullptr) {
        ReportPlayerUnreachable();
        return "";
    }
    std::string message =
        SoundErrorMessage(CallLibraryFunction<int32_t>(slot, "BASSMOD_ErrorGetCode"));
    // The message goes on a line of its own; a line feed, since a lone carriage
    // return does not break the line in the dialogs of this platform.
    if (!message.empty())
        MessageDialog("Error", "Error Description:\n" + message, DIALOG_FLAGS_ERROR);
    return message;
}

void ForgetUnreachableReport() {
    unreachableReported.store(false, std::memory_order_relaxed);
}
