// The control thread: it runs commands posted to it through a one-slot
// mailbox, so that the main thread keeps reading "stop" and "ponderhit"
// while the engine thinks.
#pragma once

// Search modes of a "think" command.
constexpr int MODE_NORMAL = 0;
constexpr int MODE_PONDER = 1;
constexpr int MODE_INFINITE = 2;

// Limit kinds handed to the module.
constexpr int LIMIT_DEPTH = 0;
constexpr int LIMIT_INFINITE = 1;
constexpr int LIMIT_MOVE_TIME = 4;
constexpr int LIMIT_CLOCK = 6;

// Creates the mailbox events and starts the thread; false when the
// thread could not start.
[[nodiscard]] bool StartControlThread();
bool ControlThreadRunning();
// Waits until the control thread is idle and has taken the previous
// command; false (after the "Wait error" line) when there is no thread.
[[nodiscard]] bool WaitForControlIdle();
// Hands a command to the idle thread; follows a successful
// WaitForControlIdle.
void PostTakenSlot(const char *command);
// WaitForControlIdle, then PostTakenSlot with the formatted command.
void PostCommand(const char *format, ...) __attribute__((format(printf, 1, 2)));

// Stops the module's search and releases a ponder search that was
// answered from the book, which waits for "stop" or "ponderhit".
void StopEngineSearch();
// "ponderhit" releases that wait too.
void ReleasePonderWait();
// "go" forgets a release that no search waited for.
void ForgetPonderRelease();

// One search on the calling thread, then its best-move line.
void RunThink(int mode, int kind, int myTime, int movesToGo, int myInc, int extra);
