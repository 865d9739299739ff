// Who may talk to the check-in server right now: caps on open connections per client
// address and in total, and sliding one-minute windows of check-ins and of wrong tokens per
// address. Hostile
// clients share the venue's Wi-Fi, so every count is bounded and every record expires.
//
// A full server does not turn a newcomer away while it holds connections that are worth
// less: the oldest one still waiting for its request's head (a phone sends it in one
// packet; a client that drips it a byte a second does not), else the upload that comes
// slowest, is dropped to make room. A connection whose request is whole (at the desk, or
// being answered) is never dropped.
#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <string>

namespace ld::checkin {

class ClientGate {
public:
    using Clock = std::chrono::steady_clock;
    using Id = std::uint64_t;
    enum class Stage { Head, Body, Whole };

    ClientGate(int maxPerAddress, int maxTotal, int checkinsPerMinute, int wrongTokensPerMinute);

    // A connection from `address` may be served: its id, matched by one leave(). When a cap
    // is reached, the connection worth least under that cap is forgotten and its `drop` is
    // called (outside the gate's lock); 0 (and nothing counted) when there is none.
    Id enter(const std::string& address, std::function<void()> drop,
             Clock::time_point now = Clock::now());
    void leave(Id id);
    // How far the connection is: a body's progress is its bytes since `Body` began.
    void progress(Id id, Stage stage, size_t bodyBytes, Clock::time_point now = Clock::now());

    // Counts a check-in attempt; false when the address already made its share this minute.
    bool allowCheckin(const std::string& address, Clock::time_point now = Clock::now());

    // The token is short enough to type, so it could be found by trying: an address that
    // sent too many wrong ones this minute is refused whatever it sends, the right token
    // too, until they age; otherwise its answers would tell it when it hit.
    bool mayTryToken(const std::string& address, Clock::time_point now = Clock::now());
    void wrongToken(const std::string& address, Clock::time_point now = Clock::now());

private:
    struct Open {
        std::string address;
        Clock::time_point since;  // opened, or its body began
        Stage stage = Stage::Head;
        size_t bodyBytes = 0;
        std::function<void()> drop;
    };
    // The connection to drop for a newcomer: of `address` only, or of all when it is empty.
    std::map<Id, Open>::iterator leastWorth(const std::string& address, Clock::time_point now);
    void forget(std::map<Id, Open>::iterator it);
    using Recent = std::map<std::string, std::deque<Clock::time_point>>;
    // The address's times still within the window, after the expired ones are dropped.
    static std::deque<Clock::time_point>& recentOf(Recent& recent, const std::string& address,
                                                   Clock::time_point now);

    const int maxPerAddress_;
    const int maxTotal_;
    const int checkinsPerMinute_;
    const int wrongTokensPerMinute_;
    std::mutex mutex_;
    Id nextId_ = 1;
    std::map<Id, Open> open_;
    std::map<std::string, int> perAddress_;
    Recent checkins_;
    Recent wrongTokens_;
};

}  // namespace ld::checkin
