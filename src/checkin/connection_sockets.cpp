#include "checkin/connection_sockets.h"

#include <boost/asio/buffer.hpp>

namespace ld::checkin {

std::string PeerAddress(const boost::asio::ip::tcp::socket& socket) {
    boost::system::error_code error;
    const auto peer = socket.remote_endpoint(error);
    if (error || !peer.address().is_v4()) return {};
    return peer.address().to_v4().to_string();
}

void TurnAway(boost::asio::ip::tcp::socket& socket) {
    static const std::string answer = [] {
        const std::string body = "连接太多，请稍后再试。\n";
        return "HTTP/1.1 503 Service Unavailable\r\nContent-Type: text/plain; charset=utf-8\r\n"
               "Content-Length: " +
               std::to_string(body.size()) +
               "\r\nRetry-After: 10\r\nCache-Control: no-store\r\nX-Content-Type-Options: "
               "nosniff\r\nConnection: close\r\n\r\n" +
               body;
    }();
    boost::system::error_code ignored;
    socket.non_blocking(true, ignored);
    socket.write_some(boost::asio::buffer(answer), ignored);  // what fits now, or nothing
    socket.close(ignored);
}

}  // namespace ld::checkin
