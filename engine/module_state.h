// The module's shared state: the lent callbacks, the report switches,
// the settings and the words that the searching threads poll.
#pragma once

#include <atomic>
#include <cstdint>

#include "engine/engine_api.h"
#include "platform/sync.h"

struct Position;
struct SearchNode;

typedef void (*ReportPvHook)(int depth, int score, const Move *pv, int lowerBound);
typedef void (*ReportCurrentMoveHook)(int depth, const SearchNode *node, int repeat);
typedef int (*ProbeTablebaseHook)(const Position *position, int side, int epSquare, int *score);
typedef void (*ArmTimersHook)(int firstMs, int secondMs);

extern FrontEndCallbacks frontEnd;  // the module's copy of the callbacks

extern const EngineSettings defaultSettings;
extern EngineSettings settings;

// Report and probe switches: the wrapper while enabled, null while off.
extern std::atomic<ReportPvHook> reportPvHook;
extern std::atomic<ReportCurrentMoveHook> reportCurrentMoveHook;
extern std::atomic<ProbeTablebaseHook> probeTablebaseHook;
extern ArmTimersHook armTimers;

// Polled by several threads.
extern std::atomic<int32_t> stopSearch;     // stop now
extern std::atomic<int32_t> searchState;    // 0 idle, 1 thinking, 2 waiting for stop/ponderhit
extern std::atomic<int32_t> iterationDone;  // an iteration completed
extern std::atomic<int32_t> readyToMove;    // the move is settled

// Lock order: timerArmLock, then searchStateLock. The front end's
// setTimer may wait for an expiry in progress, and the expiry
// (timerExpired) takes searchStateLock and itself calls setTimer: so the
// module calls setTimer only under timerArmLock or from the expiry, never
// under searchStateLock or splitLock, and the expiry never takes
// timerArmLock. The expiry may arm the second stage after a cancel began:
// the front end cancels slot B, whose expiry arms A, before slot A.

// Serialises arming and cancelling the front end's timers, so that no
// arm lands after the cancel at the end of a search; guards the word below.
extern CriticalSection timerArmLock;
extern int32_t timersArmable;  // a search is in go with its time allocated

// Guards the hand-over between go, ponderHit and stop: searchState's
// changes, the word below and the stop hold. Held only briefly.
extern CriticalSection searchStateLock;
extern int32_t ponderHitPending;  // a ponderHit came before go entered its search

// "Move now": from clearStop until the first line of the search is done
// (a pass of at most three plies, well under a millisecond), a stop or an
// expired timer is held back, so that even an immediate stop answers a
// searched move rather than none.
void HoldStop();     // clears stopSearch and starts holding
void RequestStop();  // stopSearch now, or once the hold ends
void ReleaseStop();  // ends the hold; a stop held back takes effect now

// Search limits as the program set them (meanings in time allocation).
extern int32_t timeControlKind;
extern int32_t limitValues[4];
extern int32_t moveNumber;
extern int32_t rootSide;         // side to move at the root of the current search
extern int32_t maxTablebaseMen;  // largest men count the program's tablebases cover

// Installs the callbacks, the default settings and the switches.
void ResetModuleState(const FrontEndCallbacks *callbacks);
// Copies a settings block in; threat detection is always on.
void ApplySettings(const EngineSettings *in);
