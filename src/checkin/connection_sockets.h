// The socket-level ends of a connection to the check-in server, below HTTP: who is calling
// and turning a connection away.
#pragma once

#include <boost/asio/ip/tcp.hpp>
#include <string>

namespace ld::checkin {

// The peer's IPv4 address as text; "" when it is not an IPv4 peer or already gone.
std::string PeerAddress(const boost::asio::ip::tcp::socket& socket);
// Answers 503 without waiting and closes: nothing is held for a connection over the caps.
void TurnAway(boost::asio::ip::tcp::socket& socket);

}  // namespace ld::checkin
