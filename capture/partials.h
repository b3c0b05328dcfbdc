// Files that are not finished yet: each is written under a hidden name that
// carries the writing process's pid, beside the file it becomes. A run that
// was killed leaves them behind; the next run into the same folder removes
// those whose process is gone.
#pragma once

#include <string>

// ".NAME.PID.partial.TYPE" beside path (NAME its last component), for this
// process.
std::string PartialPath(const std::string &path, const char *type);
// Removes from folder ("" for the working directory) every partial file of a
// process that no longer runs. Those of running processes stay, this one's
// included.
void RemoveDeadPartials(const std::string &folder);
