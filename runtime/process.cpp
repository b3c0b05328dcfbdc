// Process start and end. The end procedures let subsystems that hold outside
// resources (windows, the sound library file) release them on every way out.
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

#include "runtime/file_system.h"
#include "runtime/internal.h"
#include "runtime/runtime.h"

void ResetFileTable();
void CloseAllFiles();
void ResetLibrarySlots();
void CloseAllLibrarySlots();

namespace {
// Files (descriptors) that a run holds at once at the most: the display
// connection, the GL driver, the sound device, the directory's lock, the
// library file, a box's pipe. With fewer to spare each of those fails in its
// own misleading way, so the run refuses to start and names the real cause.
constexpr int RUN_FILES = 16;

std::vector<EndProcedure> endProcedures;
std::atomic<bool> closeRequested{false};
std::thread::id mainThread;
std::atomic<bool> started{false};
std::atomic<int> mainThreadDialogs{0};

void StopWithoutSpareFiles() {
    int spare = SpareFiles(RUN_FILES);
    if (spare >= RUN_FILES)
        return;
    std::fprintf(stderr,
                 "brumlakor: too many open files: room for %d more, a run needs %d (ulimit -n)\n",
                 spare, RUN_FILES);
    std::exit(1);
}
} // namespace

static_assert(std::atomic<bool>::is_always_lock_free, "close request must be signal-safe");

void RuntimeStart() {
    StopWithoutSpareFiles();
    mainThread = std::this_thread::get_id();
    started.store(true, std::memory_order_relaxed);
    closeRequested.store(false, std::memory_order_relaxed);
    endProcedures.clear();
    ResetFileTable();
    ResetLibrarySlots();
    SeedRandom(TickMilliseconds());
}

void AtRuntimeEnd(EndProcedure procedure) {
    if (procedure == nullptr)
        return;
    if (std::find(endProcedures.begin(), endProcedures.end(), procedure) == endProcedures.end())
        endProcedures.push_back(procedure);
}

void RuntimeEnd() {
    // Taken off the list before running, so a procedure that ends the process
    // itself, or a second RuntimeEnd, never runs one twice.
    while (!endProcedures.empty()) {
        EndProcedure procedure = endProcedures.back();
        endProcedures.pop_back();
        procedure();
    }
    CloseAllLibrarySlots();
    CloseAllFiles();
}

void EndProcess() {
    RuntimeEnd();
    std::fflush(nullptr);
    std::exit(0);
}

void RaiseCloseRequest() {
    closeRequested.store(true, std::memory_order_relaxed);
}

bool CloseRequested() {
    return closeRequested.load(std::memory_order_relaxed);
}

void ClearCloseRequest() {
    closeRequested.store(false, std::memory_order_relaxed);
}

bool OnMainThread() {
    return started.load(std::memory_order_relaxed) && std::this_thread::get_id() == mainThread;
}

// The dialog count lives here, not with the dialogs, so that tests may link
// dialogs of their own in place of the real ones. Only the main thread's boxes
// count: they are the ones that disable the demo's window.
void NoteDialogOpened() {
    if (OnMainThread())
        mainThreadDialogs.fetch_add(1, std::memory_order_relaxed);
}

void NoteDialogClosed() {
    if (OnMainThread())
        mainThreadDialogs.fetch_sub(1, std::memory_order_relaxed);
}

bool DialogOpen() {
    return mainThreadDialogs.load(std::memory_order_relaxed) > 0;
}
