// Library slots: loaded libraries addressed by small numbers. The table has a
// fixed capacity so that the player's thread can read a slot without a lock
// while the main thread never moves the storage under it. The platform's
// loader (library_loader.h) does the loading and unloading.
#include <atomic>

#include "runtime/library_loader.h"
#include "runtime/runtime.h"

namespace {
// Ten slots are promised; higher numbers are served up to this capacity.
constexpr int LIBRARY_SLOT_CAPACITY = 64;
std::atomic<void *> librarySlots[LIBRARY_SLOT_CAPACITY];
std::string lastLoadError;

bool ValidSlot(int slot) {
    return slot >= 0 && slot < LIBRARY_SLOT_CAPACITY;
}
} // namespace

void ResetLibrarySlots() {
    for (auto &slot : librarySlots)
        slot.store(nullptr, std::memory_order_relaxed);
    lastLoadError.clear();
}

void CloseAllLibrarySlots() {
    for (int slot = 0; slot < LIBRARY_SLOT_CAPACITY; slot++)
        CloseLibrarySlot(slot);
}

void *OpenLibrarySlot(int slot, const char *path) {
    if (path == nullptr || !ValidSlot(slot)) {
        lastLoadError = path == nullptr ? "no library path" : "library slot out of range";
        return nullptr;
    }
    void *library = LoadPlatformLibrary(path, lastLoadError);
    if (library == nullptr)
        return nullptr;
    lastLoadError.clear();
    // Loaded first, unloaded second: a failed load keeps the old library.
    void *previous = librarySlots[slot].exchange(library, std::memory_order_relaxed);
    if (previous != nullptr)
        UnloadPlatformLibrary(previous);
    return library;
}

void CloseLibrarySlot(int slot) {
    if (!ValidSlot(slot))
        return;
    void *library = librarySlots[slot].exchange(nullptr, std::memory_order_relaxed);
    if (library != nullptr)
        UnloadPlatformLibrary(library);
}

void *LibrarySlotHandle(int slot) {
    return ValidSlot(slot) ? librarySlots[slot].load(std::memory_order_relaxed) : nullptr;
}

std::string LibrarySlotError() {
    return lastLoadError;
}
