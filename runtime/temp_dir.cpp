// The private temp directory on POSIX: mkdtemp under $TMPDIR (or /tmp).
#include <cstdlib>
#include <vector>

#include "runtime/runtime.h"

// The shared temp directory is writable by every user: a fixed file name there
// would let another user plant a file we load (or a link we truncate), and two
// runs would overwrite each other's files. mkdtemp makes a fresh directory of
// mode 0700 instead.
std::string MakePrivateTempDirectory(const char *prefix) {
    const char *base = std::getenv("TMPDIR");
    std::string parent = (base != nullptr && base[0] != '\0') ? base : "/tmp";
    while (parent.size() > 1 && parent.back() == '/')
        parent.pop_back();
    std::string pattern = parent + "/" + prefix + "-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    if (mkdtemp(name.data()) == nullptr)
        return "";
    return std::string(name.data()) + "/";
}
