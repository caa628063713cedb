// Invariant checks compiled in only where VLM_DEBUG is defined (Debug and
// sanitizer builds). Not the program's kept-in-every-build checks.
#pragma once

[[noreturn]] void DebugCheckFailed(const char *expression, const char *file, int line);

#ifdef VLM_DEBUG
#define DEBUG_CHECK(expr) ((expr) ? (void)0 : DebugCheckFailed(#expr, __FILE__, __LINE__))
#else
#define DEBUG_CHECK(expr) ((void)0)
#endif
