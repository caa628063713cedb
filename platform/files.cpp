// File-system probes with stat.
#include "platform/files.h"

#include <sys/stat.h>

bool DirectoryExists(const char *path) {
    struct stat info;
    return stat(path, &info) == 0 && S_ISDIR(info.st_mode);
}

bool FileExists(const char *path) {
    struct stat info;
    return stat(path, &info) == 0 && S_ISREG(info.st_mode);
}

int64_t FileSize(const char *path) {
    struct stat info;
    if (stat(path, &info) != 0 || !S_ISREG(info.st_mode))
        return -1;
    return int64_t(info.st_size);
}
