// Numbered output files: a table of descriptors indexed by file number, and
// the current output file to which WriteBytes goes.
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

#include "runtime/runtime.h"

namespace {
constexpr size_t INITIAL_FILE_SLOTS = 10;
std::vector<int> fileSlots(INITIAL_FILE_SLOTS, -1);
int currentFile = -1;
} // namespace

void ResetFileTable() {
    fileSlots.assign(INITIAL_FILE_SLOTS, -1);
    currentFile = -1;
}

void CloseAllFiles() {
    for (int &descriptor : fileSlots) {
        if (descriptor >= 0)
            close(descriptor);
        descriptor = -1;
    }
    currentFile = -1;
}

intptr_t CreateOutputFile(int number, const std::string &path) {
    if (number < 0) {
        currentFile = -1;
        return 0;
    }
    // O_NOFOLLOW: the library file goes into a temp directory; a link planted
    // there must not redirect the write to another file.
    int descriptor =
        open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (descriptor < 0) {
        currentFile = -1;
        return 0;
    }
    if (static_cast<size_t>(number) >= fileSlots.size())
        fileSlots.resize(static_cast<size_t>(number) + 1, -1);
    if (fileSlots[number] >= 0)
        close(fileSlots[number]);
    fileSlots[number] = descriptor;
    currentFile = descriptor;
    // Descriptor 0 is a valid descriptor but not a valid "non-zero handle".
    return static_cast<intptr_t>(descriptor) + 1;
}

int WriteBytes(const void *address, size_t length) {
    if (currentFile < 0 || address == nullptr || length == 0)
        return 0;
    // One request; the loop only continues a write that the kernel cut short,
    // so a short write is never reported as success.
    const char *bytes = static_cast<const char *>(address);
    while (length > 0) {
        ssize_t written = write(currentFile, bytes, length);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return 0;
        bytes += written;
        length -= static_cast<size_t>(written);
    }
    return 1;
}

void CloseOutputFile(int number) {
    if (number < 0 || static_cast<size_t>(number) >= fileSlots.size() || fileSlots[number] < 0)
        return;
    // A closed descriptor number is soon reused by other opens; writes must
    // not follow it there, so the current file is forgotten with it.
    if (currentFile == fileSlots[number])
        currentFile = -1;
    close(fileSlots[number]);
    fileSlots[number] = -1;
}

int RemoveFile(const std::string &path) {
    return unlink(path.c_str()) == 0 ? 1 : 0;
}
