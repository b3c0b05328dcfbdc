// No memory files on Win32: LoadLibrary takes a path on disk only, and the
// user's temp directory always may hold code.
#include "runtime/memory_file.h"

std::string OpenMemoryFile(const char *, const void *, size_t, std::string &) {
    return "";
}

void CloseMemoryFile() {}
