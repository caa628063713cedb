// The pool of helper threads. The program's copy of the core links a
// stand-in where these do nothing.
#pragma once

// Builds the thread records and starts the helpers for nThreads.
void StartThreads(int nThreads);
// Changes how many threads may search at once.
void SetThreadCount(int nThreads);
