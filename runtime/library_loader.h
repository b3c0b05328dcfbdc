// The platform's library loader, under the library slots (library_slots.cpp).
// Files a new platform adds: library_loader_<platform>.cpp.
#pragma once

#include <string>

// Loads the library at path with every function bound now (a missing one
// fails here, not later on the player's thread). Its handle, or null with
// the loader's reason in error.
void *LoadPlatformLibrary(const char *path, std::string &error);
// Unloads a handle that LoadPlatformLibrary gave.
void UnloadPlatformLibrary(void *library);
// The address of name in a loaded library, or null; looked up afresh.
void *LibraryFunctionAddress(void *library, const char *name);
