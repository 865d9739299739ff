// The LAN server behind the QR code: the attendee's page and the check-in it sends, handed
// to the desk on a worker thread. Every request must carry the check-in token.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>

#include "checkin/checkin_desk.h"

namespace ld::checkin {

// The defaults suit a hall of 500 whose phones all reach us through one router (one
// address): a phone's upload is cut only when it stalls, not when it is slow; when every
// place is taken, the connection that is worth least makes room (see ClientGate).
struct ServerLimits {
    size_t maxBodyBytes = 10 * 1024 * 1024;
    // The request line and headers must be in within this; they are one packet from a phone.
    int headerTimeoutSeconds = 5;
    // The body must keep coming at this rate on average (after a first headerTimeoutSeconds),
    // and arrive whole within bodyTimeoutSeconds whatever its pace.
    int minUploadBytesPerSecond = 2 * 1024;
    int bodyTimeoutSeconds = 120;
    int maxConnectionsPerAddress = 128;
    int maxConnections = 128;
    int checkinsPerMinutePerAddress = 300;
    // A hall's phones often share one router's address, and while an address is over this
    // every request from it is refused: a prankster typing wrong addresses by hand must not
    // reach it. 31^8 tokens still take thousands of years at this pace.
    int wrongTokensPerMinutePerAddress = 300;
};

// A request refused before it reached the desk; `name` and the rest are what its head
// said, empty for a connection turned away before it said anything.
struct RefusedRequest {
    Submission request;  // without a photo
    std::string reason;  // UTF-8, e.g. "签到太频繁（429）"
};

class CheckinServer {
public:
    // Called on a worker thread, possibly on several at once.
    using Submit = std::function<Outcome(const Submission&)>;
    // Called on a worker thread, possibly on several at once.
    using Refused = std::function<void(const RefusedRequest&)>;

    CheckinServer(Submit submit, std::string token, ServerLimits limits = {}, Refused refused = {});
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
