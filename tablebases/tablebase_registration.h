// Registration of tablebase files found along the directory list of the
// NalimovPath option.
#pragma once

#include <cstdint>
#include <string>

extern int32_t filesTried;             // open attempts of the last registration
extern int32_t filesOpened;            // successful opens
extern int32_t compressedFilesOpened;  // compressed files opened by any registration

// Directories separated by ',' or ';' (an empty entry is the current
// directory); null frees everything. Returns the largest men count a
// registered table covers, 0 when none. Broken files end the program.
int RegisterTablebasePaths(const char *pathList);
// 1 when the first extent of the table side is registered (now or before).
int RegisterTablebaseSide(const char *directory, int id, int side);
// 1 registered now or before, 0 not found.
int RegisterTablebaseFile(const char *directory, int id, int side, int extent);
// Ends the program unless size (in positions) fits the table side.
void CheckTablebaseSize(int id, int side, int extent, int64_t size, const char *path);
// The plain file name of an extent: directory, name, extent, ".nbw"/".nbb".
std::string PlainTablebaseName(const char *directory, int id, int side, int extent);

// Entry for the program: registers under the tablebase lock and leaves the
// cache empty; the result as RegisterTablebasePaths.
int RegisterTablebases(const char *pathList);
