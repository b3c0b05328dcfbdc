// Music: installing the player library from the executable's data, the binding
// that calls it by name, and the error reporter. The music start is
// music/start.h.
#pragma once

#include <cstdint>
#include <string>

#include "player/player_api.h"

constexpr const char *SOUND_LIBRARY_FILE = "bassmod.dll";
constexpr int SOUND_SLOT = 0;

// Two 16-bit halves in one 32-bit value, low half first.
uint32_t MakeLong(int32_t low, int32_t high);

// Text for an error code, "" when the code has no message.
std::string SoundErrorMessage(int32_t code);

// The private directory of this run (ends in '/'), "" before installation.
const std::string &TempDir();
// Why the player library did not load, one reason for each way tried ("; "
// between them); "" once it has loaded.
std::string SoundLibraryLoadError();

// Start-up step: private temp directory (leftovers of killed runs removed
// first), library file written, loaded into slot 0, player initialised. Where
// the temp directory cannot hold code (mounted noexec) the library is loaded
// from a memory file instead. On a file that cannot be created: notice, then
// the early exit. Registers UninstallSoundLibrary with AtRuntimeEnd.
void InstallSoundLibrary();
// Frame-exact capture: makes InstallSoundLibrary initialise the player in its
// offline mode (BASSMOD_InitOffline(44100, 0), no output device; the caller
// renders the sound) instead of BASSMOD_Init. Call before start-up.
void UseOfflinePlayer();
// Frees the player if it is still loaded and removes the file and directory.
// The normal shutdown and every early exit end up here; idempotent.
void UninstallSoundLibrary();

// The binding: slot first, then the library function's own arguments.
int32_t Init(int slot, const std::string &path, int32_t device, uint32_t frequency, uint32_t flags);
int32_t Free(int slot);
int32_t MusicLoad(int slot, int32_t mem, const std::string &file, uint32_t offset, uint32_t length,
                  uint32_t flags);
uint32_t MusicSetSync(int slot, uint32_t type, uint32_t param, SyncProcedure proc, uint32_t user);
int32_t MusicRemoveSync(int slot, uint32_t sync);
int32_t MusicPlay(int slot);
int32_t MusicPause(int slot);
std::string ReportSoundError(int slot);
// The unreachable player is reported once a run; this starts over, for a
// caller that runs again in the same process (the tests).
void ForgetUnreachableReport();

int32_t GetCPU(int slot);
std::string GetDeviceDescription(int slot, int32_t device);
std::string GetVersion(int slot);
int32_t GetVolume(int slot);
int32_t SetVolume(int slot, int32_t volume);
int32_t MusicFree(int slot);
int32_t MusicGetLength(int slot, int32_t playlen);
std::string MusicGetName(int slot);
int32_t MusicGetPosition(int slot);
int32_t MusicIsActive(int slot);
int32_t MusicStop(int slot);
int32_t MusicPlayEx(int slot, int16_t position, int32_t flags, int32_t reset);
int32_t MusicSetAmplify(int slot, int32_t amplification);
int32_t MusicSetPanSep(int slot, int32_t separation);
int32_t MusicSetPosition(int slot, int16_t order, int16_t row);
int32_t MusicSetPositionScaler(int slot, int32_t scale);
