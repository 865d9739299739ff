// The LAN server behind the QR code: the attendee's page and the check-in it sends, handed
// to the desk on a worker thread. Every request must carry the check-in token.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>

#include "checkin/checkin_desk.h"

namespace ld::checkin {

// Defaults: 10 MB bodies, 10 s for a request to arrive whole, 8 open connections per client
// address and 64 in all, 10 check-ins per minute per address.
struct ServerLimits {
    size_t maxBodyBytes = 10 * 1024 * 1024;
    int readTimeoutSeconds = 10;  // a request must arrive whole within this
    int maxConnectionsPerAddress = 8;
    int maxConnections = 64;
    int checkinsPerMinutePerAddress = 10;
};

class CheckinServer {
public:
    // Called on a worker thread, possibly on several at once.
    using Submit = std::function<Outcome(const Submission&)>;

    CheckinServer(Submit submit, std::string token, ServerLimits limits = {});
    ~CheckinServer();  // stops
    CheckinServer(const CheckinServer&) = delete;
    CheckinServer& operator=(const CheckinServer&) = delete;

    // Listens on an IPv4 address (0.0.0.0 for all); port 0 picks a free one. False when the
    // port is taken or the address is not this machine's.
    bool start(const std::string& address, int port);
    // Closes the port and every open connection; returns when no request is served any more.
    void stop();
    int port() const;  // 0 when not listening
    // True once a connection came from another machine (a phone), not from this one.
    bool reachedFromAnotherMachine() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace ld::checkin
