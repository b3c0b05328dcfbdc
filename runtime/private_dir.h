// The run's private directory under the system's temp directory, where the
// player library is written.
// Files a new platform adds: private_dir_<platform>.cpp.
#pragma once

#include <string>

// Makes a fresh directory, readable by this user only, under the system's
// temp directory; its name starts with prefix and never names anything that
// existed before. Its path ending in the path separator, or "".
std::string MakePrivateTempDirectory(const char *prefix);

// This run's directory (MakePrivateTempDirectory), held until
// ClosePrivateDirectory so that no other run takes it for a leftover. First
// removes what killed runs left: their directories of this prefix that no
// live run holds, with fileName in them and nothing else. A crash of this
// run removes fileName and the directory. A child forked from the run does
// not hold it. Its path, or "".
std::string OpenPrivateDirectory(const char *prefix, const char *fileName);
// Removes the directory if nothing is left in it and lets go of it.
void ClosePrivateDirectory(const std::string &path);
