// Runtime services: process start and end, texts, numbered output files,
// message dialogs, clock and sleep, power and random numbers, library slots.
// Everything here is called from the main thread unless a comment says otherwise.
// They stand on one backend header per platform service: file_system.h,
// private_dir.h, memory_file.h, library_loader.h, platform_clock.h,
// dialog_box.h and signals.h.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "runtime/library_loader.h"
#include "runtime/signals.h"

// ---- Process -------------------------------------------------------------

// Runtime start: with too few files (descriptors) to spare for a run, one
// line on stderr and exit status 1; then the file table and library-slot
// table (ten empty slots each), SeedRandom(TickMilliseconds()). The window
// service is started separately by the display subsystem, right after this.
void RuntimeStart();

// Procedures run, last registered first, by RuntimeEnd before the tables are
// closed (the window service registers its end here, the sound library its
// removal). A procedure registered twice runs once.
using EndProcedure = void (*)();
void AtRuntimeEnd(EndProcedure procedure);

// Runtime end: the registered end procedures, then every library slot and
// every file still open is closed. Safe to call more than once.
void RuntimeEnd();

// RuntimeEnd, then the process ends with exit code 0. Used by the shutdown and
// by the early exits of start-up.
[[noreturn]] void EndProcess();

// RouteCloseSignals, AtCrash and SetCrashVerdict: runtime/signals.h.

// ---- Texts ---------------------------------------------------------------

std::string Blanks(int count);
std::string NumberToText(int32_t value);
// Leading blanks skipped, optional sign, decimal digits up to the first other
// character, accumulated modulo 2^32 (64-bit variant modulo 2^64); no digits: 0.
int32_t TextToNumber(const std::string &text);
int64_t TextToNumber64(const std::string &text);

// ---- Numbered output files -----------------------------------------------

// Creates (or truncates) path for writing under the file number; it becomes the
// current output file. Never follows a symbolic link at path. Returns a non-zero
// handle, or 0 (then there is no current output file and the slot is unchanged).
intptr_t CreateOutputFile(int number, const std::string &path);
// Writes length bytes to the current output file in one write; 0 on failure,
// with no current file, a null address or a length of 0.
int WriteBytes(const void *address, size_t length);
void CloseOutputFile(int number);
int RemoveFile(const std::string &path);

// ---- Dialogs -------------------------------------------------------------

enum : int { DIALOG_OK = 1, DIALOG_YES = 6, DIALOG_NO = 7 };
enum : int { DIALOG_FLAGS_OK = 0, DIALOG_FLAGS_YES_NO = 4, DIALOG_FLAGS_ERROR = 16 };

// Modal message box. Returns DIALOG_OK, DIALOG_YES or DIALOG_NO. Return answers
// the default button; Escape or closing the box answers No (OK for an OK box).
// May be called from the player's thread (the error reporter inside a sync).
int MessageDialog(const std::string &caption, const std::string &text, int flags);
// An OK box. The cause (why something failed) is for the text-only dialogs.
int NoticeDialog(const std::string &caption, const std::string &text,
                 const std::string &cause = "");
// For a program with nobody to answer (the capture tool): from now on each
// box is one line handed to say (line breaks become spaces), a notice with
// its cause in brackets after it, and answers as a closed box does (No, or
// OK); nullptr brings the boxes back.
using DialogLine = void (*)(const std::string &line);
void UseTextDialogs(DialogLine say);

// ---- Time ----------------------------------------------------------------

// Milliseconds of a monotonic clock, wrapping at 2^32; take differences in
// 32-bit unsigned arithmetic.
uint32_t TickMilliseconds();
void Delay(uint32_t ms);
// Switches clock and sleep to a virtual clock that stands still until Delay
// advances it (frame-exact capture). start is the clock's first reading.
void UseVirtualClock(uint32_t start);

// ---- Arithmetic and random numbers ---------------------------------------

// x^y computed in double precision, rounded to float.
float Pow(float x, float y);
// RANROT-W generator: 17 entries of two words, lag 10, rotations 19 and 27.
void SeedRandom(uint32_t seed);
// Uniform over 0..n inclusive; -2147483648 for n < 0. One generator step per call.
int32_t Random(int32_t n);

// ---- Library slots -------------------------------------------------------

// Loads the library at path into the slot (a held library is unloaded first);
// returns the handle or 0 (a failed load leaves the slot as it was).
void *OpenLibrarySlot(int slot, const char *path);
void CloseLibrarySlot(int slot);
void *LibrarySlotHandle(int slot);
// The loader's message for the last failed OpenLibrarySlot, or "".
std::string LibrarySlotError();

// Looks name up afresh in the slot's library and calls it with the given
// arguments. With an empty slot or a missing name no call is made and the
// result is R(). Safe on the player's thread (the slot table changes only on
// the main thread, before playback and after the player is freed).
template <typename R, typename... Args>
R CallLibraryFunction(int slot, const char *name, Args... arguments) {
    void *library = LibrarySlotHandle(slot);
    if (library == nullptr)
        return R();
    void *symbol = LibraryFunctionAddress(library, name);
    if (symbol == nullptr)
        return R();
    return reinterpret_cast<R (*)(Args...)>(symbol)(arguments...);
}
