// The private temp directory on Win32: a directory of a fresh name under
// GetTempPath. CreateDirectory fails on any name that exists already (a
// directory, a file or a link someone planted), so what it makes is new.
#include <cstdio>
#include <windows.h>

#include "runtime/private_dir.h"

namespace {
constexpr int NAME_ATTEMPTS = 100;

// A name nobody can predict for sure: process id, the performance counter
// and the attempt number.
std::string CandidateName(const std::string &parent, const char *prefix, int attempt) {
    LARGE_INTEGER counter{};
    QueryPerformanceCounter(&counter);
    char name[96];
    std::snprintf(name, sizeof name, "%s-%lx-%llx-%d", prefix, GetCurrentProcessId(),
                  static_cast<unsigned long long>(counter.QuadPart), attempt);
    return parent + name;
}
} // namespace

std::string MakePrivateTempDirectory(const char *prefix) {
    char parent[MAX_PATH + 1];
    DWORD length = GetTempPathA(sizeof parent, parent);
    if (length == 0 || length >= sizeof parent)
        return "";
    // The user's own temp directory; the new directory inherits its access
    // rights, which give other users no way in.
    for (int attempt = 0; attempt < NAME_ATTEMPTS; attempt++) {
        std::string path = CandidateName(parent, prefix, attempt);
        if (CreateDirectoryA(path.c_str(), nullptr))
            return path + "\\";
        if (GetLastError() != ERROR_ALREADY_EXISTS)
            return "";
    }
    return "";
}

// No sweep: a run's directory cannot be told from a live one's without a lock
// that outlives a killed process, and what is left stays in the user's own
// temp directory, which the system's clean-up empties.
std::string OpenPrivateDirectory(const char *prefix, const char *) {
    return MakePrivateTempDirectory(prefix);
}

void ClosePrivateDirectory(const std::string &path) {
    RemoveDirectoryA(path.c_str()); // only if nothing else is left in it
}
