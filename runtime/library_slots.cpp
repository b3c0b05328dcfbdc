// Library slots: loaded shared objects addressed by small numbers. The table
// has a fixed capacity so that the player's thread can read a slot without a
// lock while the main thread never moves the storage under it.
#include <atomic>
#include <dlfcn.h>

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
    void *library = dlopen(path, RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
        const char *message = dlerror();
        lastLoadError = message != nullptr ? message : "library could not be loaded";
        return nullptr;
    }
    lastLoadError.clear();
    // Loaded first, unloaded second: a failed load keeps the old library.
    void *previous = librarySlots[slot].exchange(library, std::memory_order_relaxed);
    if (previous != nullptr)
        dlclose(previous);
    return library;
}

void CloseLibrarySlot(int slot) {
    if (!ValidSlot(slot))
        return;
    void *library = librarySlots[slot].exchange(nullptr, std::memory_order_relaxed);
    if (library != nullptr)
        dlclose(library);
}

void *LibrarySlotHandle(int slot) {
    return ValidSlot(slot) ? librarySlots[slot].load(std::memory_order_relaxed) : nullptr;
}

std::string LibrarySlotError() {
    return lastLoadError;
}

void *LibraryFunctionAddress(void *library, const char *name) {
    return dlsym(library, name);
}
