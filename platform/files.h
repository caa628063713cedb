// Probing the file system for data files.
#pragma once

#include <cstdint>

bool DirectoryExists(const char *path);
bool FileExists(const char *path);
// Size in bytes, or -1 when the file cannot be examined.
int64_t FileSize(const char *path);
