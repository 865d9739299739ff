// The counts behind the server's limits, with the clock in the test's hand.
#include "checkin/client_gate.h"

#include <gtest/gtest.h>

namespace ld::checkin {
namespace {

using std::chrono::seconds;

TEST(ClientGate, CheckInsPerAddressRenewAMinuteAfterEachOne) {
    ClientGate gate(8, 64, 3, 20);
    const auto t0 = ClientGate::Clock::now();
    EXPECT_TRUE(gate.allowCheckin("10.0.0.5", t0));
    EXPECT_TRUE(gate.allowCheckin("10.0.0.5", t0 + seconds(20)));
    EXPECT_TRUE(gate.allowCheckin("10.0.0.5", t0 + seconds(40)));
    EXPECT_FALSE(gate.allowCheckin("10.0.0.5", t0 + seconds(59)));
    EXPECT_TRUE(gate.allowCheckin("10.0.0.6", t0 + seconds(59)));
    // The first one is a minute old: one more, and the refused one did not count.
    EXPECT_TRUE(gate.allowCheckin("10.0.0.5", t0 + seconds(60)));
    EXPECT_FALSE(gate.allowCheckin("10.0.0.5", t0 + seconds(61)));
}

TEST(ClientGate, ManyOneOffAddressesAreForgottenOnceTheirMinuteIsOver) {
    ClientGate gate(8, 64, 1, 20);
    const auto t0 = ClientGate::Clock::now();
    for (int i = 0; i < 3000; ++i) gate.allowCheckin("a" + std::to_string(i), t0);
    // A minute later the old records are swept, and the old addresses start afresh.
    EXPECT_TRUE(gate.allowCheckin("a1", t0 + seconds(61)));
    EXPECT_FALSE(gate.allowCheckin("a1", t0 + seconds(62)));
}

TEST(ClientGate, ConnectionCapsPerAddressAndInTotal) {
    ClientGate gate(2, 3, 10, 20);
    // Requests that are whole: none of them can make room.
    auto enter = [&](const char* address) {
        const auto id = gate.enter(address, {});
        gate.progress(id, ClientGate::Stage::Whole, 0);
        return id;
    };
    const auto a = enter("a");
    EXPECT_NE(a, 0u);
    EXPECT_NE(enter("a"), 0u);
    EXPECT_EQ(enter("a"), 0u);
    const auto b = enter("b");
    EXPECT_NE(b, 0u);
    EXPECT_EQ(enter("c"), 0u) << "three in all";
    gate.leave(a);
    EXPECT_NE(enter("c"), 0u);
    EXPECT_EQ(enter("a"), 0u);
    gate.leave(b);
    gate.leave(b);  // one leave too many changes nothing
    EXPECT_NE(enter("a"), 0u);
    EXPECT_EQ(enter("d"), 0u);
}

// A newcomer to a full server takes the place of the oldest connection that has not sent its
// head, else of the slowest upload; a full address gives up only its own, and a request that
// is whole is never given up.
TEST(ClientGate, AFullServerDropsTheConnectionWorthLeast) {
    ClientGate gate(2, 5, 10, 20);
    const auto t0 = ClientGate::Clock::now();
    std::vector<std::string> dropped;
    auto enter = [&](const std::string& who, int ms, bool whole = false) {
        const auto id = gate.enter(
            who.substr(0, 1), [&dropped, who] { dropped.push_back(who); },
            t0 + std::chrono::milliseconds(ms));
        if (whole) gate.progress(id, ClientGate::Stage::Whole, 0);
        return id;
    };
    const auto fast = enter("a-fast", 0), slow = enter("a-slow", 1);
    enter("b-whole", 2, true);
    enter("c-idle", 3);
    gate.progress(fast, ClientGate::Stage::Body, 0, t0);
    gate.progress(slow, ClientGate::Stage::Body, 0, t0);
    gate.progress(fast, ClientGate::Stage::Body, 900000, t0 + seconds(1));
    gate.progress(slow, ClientGate::Stage::Body, 1000, t0 + seconds(1));

    EXPECT_NE(enter("a-third", 4, true), 0u);
    EXPECT_NE(enter("d", 5, true), 0u);
    EXPECT_NE(enter("e", 6, true), 0u);
    EXPECT_NE(enter("f", 7, true), 0u);
    EXPECT_EQ(dropped, (std::vector<std::string>{"a-slow", "c-idle", "a-fast"}));
    EXPECT_EQ(enter("g", 8), 0u) << "every request whole: nobody makes room";
}

}  // namespace
}  // namespace ld::checkin
