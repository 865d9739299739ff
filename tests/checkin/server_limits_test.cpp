// Hostile clients on a shared Wi-Fi: oversized bodies, slow connections, floods of check-ins,
// and a port that must be free again once check-in closes; and the crowd that must get
// through all the same: a hall behind one router, slow phones.
#include <atomic>
#include <chrono>
#include <thread>
#include <utility>

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
            if (n < 0) break;                  // closed on us
            if (WaitForAnswer(s, 100)) break;  // the answer is there
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
    // The operator hears of the photos too big, not of the malformed requests.
    const std::vector<RefusedRequest> told = refusals(2);
    ASSERT_EQ(told.size(), 2u);
    EXPECT_EQ(told[0].reason, "照片太大（413）");
    EXPECT_EQ(told[0].request.name, "x");
    EXPECT_EQ(told[0].request.clientAddress, "127.0.0.1");
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
    limits.headerTimeoutSeconds = 2;
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
    // whether it was served until then or dropped for a newer one.
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
    ASSERT_EQ(refusals(1).size(), 1u);
    EXPECT_EQ(refusals()[0].reason, "签到太频繁（429）");
    EXPECT_EQ(refusals()[0].request.name, "张伟");
    // Another phone is not affected, and the page itself still loads.
    EXPECT_EQ(Exchange(port_, Post(checkinTarget(), ""), "127.0.0.2").status, 200);
    EXPECT_EQ(Exchange(port_, Get(std::string("/?t=") + kToken)).status, 200);
}

// The token is short enough to type, so an address that keeps getting it wrong must not learn
// when it got it right; nor may it write names of its choosing into the log.
TEST_F(ServerTest, AnAddressThatGuessesTheTokenIsRefusedEvenTheRightOneForAMinute) {
    ServerLimits limits;
    limits.wrongTokensPerMinutePerAddress = 3;
    startServer(limits);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(Exchange(port_, Post("/checkin?t=abcdefgh&name=x", "")).status, 403);
    EXPECT_EQ(Exchange(port_, Get(std::string("/?t=") + kToken)).status, 429);
    EXPECT_EQ(Exchange(port_, Post(checkinTarget(), "")).status, 429);
    EXPECT_EQ(Exchange(port_, Post("/checkin?t=abcdefgh&name=x", "")).status, 429);
    EXPECT_TRUE(submissions().empty());
    ASSERT_FALSE(refusals(1).empty());
    for (const RefusedRequest& r : refusals()) EXPECT_NE(r.request.name, "x") << r.reason;
    // A phone behind another address is not affected.
    EXPECT_EQ(Exchange(port_, Post(checkinTarget(), ""), "127.0.0.2").status, 200);
}

// Forty people behind one router, compressed in time: twenty load the page at once, then all
// check in one after the other. Every one gets through with the default limits.
TEST_F(ServerTest, AHallBehindOneAddressGetsThroughWithTheDefaults) {
    startServer();
    std::vector<int> loading;
    for (int i = 0; i < 20; ++i) {
        loading.push_back(Connect(port_, "127.0.0.2"));
        EXPECT_TRUE(SendAll(loading.back(), Get(std::string("/?t=") + kToken)));
    }
    int pages = 0;
    for (int s : loading) {
        pages += ReadReply(s).status == 200;
        Close(s);
    }
    EXPECT_EQ(pages, 20);
    int joined = 0;
    for (int i = 0; i < 40; ++i)
        joined += Exchange(port_, Post(checkinTarget(), "photo"), "127.0.0.2").status == 200;
    EXPECT_EQ(joined, 40);
    EXPECT_TRUE(refusals().empty());
}

// A phone on a poor Wi-Fi sends its photo slowly but steadily, for longer than the head's
// deadline: it is taken. A client whose upload stalls is cut off, and the operator hears.
TEST_F(ServerTest, ASlowUploadIsTakenAStalledOneIsCut) {
    ServerLimits limits;
    limits.headerTimeoutSeconds = 1;
    limits.minUploadBytesPerSecond = 8 * 1024;
    startServer(limits);
    const std::string photo(36 * 1024, 'p');
    int s = Connect(port_);
    ASSERT_GE(s, 0);
    const std::string request = Post(checkinTarget(), photo);
    ASSERT_TRUE(SendAll(s, request.substr(0, request.size() - photo.size())));
    for (size_t at = 0; at < photo.size(); at += 4096) {  // about 16 KB/s for 2.25 s
        std::this_thread::sleep_for(std::chrono::milliseconds(250));
        ASSERT_TRUE(SendAll(s, photo.substr(at, 4096)));
    }
    EXPECT_EQ(ReadReply(s).status, 200);
    Close(s);
    ASSERT_EQ(submissions().size(), 1u);
    EXPECT_EQ(submissions()[0].photo.size(), photo.size());

    s = Connect(port_);
    ASSERT_GE(s, 0);
    ASSERT_TRUE(SendAll(s, request.substr(0, request.size() - photo.size() + 1024)));
    Reply cut = ReadReply(s);  // nothing more is sent
    Close(s);
    EXPECT_EQ(cut.status, 400);
    EXPECT_NE(cut.body.find("照片没有传完整"), std::string::npos) << cut.body;
    EXPECT_EQ(submissions().size(), 1u);
    ASSERT_EQ(refusals(1).size(), 1u);
    EXPECT_EQ(refusals()[0].reason, "照片没有传完整");
    EXPECT_EQ(refusals()[0].request.name, "张伟");
}

// Twenty addresses keep every place busy with requests dripped a byte at a time, and open
// a new connection as soon as one closes; phones checking in meanwhile still get through.
TEST_F(ServerTest, ClientsThatDripTheirRequestsDoNotCrowdOutPhones) {
    ServerLimits limits;
    limits.maxConnections = 16;
    limits.maxConnectionsPerAddress = 4;
    startServer(limits);
    const std::string endless =
        "POST " + checkinTarget() + " HTTP/1.1\r\nX: " + std::string(4000, 'a');
    std::atomic<bool> done{false};
    std::thread drip([&] {
        std::vector<int> sockets(40, -1);
        std::vector<size_t> sent(40, 0);
        for (int round = 0; round < 400 && !done; ++round) {  // 20 s at most
            for (size_t i = 0; i < sockets.size(); ++i) {
                if (sockets[i] >= 0 && IsClosedByPeer(sockets[i]))
                    Close(std::exchange(sockets[i], -1));
                if (sockets[i] < 0) {
                    const std::string from = "127.0.0." + std::to_string(10 + i % 20);
                    sockets[i] = Connect(port_, from.c_str());
                    sent[i] = 0;
                }
                if (sockets[i] >= 0 &&
                    SendSome(sockets[i], &endless[sent[i] % endless.size()], 1) > 0)
                    ++sent[i];
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        for (int s : sockets)
            if (s >= 0) Close(s);
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(500));  // every place taken
    int joined = 0;
    for (int i = 0; i < 20; ++i) {
        joined += Exchange(port_, Post(checkinTarget(), "photo"), "127.0.0.2").status == 200;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    done = true;
    drip.join();
    EXPECT_GE(joined, 19) << "at least 95 % through";
    EXPECT_FALSE(refusals(1).empty()) << "the operator hears of the dropped connections";
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
