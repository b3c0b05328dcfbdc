// Files on the platform's file system: what the numbered output files
// (files.cpp) stand on, and the one write-everything loop of the tree.
// Files a new platform adds: file_system_<platform>.cpp.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// A descriptor (POSIX) or a HANDLE (Win32), carried as an integer.
using PlatformFile = intptr_t;
// No file: -1 is both a failed open and Win32's INVALID_HANDLE_VALUE.
constexpr PlatformFile NO_FILE = -1;

// Creates path for writing (others may read it; this user only, where the
// platform has modes). What is there already is replaced, never written
// through: a link planted at path is not followed. NO_FILE on failure.
PlatformFile CreateReplacing(const std::string &path);
// Writes all length bytes, going on after a write that was cut short or
// interrupted. False on failure; errno says why where the platform keeps it
// (a write that moved nothing is EIO).
bool WriteAll(PlatformFile file, const void *data, size_t length);
void ClosePlatformFile(PlatformFile file);
// Deletes the file at path; false if it could not.
bool RemovePlatformFile(const std::string &path);
// How many more files, up to wanted, this process could hold open at once now
// (the limit of open descriptors less those in use).
int SpareFiles(int wanted);
// Why the last call that failed here (or in private_dir.h) failed, in the
// platform's words ("No space left on device").
std::string LastFileError();
