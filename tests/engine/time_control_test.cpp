// Time allocation for every kind of limit and the two-stage timer, on the
// core's own globals with a recording timer callback.
#include "engine/time_control.h"

#include <gtest/gtest.h>

#include <vector>

#include "engine/module_state.h"

namespace {

std::vector<int> timerCalls;
void RecordTimer(int ms) {
    timerCalls.push_back(ms);
}

struct Allocation {
    int first, second, allotted;
};

Allocation Allocate(int kind, int l1, int l2, int l3, int l4, int move, int usedMs) {
    timeControlKind = kind;
    limitValues[0] = l1;
    limitValues[1] = l2;
    limitValues[2] = l3;
    limitValues[3] = l4;
    moveNumber = move;
    AllocateTime(usedMs);
    return {pendingFirstMs, pendingSecondMs, allottedMs};
}

void ExpectAllocation(Allocation got, int first, int second, int allotted) {
    EXPECT_EQ(got.first, first);
    EXPECT_EQ(got.second, second);
    EXPECT_EQ(got.allotted, allotted);
}

TEST(AllocateTime, ClockWithMovesToGo) {
    ExpectAllocation(Allocate(6, 300, 0, 0, 0, 1, 0), 50000, 120000, 9375);
    ExpectAllocation(Allocate(6, 300, 40, 0, 0, 1, 0), 63000, 120000, 7317);
    ExpectAllocation(Allocate(6, 10, 1, 0, 0, 1, 0), 6000, 6000, 5000);
    // The increment passed in limit3 changes nothing.
    ExpectAllocation(Allocate(6, 300, 40, 12, 0, 1, 0), 63000, 120000, 7317);
    // Less than a second left: no timer, the first iteration decides.
    ExpectAllocation(Allocate(6, 0, 0, 0, 0, 1, 0), 0, 0, 1);
}

TEST(AllocateTime, MoveTimeAndAverage) {
    ExpectAllocation(Allocate(4, 2000, 0, 0, 0, 1, 0), 2000, 2000, 1500);
    ExpectAllocation(Allocate(1, 60, 0, 0, 0, 1, 0), 480000, 480000, 60000);
}

TEST(AllocateTime, WholeGameWithIncrement) {
    ExpectAllocation(Allocate(3, 300, 2, 0, 0, 10, 40000), 54333, 111200, 7909);
    // Kind 2: no increment; past move 30 a thirty-second of the rest.
    ExpectAllocation(Allocate(2, 300, 0, 0, 0, 31, 100000), 33000, 79200, 6187);
}

TEST(AllocateTime, Periods) {
    // 40 moves in 300 s, move 11, 100 s used: 200 s left for 30 moves.
    ExpectAllocation(Allocate(5, 300, 40, 0, 0, 11, 100000), 42666, 80000, 6451);
    // Whole game in limit1 (limit2 0): as a clock without moves to go.
    ExpectAllocation(Allocate(5, 300, 0, 0, 0, 11, 0), 50000, 120000, 9375);
    // Past the first period with limit4 0: limit3 for the rest of the game.
    ExpectAllocation(Allocate(5, 300, 40, 60, 0, 41, 300000), 10000, 24000, 1875);
    // Past the first period: 60 s per 20 moves; move 45 is the 5th of 20.
    ExpectAllocation(Allocate(5, 300, 40, 60, 20, 45, 300000), 13500, 24000, 3529);
}

TEST(AllocateTime, FixedDepthAndUnknownKindsArmNothing) {
    for (int kind : {0, 7, -1, 1000}) {
        ExpectAllocation(Allocate(kind, 300, 40, 0, 0, 1, 0), 0, 0, 1);
    }
}

TEST(AllocateTime, HugeClocksSaturateInsteadOfWrapping) {
    // 100000 s with 40 to go overflows 32-bit products.
    Allocation got = Allocate(6, 100000, 40, 0, 0, 1, 0);
    EXPECT_EQ(got.first, 21000000);
    EXPECT_EQ(got.second, 40000000);
    EXPECT_EQ(got.allotted, 2439024);
    got = Allocate(1, 2000000000, 0, 0, 0, 1, 0);
    EXPECT_EQ(got.first, INT32_MAX);
    EXPECT_EQ(got.allotted, INT32_MAX);
    got = Allocate(6, -2000000000, 0, 0, 0, 1, 0);
    EXPECT_LT(got.first, 0);
    EXPECT_EQ(got.allotted, 1);
}

TEST(TwoStageTimer, FirstStageArmsSecondUnlessAnIterationIsDone) {
    FrontEndCallbacks callbacks = {};
    callbacks.setTimer = RecordTimer;
    ResetModuleState(&callbacks);
    timerCalls.clear();
    stopSearch = 0;
    iterationDone = 0;
    ArmFrontEndTimers(63000, 120000);
    EXPECT_EQ(pendingTimerMs, 57000);
    TimerExpired();
    EXPECT_EQ(stopSearch, 0);
    TimerExpired();
    EXPECT_EQ(stopSearch, 1);
    EXPECT_EQ(timerCalls, (std::vector<int>{63000, -57000}));

    stopSearch = 0;
    iterationDone = 1;
    ArmFrontEndTimers(63000, 120000);
    TimerExpired();
    EXPECT_EQ(stopSearch, 1);
    ArmFrontEndTimers(0, 0);
    EXPECT_EQ(pendingTimerMs, 0);
    EXPECT_EQ(timerCalls.back(), 0);
}

TEST(TwoStageTimer, NullSlotArmsNothingButExpiryStillStops) {
    FrontEndCallbacks callbacks = {};
    ResetModuleState(&callbacks);
    stopSearch = 0;
    iterationDone = 0;
    pendingTimerMs = 0;
    ArmFrontEndTimers(2000, 5000);
    EXPECT_EQ(pendingTimerMs, 0);
    TimerExpired();
    EXPECT_EQ(stopSearch, 1);
    stopSearch = 0;
}

}  // namespace
