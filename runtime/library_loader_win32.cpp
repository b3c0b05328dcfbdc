// The Win32 loader behind the library slots: LoadLibrary, with the system's
// own message text when a DLL cannot be loaded.
#include <windows.h>

#include "runtime/library_loader.h"

namespace {
std::string SystemMessage(DWORD code) {
    char text[512] = "";
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, code, 0, text, sizeof text, nullptr);
    while (length > 0 && (text[length - 1] == '\n' || text[length - 1] == '\r'))
        text[--length] = '\0';
    return length > 0 ? text : "library could not be loaded (error " + std::to_string(code) + ")";
}
} // namespace

void *LoadPlatformLibrary(const char *path, std::string &error) {
    HMODULE library = LoadLibraryA(path);
    if (library == nullptr)
        error = SystemMessage(GetLastError());
    return library;
}

void UnloadPlatformLibrary(void *library) {
    FreeLibrary(static_cast<HMODULE>(library));
}

void *LibraryFunctionAddress(void *library, const char *name) {
    return reinterpret_cast<void *>(GetProcAddress(static_cast<HMODULE>(library), name));
}
