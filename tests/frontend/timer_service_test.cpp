// The module's timers: one expiry per armed timer, re-arming replaces,
// cancelling from inside an expiry does not wait for itself.
#include "frontend/timer_service.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "frontend/engine_link.h"

namespace {

std::atomic<int> nExpired{0};
std::atomic<int> nestedRequest{0};

void CountExpiry() {
    nExpired++;
    int request = nestedRequest.exchange(0);
    if (request != 0)
        RequestTimer(request == 1 ? 0 : request);
}

void Wait(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

struct TimerFixture : testing::Test {
    void SetUp() override {
        engineOps.timerExpired = CountExpiry;
        nExpired = 0;
        nestedRequest = 0;
        AllowTimers();
    }
    void TearDown() override { EndTimers(); }
};

TEST_F(TimerFixture, OneExpiryPerTimer) {
    RequestTimer(60);
    Wait(20);
    EXPECT_EQ(nExpired, 0);
    Wait(150);
    EXPECT_EQ(nExpired, 1);
    RequestTimer(-30);
    RequestTimer(50);
    Wait(200);
    EXPECT_EQ(nExpired, 3);
    RequestTimer(0);  // after both fired: nothing left to cancel
    RequestTimer(0);
    EXPECT_EQ(nExpired, 3);
}

TEST_F(TimerFixture, RearmingReplacesTheSlotsTimer) {
    RequestTimer(40);
    RequestTimer(120);
    Wait(80);
    EXPECT_EQ(nExpired, 0);
    Wait(150);
    EXPECT_EQ(nExpired, 1);
}

TEST_F(TimerFixture, CancelStopsBothSlots) {
    RequestTimer(50);
    RequestTimer(-50);
    RequestTimer(0);
    Wait(150);
    EXPECT_EQ(nExpired, 0);
}

TEST_F(TimerFixture, RequestsFromInsideAnExpiry) {
    nestedRequest = 1;  // cancel both from inside the expiry
    RequestTimer(20);
    RequestTimer(-200);
    Wait(300);
    EXPECT_EQ(nExpired, 1);
    nestedRequest = -40;  // re-arm slot A from inside slot A's expiry
    RequestTimer(-20);
    Wait(200);
    EXPECT_EQ(nExpired, 3);
}

TEST_F(TimerFixture, NoTimersOutsideASearch) {
    EndTimers();
    RequestTimer(20);
    RequestTimer(-20);
    Wait(100);
    EXPECT_EQ(nExpired, 0);
    AllowTimers();
    RequestTimer(20);
    EndTimers();  // a search that ends takes its timers with it
    Wait(100);
    EXPECT_EQ(nExpired, 0);
}

}  // namespace
