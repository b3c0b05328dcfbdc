// Memory files on Linux: memfd_create, reached by the loader through /proc.
#include <cerrno>
#include <cstring>
#include <sys/mman.h>
#include <unistd.h>

#include "runtime/file_system.h"
#include "runtime/memory_file.h"

// Memory files may be made non-executable by default (vm.memfd_noexec);
// kernels before 6.3 know no such flag and refuse it.
#ifndef MFD_EXEC
#define MFD_EXEC 0x0010U
#endif

namespace {
int memoryFile = -1;
} // namespace

std::string OpenMemoryFile(const char *name, const void *data, size_t length, std::string &error) {
    CloseMemoryFile();
    int memory = memfd_create(name, MFD_CLOEXEC | MFD_EXEC);
    if (memory < 0 && errno == EINVAL)
        memory = memfd_create(name, MFD_CLOEXEC);
    if (memory < 0) {
        error = std::string("memfd_create: ") + std::strerror(errno);
        return "";
    }
    if (!WriteAll(memory, data, length)) {
        error = std::strerror(errno);
        close(memory);
        return "";
    }
    memoryFile = memory;
    return "/proc/self/fd/" + std::to_string(memory);
}

void CloseMemoryFile() {
    if (memoryFile >= 0)
        close(memoryFile); // the loader's mapping keeps the contents
    memoryFile = -1;
}
