// Who may talk to the check-in server right now: caps on open connections per client
// address and in total, and a sliding one-minute window of check-ins per address. Hostile
// clients share the venue's Wi-Fi, so every count is bounded and every record expires.
#pragma once

#include <chrono>
#include <deque>
#include <map>
#include <mutex>
#include <string>

namespace ld::checkin {

class ClientGate {
public:
    using Clock = std::chrono::steady_clock;

    ClientGate(int maxPerAddress, int maxTotal, int checkinsPerMinute);

    // A connection from `address` may be served; false (and nothing counted) when a cap is
    // reached. Every true is matched by one leave().
    bool enter(const std::string& address);
    void leave(const std::string& address);

    // Counts a check-in attempt; false when the address already made its share this minute.
    bool allowCheckin(const std::string& address, Clock::time_point now = Clock::now());

private:
    void forgetOldCheckins(Clock::time_point now);

    const int maxPerAddress_;
    const int maxTotal_;
    const int checkinsPerMinute_;
    std::mutex mutex_;
    int total_ = 0;
    std::map<std::string, int> open_;
    std::map<std::string, std::deque<Clock::time_point>> checkins_;
};

}  // namespace ld::checkin
