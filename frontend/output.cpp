// Output lines. Main, control, timer and search threads all print, so a
// lock keeps each line whole; the 2048-byte buffer cuts what is longer.
#include "frontend/output.h"

#include <cstdarg>
#include <cstdio>
#include <mutex>

#include "platform/process.h"

// Leaf lock: taken last, under any other; only stdout is written under it.
static std::mutex &OutputLock() {
    static std::mutex *lock = new std::mutex;  // used by threads that outlive main
    return *lock;
}

static void WriteLine(const char *text) {
    std::lock_guard<std::mutex> guard(OutputLock());
    fputs(text, stdout);
    fputc('\n', stdout);
    fflush(stdout);
}

void PrintLine(const char *format, ...) {
    char buffer[OUTPUT_LINE_BYTES];
    va_list arguments;
    va_start(arguments, format);
    vsnprintf(buffer, sizeof buffer, format, arguments);
    va_end(arguments);
    WriteLine(buffer);
}

void ReportError(const char *message, const char *detail) {
    PrintLine("info string Error (%s): %s", message, detail);
}

void AssertFailed(const char *file, int line) {
    PrintLine("info string Assert Failed: %s+%d\n", file, line);
    ExitProcessNow(1);
}
