// One connection to the check-in server, served without a thread of its own: the request
// must arrive whole before a deadline (a per-read timeout alone lets a client that sends a
// byte a second hold its place for ever), a check-in is screened from its head before its
// body is read, the desk runs on a worker pool, and the answer must be taken within its own
// deadline. One request per connection.
#pragma once

#include <array>
#include <atomic>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/steady_timer.hpp>
#include <boost/asio/thread_pool.hpp>
#include <boost/beast/core/flat_buffer.hpp>
#include <boost/beast/http/empty_body.hpp>
#include <boost/beast/http/parser.hpp>
#include <memory>
#include <optional>
#include <string>

#include "checkin/checkin_routes.h"

namespace ld::checkin {

// What every connection of one listening session shares; it outlives them all.
struct Serving {
    Routes& routes;
    ClientGate& gate;
    const ServerLimits& limits;
    const CheckinServer::Submit& submit;
    boost::asio::thread_pool& desks;
    const std::atomic<bool>& stopping;
};

class Connection : public std::enable_shared_from_this<Connection> {
public:
    // `socket` runs on a strand of its own; the gate has already let `address` in and hears
    // of its leaving when the connection is gone.
    Connection(boost::asio::ip::tcp::socket socket, std::string address, Serving& serving);
    ~Connection();
    void start();

private:
    using Error = boost::system::error_code;
    void armDeadline(std::chrono::steady_clock::time_point when);
    void onHead(Error error);
    void readBody();
    void onBody(Error error);
    void toDesk();
    void answer(Answer answer);
    void drain();
    void close();

    boost::asio::ip::tcp::socket socket_;
    const std::string address_;
    Serving& serving_;
    boost::asio::steady_timer deadline_;
    bool timedOut_ = false;
    boost::beast::flat_buffer buffer_;
    std::optional<boost::beast::http::request_parser<boost::beast::http::empty_body>> head_;
    std::optional<boost::beast::http::request_parser<boost::beast::http::string_body>> body_;
    Target target_;
    Answer answer_;
    bool headOnly_ = false;
    std::array<char, 16 * 1024> sink_{};
    size_t drained_ = 0;
};

}  // namespace ld::checkin
