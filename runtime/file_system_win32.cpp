// Files on Win32: handles.
#include <windows.h>

#include "runtime/file_system.h"

namespace {
HANDLE CreateFresh(const std::string &path) {
    return CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

HANDLE Handle(PlatformFile file) {
    return reinterpret_cast<HANDLE>(file);
}
} // namespace

// Never opens what is already there: an existing name (a file, or a link
// someone planted) is removed, not written through, and the file is created
// anew. Deleting a link removes the link itself, never its target.
PlatformFile CreateReplacing(const std::string &path) {
    HANDLE file = CreateFresh(path);
    if (file == INVALID_HANDLE_VALUE && GetLastError() == ERROR_FILE_EXISTS &&
        DeleteFileA(path.c_str()))
        file = CreateFresh(path);
    return reinterpret_cast<PlatformFile>(file);
}

bool WriteAll(PlatformFile file, const void *data, size_t length) {
    const char *bytes = static_cast<const char *>(data);
    while (length > 0) {
        DWORD request = length > MAXDWORD ? MAXDWORD : static_cast<DWORD>(length);
        DWORD written = 0;
        if (!WriteFile(Handle(file), bytes, request, &written, nullptr) || written == 0)
            return false;
        bytes += written;
        length -= written;
    }
    return true;
}

void ClosePlatformFile(PlatformFile file) {
    CloseHandle(Handle(file));
}

bool RemovePlatformFile(const std::string &path) {
    return DeleteFileA(path.c_str()) != 0;
}

// Handles have no small per-process limit here.
int SpareFiles(int wanted) {
    return wanted;
}

std::string LastFileError() {
    return "Windows error " + std::to_string(GetLastError());
}
