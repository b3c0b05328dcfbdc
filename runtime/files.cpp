// Numbered output files: a table of platform files indexed by file number,
// and the current output file to which WriteBytes goes.
#include <vector>

#include "runtime/file_system.h"
#include "runtime/runtime.h"

namespace {
constexpr size_t INITIAL_FILE_SLOTS = 10;
std::vector<PlatformFile> fileSlots(INITIAL_FILE_SLOTS, NO_FILE);
PlatformFile currentFile = NO_FILE;
} // namespace

void ResetFileTable() {
    fileSlots.assign(INITIAL_FILE_SLOTS, NO_FILE);
    currentFile = NO_FILE;
}

void CloseAllFiles() {
    for (PlatformFile &file : fileSlots) {
        if (file != NO_FILE)
            ClosePlatformFile(file);
        file = NO_FILE;
    }
    currentFile = NO_FILE;
}

intptr_t CreateOutputFile(int number, const std::string &path) {
    currentFile = NO_FILE;
    if (number < 0)
        return 0;
    PlatformFile file = CreateReplacing(path);
    if (file == NO_FILE)
        return 0;
    if (static_cast<size_t>(number) >= fileSlots.size())
        fileSlots.resize(static_cast<size_t>(number) + 1, NO_FILE);
    if (fileSlots[number] != NO_FILE)
        ClosePlatformFile(fileSlots[number]);
    fileSlots[number] = file;
    currentFile = file;
    // Descriptor 0 is a valid file but not a valid "non-zero handle".
    return file + 1;
}

int WriteBytes(const void *address, size_t length) {
    if (currentFile == NO_FILE || address == nullptr || length == 0)
        return 0;
    // One request; WriteAll only continues a write that the system cut
    // short, so a short write is never reported as success.
    return WriteAll(currentFile, address, length) ? 1 : 0;
}

void CloseOutputFile(int number) {
    if (number < 0 || static_cast<size_t>(number) >= fileSlots.size() ||
        fileSlots[number] == NO_FILE)
        return;
    // A closed descriptor number is soon reused by other opens; writes must
    // not follow it there, so the current file is forgotten with it.
    if (currentFile == fileSlots[number])
        currentFile = NO_FILE;
    ClosePlatformFile(fileSlots[number]);
    fileSlots[number] = NO_FILE;
}

int RemoveFile(const std::string &path) {
    return RemovePlatformFile(path) ? 1 : 0;
}
