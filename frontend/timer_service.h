// One-shot timers for the module: two slots chosen by the request's sign.
#pragma once

// The setTimer callback: ms > 0 arms slot B, ms < 0 arms slot A for -ms,
// 0 cancels both. Each expiry calls the module's timerExpired once.
void RequestTimer(int ms);
// Requests are honoured only between these two calls, around a search.
void AllowTimers();
// Forbids new timers and cancels both slots.
void EndTimers();
