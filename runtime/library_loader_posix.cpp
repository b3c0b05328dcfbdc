// The POSIX loader behind the library slots: dlopen with every symbol bound at
// load time, so that a library missing a function fails here and not later on
// the player's thread.
#include <dlfcn.h>

#include "runtime/library_loader.h"

void *LoadPlatformLibrary(const char *path, std::string &error) {
    void *library = dlopen(path, RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
        const char *message = dlerror();
        error = message != nullptr ? message : "library could not be loaded";
    }
    return library;
}

void UnloadPlatformLibrary(void *library) {
    dlclose(library);
}

void *LibraryFunctionAddress(void *library, const char *name) {
    return dlsym(library, name);
}
