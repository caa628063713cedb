// The Linux layer: semaphores and waits, events, timers, the random
// sequence, processor counting and the wrapping clock.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/clock.h"
#include "platform/random.h"
#include "platform/sync.h"
#include "platform/threads.h"
#include "platform/timer_queue.h"

namespace {

TEST(Random, FollowsTheFormulaFromSeedZero) {
    RandomSeed(0);
    uint32_t state = 0;
    for (int i = 0; i < 1000; i++) {
        state = state * 214013u + 2531011u;
        ASSERT_EQ(RandomNext(), int((state >> 16) & 0x7FFF));
    }
    RandomSeed(0);
    EXPECT_EQ(RandomNext(), 38);  // 2531011 >> 16
}

TEST(Semaphore, ReleasePastMaximumFails) {
    Semaphore semaphore;
    SemaphoreInit(&semaphore, 0, 2);
    EXPECT_TRUE(SemaphoreRelease(&semaphore, 2));
    EXPECT_FALSE(SemaphoreRelease(&semaphore, 1));
    EXPECT_EQ(SemaphoreCount(&semaphore), 2);
    EXPECT_TRUE(SemaphoreWait(&semaphore, 0));
    EXPECT_TRUE(SemaphoreWait(&semaphore, 0));
    EXPECT_FALSE(SemaphoreWait(&semaphore, 0));
}

TEST(Semaphore, WaitAnyTakesLowestSignalled) {
    Semaphore semaphores[MAX_WAIT_OBJECTS];
    Semaphore *list[MAX_WAIT_OBJECTS];
    for (int i = 0; i < MAX_WAIT_OBJECTS; i++) {
        SemaphoreInit(&semaphores[i], 0, 4);
        list[i] = &semaphores[i];
    }
    EXPECT_EQ(SemaphoreWaitAny(list, MAX_WAIT_OBJECTS, 0), -1);
    ASSERT_TRUE(SemaphoreRelease(&semaphores[47], 1));
    ASSERT_TRUE(SemaphoreRelease(&semaphores[5], 2));
    EXPECT_EQ(SemaphoreWaitAny(list, MAX_WAIT_OBJECTS, 0), 5);
    EXPECT_EQ(SemaphoreWaitAny(list, MAX_WAIT_OBJECTS, 0), 5);
    EXPECT_EQ(SemaphoreWaitAny(list, MAX_WAIT_OBJECTS, 0), 47);
    EXPECT_EQ(SemaphoreWaitAny(list, MAX_WAIT_OBJECTS, 0), -1);
    EXPECT_EQ(SemaphoreWaitAny(list, MAX_WAIT_OBJECTS + 1, 0), -1);

    // An unlimited wait is woken by a release from another thread.
    std::thread releaser([&] {
        SleepMs(20);
        (void)SemaphoreRelease(&semaphores[30], 1);
    });
    EXPECT_EQ(SemaphoreWaitAny(list, MAX_WAIT_OBJECTS, WAIT_FOREVER), 30);
    releaser.join();
}

TEST(Event, AutoResets) {
    Event event;
    EXPECT_FALSE(EventWait(&event, 0));
    EventSet(&event);
    EventSet(&event);
    EXPECT_TRUE(EventWait(&event, 0));
    EXPECT_FALSE(EventWait(&event, 0));
    std::thread setter([&] { EventSet(&event); });
    EXPECT_TRUE(EventWait(&event, WAIT_FOREVER));
    setter.join();
}

TEST(CriticalSection, IsRecursive) {
    CriticalSection section;
    EnterCriticalSection(&section);
    EnterCriticalSection(&section);
    LeaveCriticalSection(&section);
    LeaveCriticalSection(&section);
    std::atomic<bool> entered{false};
    std::thread other([&] {
        EnterCriticalSection(&section);
        entered = true;
        LeaveCriticalSection(&section);
    });
    other.join();
    EXPECT_TRUE(entered);
}

void CountFiring(void *argument) { static_cast<std::atomic<int> *>(argument)->fetch_add(1); }

TEST(TimerQueue, FiresOnceAndCancels) {
    std::atomic<int> fired{0}, cancelled{0};
    TimerId kept = TimerStart(10, CountFiring, &fired);
    TimerId dropped = TimerStart(200, CountFiring, &cancelled);
    EXPECT_NE(kept, dropped);
    EXPECT_TRUE(TimerCancel(dropped));
    for (int i = 0; i < 200 && fired == 0; i++)
        SleepMs(5);
    SleepMs(50);
    EXPECT_EQ(fired.load(), 1);
    EXPECT_EQ(cancelled.load(), 0);
    EXPECT_FALSE(TimerCancel(kept));
}

struct SelfCancel {
    std::atomic<TimerId> id{0};
    std::atomic<int> done{0};
};

void CancelOwnTimer(void *argument) {
    SelfCancel *self = static_cast<SelfCancel *>(argument);
    TimerCancel(self->id);  // must not wait for itself
    self->done = 1;
}

TEST(TimerQueue, CancelFromInsideItsCallbackDoesNotDeadlock) {
    SelfCancel self;
    self.id = TimerStart(50, CancelOwnTimer, &self);
    for (int i = 0; i < 400 && self.done == 0; i++)
        SleepMs(5);
    EXPECT_EQ(self.done.load(), 1);
}

TEST(Processors, CountOnlyTheLow24Bits) {
    EXPECT_EQ(CountProcessorsInMask(0xFFFFFFFFull), 24);
    EXPECT_EQ(CountProcessorsInMask(0xFF000000ull), 0);
    EXPECT_EQ(CountProcessorsInMask(0x5ull), 2);
    EXPECT_GE(CountProcessors(), 1);
}

TEST(Clock, DifferencesSurviveTheWrap) {
    EXPECT_EQ(ElapsedMs(int32_t(0x7FFFFFF0), int32_t(0x80000010u)), 0x20);
    EXPECT_EQ(ElapsedMs(-5, 5), 10);
    int32_t start = ClockMs();
    SleepMs(20);
    EXPECT_GE(ElapsedMs(start, ClockMs()), 19);
}

}  // namespace
