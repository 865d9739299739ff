#include "checkin/client_gate.h"

namespace ld::checkin {

namespace {
constexpr auto kWindow = std::chrono::minutes(1);
// Past this many remembered addresses, every expired record is dropped at once, so a
// stream of one-off addresses cannot grow the map.
constexpr size_t kSweepAbove = 1024;
}  // namespace

ClientGate::ClientGate(int maxPerAddress, int maxTotal, int checkinsPerMinute)
    : maxPerAddress_(maxPerAddress), maxTotal_(maxTotal), checkinsPerMinute_(checkinsPerMinute) {}

bool ClientGate::enter(const std::string& address) {
    std::lock_guard lock(mutex_);
    if (total_ >= maxTotal_) return false;
    int& open = open_[address];
    if (open >= maxPerAddress_) {
        if (open == 0) open_.erase(address);
        return false;
    }
    ++open;
    ++total_;
    return true;
}

void ClientGate::leave(const std::string& address) {
    std::lock_guard lock(mutex_);
    auto it = open_.find(address);
    if (it == open_.end()) return;
    --total_;
    if (--it->second <= 0) open_.erase(it);
}

bool ClientGate::allowCheckin(const std::string& address, Clock::time_point now) {
    std::lock_guard lock(mutex_);
    if (checkins_.size() > kSweepAbove) forgetOldCheckins(now);
    auto& times = checkins_[address];
    while (!times.empty() && now - times.front() >= kWindow) times.pop_front();
    if (static_cast<int>(times.size()) >= checkinsPerMinute_) return false;
    times.push_back(now);
    return true;
}

void ClientGate::forgetOldCheckins(Clock::time_point now) {
    for (auto it = checkins_.begin(); it != checkins_.end();) {
        auto& times = it->second;
        while (!times.empty() && now - times.front() >= kWindow) times.pop_front();
        it = times.empty() ? checkins_.erase(it) : std::next(it);
    }
}

}  // namespace ld::checkin
