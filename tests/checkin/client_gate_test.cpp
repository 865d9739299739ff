// The counts behind the server's limits, with the clock in the test's hand.
#include "checkin/client_gate.h"

#include <gtest/gtest.h>

namespace ld::checkin {
namespace {

using std::chrono::seconds;

TEST(ClientGate, CheckInsPerAddressRenewAMinuteAfterEachOne) {
    ClientGate gate(8, 64, 3);
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
    ClientGate gate(8, 64, 1);
    const auto t0 = ClientGate::Clock::now();
    for (int i = 0; i < 3000; ++i) gate.allowCheckin("a" + std::to_string(i), t0);
    // A minute later the old records are swept, and the old addresses start afresh.
    EXPECT_TRUE(gate.allowCheckin("a1", t0 + seconds(61)));
    EXPECT_FALSE(gate.allowCheckin("a1", t0 + seconds(62)));
}

TEST(ClientGate, ConnectionCapsPerAddressAndInTotal) {
    ClientGate gate(2, 3, 10);
    EXPECT_TRUE(gate.enter("a"));
    EXPECT_TRUE(gate.enter("a"));
    EXPECT_FALSE(gate.enter("a"));
    EXPECT_TRUE(gate.enter("b"));
    EXPECT_FALSE(gate.enter("c")) << "three in all";
    gate.leave("a");
    EXPECT_TRUE(gate.enter("c"));
    EXPECT_FALSE(gate.enter("a"));
    gate.leave("b");
    gate.leave("b");  // one leave too many changes nothing
    EXPECT_TRUE(gate.enter("a"));
    EXPECT_FALSE(gate.enter("d"));
}

}  // namespace
}  // namespace ld::checkin
