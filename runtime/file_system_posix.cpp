// Files on POSIX: descriptors.
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

#include "runtime/file_system.h"

PlatformFile CreateReplacing(const std::string &path) {
    // O_NOFOLLOW: the library file goes into a temp directory; a link planted
    // there must not redirect the write to another file.
    return open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0600);
}

bool WriteAll(PlatformFile file, const void *data, size_t length) {
    const char *bytes = static_cast<const char *>(data);
    while (length > 0) {
        ssize_t written = write(static_cast<int>(file), bytes, length);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            if (written == 0)
                errno = EIO;
            return false;
        }
        bytes += written;
        length -= static_cast<size_t>(written);
    }
    return true;
}

void ClosePlatformFile(PlatformFile file) {
    close(static_cast<int>(file));
}

bool RemovePlatformFile(const std::string &path) {
    return unlink(path.c_str()) == 0;
}

int SpareFiles(int wanted) {
    std::vector<int> held;
    for (int i = 0; i < wanted; i++) {
        int file = open("/dev/null", O_RDONLY | O_CLOEXEC);
        if (file < 0 && errno != EMFILE && errno != ENFILE)
            return wanted; // no /dev/null to count with: assume room
        if (file < 0)
            break;
        held.push_back(file);
    }
    for (int file : held)
        close(file);
    return static_cast<int>(held.size());
}

std::string LastFileError() {
    return std::strerror(errno);
}
