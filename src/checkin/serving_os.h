// What the check-in server asks of the operating system, one implementation per platform
// (serving_os_posix.cpp here; a serving_os_win32.cpp gives the same three on Windows).
#pragma once

#include <boost/asio/ip/tcp.hpp>
#include <cstddef>

namespace ld::checkin {

// Check-ins are background work: decoding and writing 300 photos must not delay the roll's
// next tick on a two-core laptop. Called once by each serving thread.
void MakeThisThreadBackground();

// Fills `bytes` from the operating system's random source; throws when it gives none.
void FillWithRandomBytes(unsigned char* bytes, size_t size);

// Set on the listening socket before it is bound: a port left in TIME_WAIT by the last
// session may be taken again at once, yet a second program on the same port must fail to
// bind, not share it.
void PrepareListeningSocket(boost::asio::ip::tcp::acceptor& acceptor);

}  // namespace ld::checkin
