// Hidden partial files: naming them, and sweeping those of dead runs.
#include "capture/partials.h"

#include <cctype>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

namespace {

// The pid in ".NAME.PID.partial.TYPE", or 0 when name is not such a name.
pid_t PartialOwner(const std::string &name) {
    size_t marker = name.rfind(".partial.");
    if (name.size() < 2 || name[0] != '.' || marker == std::string::npos ||
        marker + 9 == name.size())
        return 0;
    size_t dot = name.rfind('.', marker - 1);
    if (dot == std::string::npos || dot < 2 || dot + 1 == marker)
        return 0;
    for (size_t i = dot + 1; i < marker; ++i)
        if (!isdigit(static_cast<unsigned char>(name[i])))
            return 0;
    return static_cast<pid_t>(strtol(name.c_str() + dot + 1, nullptr, 10));
}

// Not alive, as far as this process can tell: a process of another user
// (EPERM) counts as alive.
bool ProcessGone(pid_t pid) {
    return kill(pid, 0) != 0 && errno == ESRCH;
}

} // namespace

std::string PartialPath(const std::string &path, const char *type) {
    size_t slash = path.find_last_of('/');
    std::string directory = slash == std::string::npos ? "" : path.substr(0, slash + 1);
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    return directory + "." + name + "." + std::to_string(getpid()) + ".partial." + type;
}

void RemoveDeadPartials(const std::string &folder) {
    DIR *listing = opendir(folder.empty() ? "." : folder.c_str());
    if (listing == nullptr)
        return; // not there yet: nothing to sweep
    while (const dirent *entry = readdir(listing)) {
        pid_t owner = PartialOwner(entry->d_name);
        if (owner > 0 && ProcessGone(owner))
            unlinkat(dirfd(listing), entry->d_name, 0);
    }
    closedir(listing);
}
