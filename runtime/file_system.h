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
