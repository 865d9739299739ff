// Hostile clients on a shared Wi-Fi: oversized bodies, slow connections, floods of check-ins,
// and a port that must be free again once check-in closes.
#include <chrono>
#include <thread>

#include "server_fixture.h"

namespace ld::checkin::testing {
namespace {

using Clock = std::chrono::steady_clock;

// Sends the headers, then the body as fast as the socket takes it, until the answer arrives
// or the server closes. Returns the answer and how much of the body went out before it.
Reply PostHuge(int port, size_t length, size_t& bodySent) {
    int s = Connect(port);
    EXPECT_GE(s, 0);
    bodySent = 0;
    if (s < 0) return {};
    const std::string head =
        "POST " + std::string("/checkin?t=") + kToken +
        "&name=x HTTP/1.1\r\nHost: x\r\nContent-Length: " + std::to_string(length) + "\r\n\r\n";
    Reply reply;
    if (SendAll(s, head)) {
        const std::string chunk(64 * 1024, 'x');
        const auto end = Clock::now() + std::chrono::seconds(20);
        while (bodySent < length && Clock::now() < end) {
            const long n = SendSome(s, chunk.data(), std::min(chunk.size(), length - bodySent));
            if (n > 0) {
                bodySent += static_cast<size_t>(n);
                continue;
            }
            if (n < 0) break;                      // closed on us
            if (WaitForAnswer(s, 100)) break;      // the answer is there
        }
        reply = ReadReply(s);
    }
    Close(s);
    return reply;
}

TEST_F(ServerTest, ABodyOverTheLimitIsRefusedBeforeItIsSent) {
    ServerLimits limits;
    limits.maxBodyBytes = 1024 * 1024;
    startServer(limits);
    const std::string head = std::string("POST /checkin?t=") + kToken +
                             "&name=x HTTP/1.1\r\nHost: x\r\nContent-Length: 1048577\r\n";
    // Not a byte of the body sent: the answer still comes.
    Reply reply = Exchange(port_, head + "\r\n");
    EXPECT_EQ(reply.status, 413);
    EXPECT_NE(reply.body.find("照片太大"), std::string::npos) << reply.body;
    // A client that asks first is told before it sends anything.
    EXPECT_EQ(Exchange(port_, head + "Expect: 100-continue\r\n\r\n").status, 413);
    // Lengths the server cannot trust are refused too.
    EXPECT_EQ(Exchange(port_, std::string("POST /checkin?t=") + kToken +
                                  " HTTP/1.1\r\nHost: x\r\nTransfer-Encoding: chunked\r\n\r\n"
                                  "5\r\nhello\r\n0\r\n\r\n")
                  .status,
              411);
    EXPECT_EQ(Exchange(port_, Post(checkinTarget(), "", "Content-Length: 5\r\n")).status, 400);
    EXPECT_TRUE(submissions().empty());
}

TEST_F(ServerTest, AFiftyMegabyteUploadNeitherGrowsMemoryNorIsReadWhole) {
    startServer();  // the default 10 MB limit
    constexpr size_t kFifty = 50u * 1024 * 1024;
    const long before = ResetPeakMemoryKb();
    size_t sent = 0;
    Reply reply = PostHuge(port_, kFifty, sent);
    const long after = PeakMemoryKb();
    EXPECT_EQ(reply.status, 413);
    EXPECT_LT(sent, kFifty / 2) << "the server kept reading";
#ifndef __SANITIZE_THREAD__  // ThreadSanitizer adds ~70 MB of its own bookkeeping here
    EXPECT_LT(after - before, 10 * 1024) << "VmHWM " << before << " kB -> " << after << " kB";
#endif
    RecordProperty("VmHWM_before_kB", std::to_string(before));
    RecordProperty("VmHWM_after_kB", std::to_string(after));
    RecordProperty("body_bytes_sent", std::to_string(sent));
    EXPECT_TRUE(submissions().empty());
}

TEST_F(ServerTest, SlowConnectionsFromOneAddressDoNotHoldTheServer) {
    ServerLimits limits;
    limits.readTimeoutSeconds = 2;
    limits.maxConnectionsPerAddress = 4;
    limits.maxConnections = 16;
    startServer(limits);

    std::vector<int> slow;
    for (int i = 0; i < 30; ++i) slow.push_back(Connect(port_));
    const std::string request = Post(checkinTarget(), "photo");
    const auto started = Clock::now();
    std::thread trickle([&] {
        // One byte a second on every connection, for three seconds: longer than the deadline.
        for (size_t at = 0; at < 3; ++at) {
            for (int s : slow) {
                if (s >= 0) (void)SendSome(s, &request[at], 1);
            }
            std::this_thread::sleep_for(std::chrono::seconds(1));
        }
    });

    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    const auto sentAt = Clock::now();
    Reply normal = Exchange(port_, request, "127.0.0.2");
    const auto took = Clock::now() - sentAt;
    trickle.join();

    EXPECT_EQ(normal.status, 200);
    EXPECT_LT(took, std::chrono::seconds(1)) << "the check-in waited for the slow clients";
    ASSERT_EQ(submissions().size(), 1u);
    EXPECT_EQ(submissions()[0].clientAddress, "127.0.0.2");

    // Still sending, yet cut off at the deadline: every slow connection is closed by now,
    // whether it was served until then or turned away at once.
    int closed = 0;
    for (int s : slow) {
        if (s < 0 || IsClosedByPeer(s)) ++closed;
        if (s >= 0) Close(s);
    }
    EXPECT_EQ(closed, 30) << "after "
                          << std::chrono::duration<double>(Clock::now() - started).count() << " s";
}

TEST_F(ServerTest, TooManyCheckInsFromOneAddressAreRefusedForAMinute) {
    ServerLimits limits;
    limits.checkinsPerMinutePerAddress = 3;
    startServer(limits);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(Exchange(port_, Post(checkinTarget(), "")).status, 200);
    Reply refused = Exchange(port_, Post(checkinTarget(), "photo"));
    EXPECT_EQ(refused.status, 429);
    EXPECT_NE(refused.body.find("一分钟后再试"), std::string::npos) << refused.body;
    EXPECT_EQ(submissions().size(), 3u);
    // Another phone is not affected, and the page itself still loads.
    EXPECT_EQ(Exchange(port_, Post(checkinTarget(), ""), "127.0.0.2").status, 200);
    EXPECT_EQ(Exchange(port_, Get(std::string("/?t=") + kToken)).status, 200);
}

TEST_F(ServerTest, StoppingFreesThePort) {
    startServer();
    CheckinServer other([](const Submission&) { return Outcome{}; }, kToken);
    EXPECT_FALSE(other.start("127.0.0.1", port_)) << "the port is taken";

    // An open connection does not keep the server from stopping.
    int idle = Connect(port_);
    ASSERT_GE(idle, 0);
    const auto stopping = Clock::now();
    server_->stop();
    EXPECT_LT(Clock::now() - stopping, std::chrono::seconds(2));
    Close(idle);
    EXPECT_EQ(server_->port(), 0);
    EXPECT_EQ(Connect(port_), -1);

    ASSERT_TRUE(other.start("127.0.0.1", port_));
    EXPECT_EQ(Exchange(port_, Get(std::string("/?t=") + kToken)).status, 200);
}

}  // namespace
}  // namespace ld::checkin::testing
