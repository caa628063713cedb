// Time allocation and the two-stage timer. Every figure is computed in
// 64 bits and saturated into 32, so a long clock can never wrap into a
// negative (instant) or tiny time. The first stage stops a search that
// has finished an iteration; otherwise the second stage stops it.
#include "engine/time_control.h"

#include <algorithm>

#include "engine/module_state.h"

std::atomic<int32_t> allottedMs{1};
std::atomic<int32_t> pendingFirstMs{0};
std::atomic<int32_t> pendingSecondMs{0};
std::atomic<int32_t> pendingTimerMs{0};

static int32_t Saturate(int64_t value) {
    return int32_t(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

// First stage, cap and second-stage base of one allocation.
struct TimeShares {
    int64_t first;
    int64_t cap;
    int64_t secondBase;
};

// Whole game in limit1 seconds, plus limit2 seconds per move for kind 3.
static TimeShares SharesForGame(int kind, int64_t usedMs) {
    int64_t inc = kind == 3 ? 1000 * int64_t(limitValues[1]) : 0;
    int64_t limit1 = limitValues[0];
    int64_t used = usedMs - int64_t(moveNumber) * inc;
    int64_t reserve = 1000 * limit1 - used - 2000;
    TimeShares shares;
    if (moveNumber > 30)
        shares.cap = reserve / 32;
    else
        shares.cap = std::min(reserve / 20, (500 * limit1 - used) / (32 - int64_t(moveNumber)));
    shares.cap += inc;
    shares.first = reserve / 6 + (inc > 0 ? 4 * inc : 0);
    shares.first = std::min(shares.first, 2 * reserve / 5);
    shares.secondBase = 2 * reserve / 5;
    return shares;
}

// Time left and moves to go.
static TimeShares SharesForClock(int64_t timeMs, int64_t movesToGo) {
    TimeShares shares;
    if (movesToGo > 0) {
        shares.cap = timeMs / (movesToGo + 1);
        shares.first = (movesToGo + 2) * timeMs / (5 * movesToGo);
    } else {
        shares.cap = timeMs / 32;
        shares.first = timeMs / 6;
    }
    shares.secondBase = 2 * timeMs / 5;
    return shares;
}

// limit2 moves in limit1 seconds, then limit3 seconds per limit4 moves.
static TimeShares SharesForPeriods(int64_t usedMs) {
    int64_t limit1 = limitValues[0], limit2 = limitValues[1];
    int64_t limit3 = limitValues[2], limit4 = limitValues[3];
    int64_t total, movesToGo;
    if (limit2 == 0) {
        total = limit1;
        movesToGo = 0;
    } else if (moveNumber <= limit2) {
        total = limit1;
        movesToGo = limit2 - moveNumber + 1;
    } else if (limit4 == 0) {
        total = limit1 + limit3;
        movesToGo = 0;
    } else {
        int64_t k = moveNumber - limit2;
        total = limit1 + limit3 * ((k + limit4 - 1) / limit4);
        movesToGo = limit4 - ((k - 1) % limit4);
    }
    return SharesForClock(1000 * total - usedMs, movesToGo);
}

void AllocateTime(int32_t usedMs) {
    int64_t limit1 = limitValues[0];
    TimeShares shares;
    switch (timeControlKind) {
        case 1:
            shares = {8000 * limit1, 1000 * limit1, 8000 * limit1};
            break;
        case 2:
        case 3:
            shares = SharesForGame(timeControlKind, usedMs);
            break;
        case 4:
            shares = {limit1, 3 * limit1 / 4, limit1};
            break;
        case 5:
            shares = SharesForPeriods(usedMs);
            break;
        case 6:
            shares = SharesForClock(1000 * limit1, limitValues[1]);
            break;
        default:  // fixed depth and unknown kinds: no timer
            pendingFirstMs = 0;
            pendingSecondMs = 0;
            allottedMs = 1;
            return;
    }
    pendingFirstMs = Saturate(shares.first);
    pendingSecondMs = Saturate(std::max(shares.secondBase, shares.first));
    allottedMs = Saturate(std::max<int64_t>(1, std::min(shares.first, shares.cap)));
}

void ArmFrontEndTimers(int firstMs, int secondMs) {
    if (!frontEnd.setTimer)
        return;
    pendingTimerMs = Saturate(int64_t(secondMs) - firstMs);
    frontEnd.setTimer(firstMs);
}

void TimerExpired() {
    int32_t stage = pendingTimerMs.exchange(0);
    if (iterationDone || stage <= 0) {
        RequestStop();
        return;
    }
    if (frontEnd.setTimer)
        frontEnd.setTimer(-stage);
}
