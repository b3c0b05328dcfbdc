// Failures of the capture's files, named by the file.
#include "capture/file_error.h"

#include <cstring>

std::string FileError(const std::string &path, int error) {
    return path + ": " + strerror(error);
}
