// A check-in server on 127.0.0.1 with a fake desk that records what reached it.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <mutex>
#include <vector>

#include "checkin/checkin_server.h"
#include "http_client.h"

namespace ld::checkin::testing {

inline constexpr char kToken[] = "0123456789abcdef0123456789abcdef";

class ServerTest : public ::testing::Test {
protected:
    void startServer(ServerLimits limits = {}) {
        server_ = std::make_unique<CheckinServer>(
            [this](const Submission& s) {
                std::lock_guard lock(mutex_);
                submissions_.push_back(s);
                return answer_;
            },
            kToken, limits);
        ASSERT_TRUE(server_->start("127.0.0.1", 0));
        port_ = server_->port();
    }

    std::vector<Submission> submissions() {
        std::lock_guard lock(mutex_);
        return submissions_;
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
};

}  // namespace ld::checkin::testing
