// The private temp directory in a browser: mkdtemp under /tmp of the page's
// in-memory file system. That file system is the page's own and starts empty
// at every load: no other run can see it, hold it or leave anything in it,
// so there is nothing to lock and no leftovers to sweep.
#include <unistd.h>
#include <vector>

#include "runtime/private_dir.h"

std::string MakePrivateTempDirectory(const char *prefix) {
    std::string pattern = std::string("/tmp/") + prefix + "-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    if (mkdtemp(name.data()) == nullptr)
        return "";
    return std::string(name.data()) + "/";
}

std::string OpenPrivateDirectory(const char *prefix, const char *) {
    return MakePrivateTempDirectory(prefix);
}

void ClosePrivateDirectory(const std::string &path) {
    rmdir(path.c_str()); // only if nothing else is left in it
}
