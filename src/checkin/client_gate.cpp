#include "checkin/client_gate.h"

#include <algorithm>

namespace ld::checkin {

namespace {
constexpr auto kWindow = std::chrono::minutes(1);
// Past this many remembered addresses, every expired record is dropped at once, so a
// stream of one-off addresses cannot grow the map.
constexpr size_t kSweepAbove = 1024;
}  // namespace

ClientGate::ClientGate(int maxPerAddress, int maxTotal, int checkinsPerMinute,
                       int wrongTokensPerMinute)
    : maxPerAddress_(maxPerAddress),
      maxTotal_(maxTotal),
      checkinsPerMinute_(checkinsPerMinute),
      wrongTokensPerMinute_(wrongTokensPerMinute) {}

ClientGate::Id ClientGate::enter(const std::string& address, std::function<void()> drop,
                                 Clock::time_point now) {
    std::function<void()> dropped;
    Id id = 0;
    {
        std::lock_guard lock(mutex_);
        auto count = perAddress_.find(address);
        const bool addressFull = count != perAddress_.end() && count->second >= maxPerAddress_;
        if (addressFull || static_cast<int>(open_.size()) >= maxTotal_) {
            auto victim = leastWorth(addressFull ? address : std::string(), now);
            if (victim == open_.end()) return 0;
            dropped = std::move(victim->second.drop);
            forget(victim);
        }
        id = nextId_++;
        open_.emplace(id, Open{address, now, Stage::Head, 0, std::move(drop)});
        ++perAddress_[address];
    }
    if (dropped) dropped();
    return id;
}

void ClientGate::leave(Id id) {
    std::lock_guard lock(mutex_);
    auto it = open_.find(id);
    if (it != open_.end()) forget(it);
}

void ClientGate::progress(Id id, Stage stage, size_t bodyBytes, Clock::time_point now) {
    std::lock_guard lock(mutex_);
    auto it = open_.find(id);
    if (it == open_.end()) return;
    if (it->second.stage != Stage::Body && stage == Stage::Body) it->second.since = now;
    it->second.stage = stage;
    it->second.bodyBytes = bodyBytes;
}

std::map<ClientGate::Id, ClientGate::Open>::iterator ClientGate::leastWorth(
    const std::string& address, Clock::time_point now) {
    auto idle = open_.end(), slow = open_.end();
    double slowest = 0;
    for (auto it = open_.begin(); it != open_.end(); ++it) {
        const Open& o = it->second;
        if (!address.empty() && o.address != address) continue;
        if (o.stage == Stage::Head && (idle == open_.end() || o.since < idle->second.since)) {
            idle = it;
        } else if (o.stage == Stage::Body) {
            const double seconds =
                std::max(1e-3, std::chrono::duration<double>(now - o.since).count());
            const double rate = static_cast<double>(o.bodyBytes) / seconds;
            if (slow == open_.end() || rate < slowest) slow = it, slowest = rate;
        }
    }
    return idle != open_.end() ? idle : slow;
}

void ClientGate::forget(std::map<Id, Open>::iterator it) {
    auto count = perAddress_.find(it->second.address);
    if (count != perAddress_.end() && --count->second <= 0) perAddress_.erase(count);
    open_.erase(it);
}

bool ClientGate::allowCheckin(const std::string& address, Clock::time_point now) {
    std::lock_guard lock(mutex_);
    auto& times = recentOf(checkins_, address, now);
    if (static_cast<int>(times.size()) >= checkinsPerMinute_) return false;
    times.push_back(now);
    return true;
}

bool ClientGate::mayTryToken(const std::string& address, Clock::time_point now) {
    std::lock_guard lock(mutex_);
    auto it = wrongTokens_.find(address);
    if (it == wrongTokens_.end()) return true;
    return static_cast<int>(recentOf(wrongTokens_, address, now).size()) < wrongTokensPerMinute_;
}

void ClientGate::wrongToken(const std::string& address, Clock::time_point now) {
    std::lock_guard lock(mutex_);
    recentOf(wrongTokens_, address, now).push_back(now);
}

std::deque<ClientGate::Clock::time_point>& ClientGate::recentOf(Recent& recent,
                                                                const std::string& address,
                                                                Clock::time_point now) {
    auto drop = [now](std::deque<Clock::time_point>& times) {
        while (!times.empty() && now - times.front() >= kWindow) times.pop_front();
    };
    if (recent.size() > kSweepAbove) {
        for (auto it = recent.begin(); it != recent.end();) {
            drop(it->second);
            it = it->second.empty() ? recent.erase(it) : std::next(it);
        }
    }
    auto& times = recent[address];
    drop(times);
    return times;
}

}  // namespace ld::checkin
