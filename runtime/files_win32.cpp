// Numbered output files on Win32: a table of file handles indexed by file
// number, and the current output file to which WriteBytes goes.
#include <vector>
#include <windows.h>

#include "runtime/runtime.h"

namespace {
constexpr size_t INITIAL_FILE_SLOTS = 10;
std::vector<HANDLE> fileSlots(INITIAL_FILE_SLOTS, INVALID_HANDLE_VALUE);
HANDLE currentFile = INVALID_HANDLE_VALUE;

HANDLE CreateFresh(const std::string &path) {
    return CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

// Never opens what is already there: an existing name (a file, or a link
// someone planted) is removed, not written through, and the file is created
// anew. Deleting a link removes the link itself, never its target.
HANDLE CreateReplacing(const std::string &path) {
    HANDLE file = CreateFresh(path);
    if (file == INVALID_HANDLE_VALUE && GetLastError() == ERROR_FILE_EXISTS &&
        DeleteFileA(path.c_str()))
        file = CreateFresh(path);
    return file;
}
} // namespace

void ResetFileTable() {
    fileSlots.assign(INITIAL_FILE_SLOTS, INVALID_HANDLE_VALUE);
    currentFile = INVALID_HANDLE_VALUE;
}

void CloseAllFiles() {
    for (HANDLE &file : fileSlots) {
        if (file != INVALID_HANDLE_VALUE)
            CloseHandle(file);
        file = INVALID_HANDLE_VALUE;
    }
    currentFile = INVALID_HANDLE_VALUE;
}

intptr_t CreateOutputFile(int number, const std::string &path) {
    currentFile = INVALID_HANDLE_VALUE;
    if (number < 0)
        return 0;
    HANDLE file = CreateReplacing(path);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    if (static_cast<size_t>(number) >= fileSlots.size())
        fileSlots.resize(static_cast<size_t>(number) + 1, INVALID_HANDLE_VALUE);
    if (fileSlots[number] != INVALID_HANDLE_VALUE)
        CloseHandle(fileSlots[number]);
    fileSlots[number] = file;
    currentFile = file;
    return reinterpret_cast<intptr_t>(file);
}

int WriteBytes(const void *address, size_t length) {
    if (currentFile == INVALID_HANDLE_VALUE || address == nullptr || length == 0 ||
        length > MAXDWORD)
        return 0;
    DWORD written = 0;
    BOOL ok = WriteFile(currentFile, address, static_cast<DWORD>(length), &written, nullptr);
    // A short write is a failed write, never a success.
    return ok && written == length ? 1 : 0;
}

void CloseOutputFile(int number) {
    if (number < 0 || static_cast<size_t>(number) >= fileSlots.size() ||
        fileSlots[number] == INVALID_HANDLE_VALUE)
        return;
    if (currentFile == fileSlots[number])
        currentFile = INVALID_HANDLE_VALUE;
    CloseHandle(fileSlots[number]);
    fileSlots[number] = INVALID_HANDLE_VALUE;
}

int RemoveFile(const std::string &path) {
    return DeleteFileA(path.c_str()) ? 1 : 0;
}
