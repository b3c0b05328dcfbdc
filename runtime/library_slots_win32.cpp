// Library slots on Win32: loaded DLLs addressed by small numbers. The table
// has a fixed capacity so that the player's thread can read a slot without a
// lock while the main thread never moves the storage under it.
#include <atomic>
#include <windows.h>

#include "runtime/runtime.h"

namespace {
// Ten slots are promised; higher numbers are served up to this capacity.
constexpr int LIBRARY_SLOT_CAPACITY = 64;
std::atomic<void *> librarySlots[LIBRARY_SLOT_CAPACITY];
std::string lastLoadError;

bool ValidSlot(int slot) {
    return slot >= 0 && slot < LIBRARY_SLOT_CAPACITY;
}

std::string SystemMessage(DWORD code) {
    char text[512] = "";
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, code, 0, text, sizeof text, nullptr);
    while (length > 0 && (text[length - 1] == '\n' || text[length - 1] == '\r'))
        text[--length] = '\0';
    return length > 0 ? text : "library could not be loaded (error " + std::to_string(code) + ")";
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
    HMODULE library = LoadLibraryA(path);
    if (library == nullptr) {
        lastLoadError = SystemMessage(GetLastError());
        return nullptr;
    }
    lastLoadError.clear();
    // Loaded first, unloaded second: a failed load keeps the old library.
    void *previous = librarySlots[slot].exchange(library, std::memory_order_relaxed);
    if (previous != nullptr)
        FreeLibrary(static_cast<HMODULE>(previous));
    return library;
}

void CloseLibrarySlot(int slot) {
    if (!ValidSlot(slot))
        return;
    void *library = librarySlots[slot].exchange(nullptr, std::memory_order_relaxed);
    if (library != nullptr)
        FreeLibrary(static_cast<HMODULE>(library));
}

void *LibrarySlotHandle(int slot) {
    return ValidSlot(slot) ? librarySlots[slot].load(std::memory_order_relaxed) : nullptr;
}

std::string LibrarySlotError() {
    return lastLoadError;
}

void *LibraryFunctionAddress(void *library, const char *name) {
    return reinterpret_cast<void *>(GetProcAddress(static_cast<HMODULE>(library), name));
}
