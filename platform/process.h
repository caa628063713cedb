// Processor state and ending the process.
#pragma once

// Sets flush-to-zero and denormals-are-zero (bits 0x8040) in the SSE
// control register of the calling thread.
void SetSseFlushToZero();
// Flushes standard output and ends the process at once, without static
// destructors, which must not run under threads that are still alive.
[[noreturn]] void ExitProcessNow(int status);
