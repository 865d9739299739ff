// One connection to the check-in server, served without a thread of its own: the head must
// arrive whole within a short deadline, and the body at a minimum pace within a generous
// cap (a per-read timeout alone lets a client that sends a byte a second hold its place for
// ever; one deadline for the whole body cuts a slow phone's photo). A check-in is screened
// from its head before its body is read, the desk runs on a worker pool, and the answer must
// be taken within its own deadline. One request per connection.
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
    const CheckinServer::Refused& refused;
};

class Connection : public std::enable_shared_from_this<Connection> {
public:
    // `socket` runs on a strand of its own; the gate has already let `address` in and hears
    // of its leaving when the connection is gone.
    Connection(boost::asio::ip::tcp::socket socket, std::string address, Serving& serving);
    ~Connection();
    // Takes a place at the gate and starts reading; false when the server is full and no
    // connection could make room: the client has been answered 503 then.
    bool start();

private:
    using Error = boost::system::error_code;
    // The gate gave this connection's place to a newcomer.
    void drop();
    void armDeadline(std::chrono::steady_clock::time_point when);
    void onHead(Error error);
    void readBody();
    void readMoreBody();
    void onBody(Error error);
    // Tells the server's owner of a refused request; `named`: the request's head is in.
    void report(std::string reason, bool named);
    void toDesk();
    void answer(Answer answer);
    void drain();
    void close();

    boost::asio::ip::tcp::socket socket_;
    const std::string address_;
    Serving& serving_;
    boost::asio::steady_timer deadline_;
    ClientGate::Id place_ = 0;
    bool timedOut_ = false;
    bool dropped_ = false;
    std::chrono::steady_clock::time_point bodyStart_;
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
