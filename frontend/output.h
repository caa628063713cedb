// The program's output lines: every protocol line goes through PrintLine,
// which writes and flushes one whole line at a time from any thread.
#pragma once

#include <cstddef>

constexpr size_t OUTPUT_LINE_BYTES = 2048;  // a longer line is cut to 2047 characters

void PrintLine(const char *format, ...) __attribute__((format(printf, 1, 2)));
// "info string Error (message): detail"
void ReportError(const char *message, const char *detail);
// "info string Assert Failed: file+line", an empty line, exit status 1.
[[noreturn]] void AssertFailed(const char *file, int line);

// Checks the program keeps in every build.
#define FRONTEND_CHECK(expr) ((expr) ? (void)0 : AssertFailed(__FILE__, __LINE__))
