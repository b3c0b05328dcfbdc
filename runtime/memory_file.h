// A file that lives in memory only: the player library's way in where the
// temp directory may not hold code (mounted noexec).
// Files a new platform adds: memory_file_<platform>.cpp.
#pragma once

#include <cstddef>
#include <string>

// A memory file holding length bytes from data, named name for the loader's
// messages. Its path, which the library loader takes, or "" with the reason
// in error. A platform without memory files gives "" and leaves error empty.
std::string OpenMemoryFile(const char *name, const void *data, size_t length, std::string &error);
// Lets go of the memory file; a library loaded from it keeps its contents.
void CloseMemoryFile();
