// The socket-level ends of a connection to the check-in server, below what cpp-httplib does:
// who is calling, turning a connection away, and closing without losing the answer.
#pragma once

#include <string>

namespace ld::checkin {

// The peer's IPv4 address as text and its port; "" when it is not an IPv4 peer.
std::string PeerAddress(int socket, int& port);
// Answers 503 without waiting and closes: the worker is free at once.
void TurnAway(int socket);
// Ends the connection after an answer. What the client still sends is read and dropped for a
// moment first, so that closing does not reset the connection before the client has read
// the answer (a 413 sent while the body is still coming).
void CloseGently(int socket);
// SO_REUSEADDR only, not SO_REUSEPORT: a second program on the same port must fail to bind,
// not share it.
void ReuseAddressOnly(int socket);

}  // namespace ld::checkin
