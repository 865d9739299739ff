// A check-in server on 127.0.0.1 with a fake desk that records what reached it, and what
// the server refused before the desk.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "checkin/checkin_server.h"
#include "http_client.h"

namespace ld::checkin::testing {

inline constexpr char kToken[] = "0123456789abcdef0123456789abcdef";

class ServerTest : public ::testing::Test {
protected:
    // The server first: its threads may still report to the lists below until it stops.
    ~ServerTest() override { server_.reset(); }

    void startServer(ServerLimits limits = {}) {
        server_ = std::make_unique<CheckinServer>(
            [this](const Submission& s) {
                std::lock_guard lock(mutex_);
                submissions_.push_back(s);
                return answer_;
            },
            kToken, limits,
            [this](const RefusedRequest& r) {
                std::lock_guard lock(mutex_);
                refusals_.push_back(r);
            });
        ASSERT_TRUE(server_->start("127.0.0.1", 0));
        port_ = server_->port();
    }

    std::vector<Submission> submissions() {
        std::lock_guard lock(mutex_);
        return submissions_;
    }

    // The refusals reported so far, after waiting a little for `atLeast` of them: they are
    // reported on a worker thread, maybe after the client has its answer.
    std::vector<RefusedRequest> refusals(size_t atLeast = 0) {
        for (int i = 0; i < 100; ++i) {
            {
                std::lock_guard lock(mutex_);
                if (refusals_.size() >= atLeast) break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        std::lock_guard lock(mutex_);
        return refusals_;
    }

    static std::string checkinTarget(const std::string& query = "&name=%E5%BC%A0%E4%BC%9F") {
        return std::string("/checkin?t=") + kToken + query;
    }

    std::unique_ptr<CheckinServer> server_;
    int port_ = 0;
    Outcome answer_{Outcome::Status::Joined, "", "", "", false};

private:
    std::mutex mutex_;
    std::vector<Submission> submissions_;
    std::vector<RefusedRequest> refusals_;
};

}  // namespace ld::checkin::testing
