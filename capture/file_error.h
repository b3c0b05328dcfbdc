// The one-line reason that every failure of the capture's files gives.
#pragma once

#include <string>

// "path: reason" from errno.
std::string FileError(const std::string &path, int error);
