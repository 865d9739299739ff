#include "checkin/connection.h"

#include <boost/asio/dispatch.hpp>
#include <boost/asio/post.hpp>
#include <boost/asio/write.hpp>
#include <boost/beast/core/string.hpp>
#include <boost/beast/http/read.hpp>
#include <boost/beast/http/write.hpp>
#include <cstdint>
#include <limits>

#include "checkin/connection_sockets.h"
#include "checkin/serving_os.h"

namespace ld::checkin {

namespace {
namespace asio = boost::asio;
namespace http = boost::beast::http;
using Clock = std::chrono::steady_clock;

constexpr size_t kHeaderBudget = 64 * 1024;  // request line and headers
constexpr size_t kReadBuffer = kHeaderBudget + 16 * 1024;
constexpr auto kWriteTimeout = std::chrono::seconds(10);
constexpr auto kDrainTime = std::chrono::milliseconds(250);
constexpr size_t kDrainBytes = 256 * 1024;
constexpr std::string_view kContinue = "HTTP/1.1 100 Continue\r\n\r\n";

// A request that is not HTTP hears so; one that ended or was cut off hears nothing.
bool IsMalformed(const boost::system::error_code& error) {
    return error.category() == make_error_code(http::error::bad_target).category() &&
           error != http::error::end_of_stream && error != http::error::partial_message;
}
}  // namespace

Connection::Connection(asio::ip::tcp::socket socket, std::string address, Serving& serving)
    : socket_(std::move(socket)),
      address_(std::move(address)),
      serving_(serving),
      deadline_(socket_.get_executor()),
      buffer_(kReadBuffer) {}

Connection::~Connection() {
    if (place_ != 0) serving_.gate.leave(place_);
}

bool Connection::start() {
    place_ = serving_.gate.enter(address_, [weak = weak_from_this()] {
        if (auto self = weak.lock()) self->drop();
    });
    if (place_ == 0) {
        TurnAway(socket_);
        report("连接太多（503）", false);
        return false;
    }
    asio::dispatch(socket_.get_executor(), [self = shared_from_this()] {
        self->armDeadline(Clock::now() +
                          std::chrono::seconds(self->serving_.limits.headerTimeoutSeconds));
        self->head_.emplace();
        self->head_->header_limit(kHeaderBudget);
        // The screening judges the declared length. (Not boost::none: Beast 1.74 compares the
        // length with the empty optional and takes every length for too long.)
        self->head_->body_limit(std::numeric_limits<std::uint64_t>::max());
        http::async_read_header(self->socket_, self->buffer_, *self->head_,
                                [self](Error error, size_t) { self->onHead(error); });
    });
    return true;
}

void Connection::drop() {
    asio::dispatch(socket_.get_executor(), [self = shared_from_this()] {
        self->dropped_ = true;
        Error ignored;
        self->socket_.cancel(ignored);
    });
}

void Connection::report(std::string reason, bool named) {
    if (!serving_.refused || serving_.stopping) return;
    RefusedRequest refused;
    if (named) refused.request = Asked(head_ ? head_->get().base() : body_->get().base(), target_);
    refused.request.clientAddress = address_;
    refused.reason = std::move(reason);
    // The log is written on a desk: the network threads never wait for the disk.
    asio::post(serving_.desks, [&serving = serving_, refused = std::move(refused)] {
        if (!serving.stopping) serving.refused(refused);
    });
}

// Past `when` the pending read or write is cancelled, and the connection ends.
void Connection::armDeadline(Clock::time_point when) {
    deadline_.expires_at(when);
    deadline_.async_wait([self = shared_from_this()](Error error) {
        if (error || self->deadline_.expiry() > Clock::now()) return;  // moved meanwhile
        self->timedOut_ = true;
        Error ignored;
        self->socket_.cancel(ignored);
    });
}

void Connection::onHead(Error error) {
    if (error) {
        if (serving_.stopping) return close();
        if (timedOut_ || dropped_) {
            // A client that began its request and never finished it; one that said nothing
            // (a browser's spare connection) is no trouble.
            if (buffer_.size() > 0) report("请求没有按时发完，连接已断开", false);
            return close();
        }
        if (!IsMalformed(error)) return close();
        return answer(BadRequest());
    }
    const RequestHead& head = head_->get().base();
    target_ = ParseTarget(head.target());
    headOnly_ = head.method() == http::verb::head;
    if (std::optional<Answer> refusal = serving_.routes.screen(head, target_, address_)) {
        if (std::optional<std::string> reason = ReasonToTell(*refusal))
            report(*reason, serving_.routes.hasToken(target_));
        return answer(std::move(*refusal));
    }
    if (head.method() != http::verb::post) return answer(serving_.routes.page(head, target_));
    if (head_->is_done()) return toDesk();  // no body
    if (!boost::beast::iequals(head[http::field::expect], "100-continue")) return readBody();
    // The client waits for this before it sends the photo.
    asio::async_write(socket_, asio::buffer(kContinue.data(), kContinue.size()),
                      [self = shared_from_this()](Error e, size_t) {
                          if (e) return self->close();
                          self->readBody();
                      });
}

void Connection::readBody() {
    if (timedOut_ || dropped_) return onBody(asio::error::timed_out);  // passed meanwhile
    body_.emplace(std::move(*head_));
    head_.reset();
    body_->body_limit(serving_.limits.maxBodyBytes);
    bodyStart_ = Clock::now();
    readMoreBody();
}

// The deadline moves with what has arrived: a slow phone's photo keeps coming and is taken,
// a client that stalls is cut off.
void Connection::readMoreBody() {
    const ServerLimits& limits = serving_.limits;
    const size_t received = body_->get().body().size();
    serving_.gate.progress(place_, ClientGate::Stage::Body, received);
    auto allowed = std::chrono::seconds(limits.headerTimeoutSeconds) +
                   std::chrono::milliseconds(limits.minUploadBytesPerSecond > 0
                                                 ? static_cast<long long>(received) * 1000 /
                                                       limits.minUploadBytesPerSecond
                                                 : 0);
    allowed = std::min<std::chrono::milliseconds>(allowed,
                                                  std::chrono::seconds(limits.bodyTimeoutSeconds));
    armDeadline(bodyStart_ + allowed);
    http::async_read_some(socket_, buffer_, *body_,
                          [self = shared_from_this()](Error error, size_t) {
                              if (error || self->body_->is_done()) return self->onBody(error);
                              self->readMoreBody();
                          });
}

void Connection::onBody(Error error) {
    if (serving_.stopping) return close();
    if (error) {
        report("照片没有传完整", true);
        if (dropped_) return close();
        return answer(IncompletePhoto());
    }
    toDesk();
}

// Decoding and storing a photo is the heavy part: it waits for a desk on the worker pool,
// and this connection's strand is free meanwhile.
void Connection::toDesk() {
    serving_.gate.progress(place_, ClientGate::Stage::Whole, 0);
    std::string photo = body_ ? std::move(body_->get().body()) : std::string();
    asio::post(serving_.desks, [self = shared_from_this(), strand = socket_.get_executor(),
                                photo = std::move(photo)]() mutable {
        thread_local const bool background = (MakeThisThreadBackground(), true);
        (void)background;
        if (self->serving_.stopping) return;
        try {
            const RequestHead& head =
                self->body_ ? self->body_->get().base() : self->head_->get().base();
            Answer reply = self->serving_.routes.checkin(head, self->target_, std::move(photo),
                                                         self->address_, self->serving_.submit);
            asio::post(strand, [self, reply = std::move(reply)]() mutable {
                self->answer(std::move(reply));
            });
        } catch (...) {
            // Out of memory or the like: this connection ends, the server goes on.
        }
    });
}

void Connection::answer(Answer reply) {
    serving_.gate.progress(place_, ClientGate::Stage::Whole, 0);
    answer_ = std::move(reply);
    Finish(answer_, headOnly_);
    armDeadline(Clock::now() + kWriteTimeout);
    http::async_write(socket_, answer_, [self = shared_from_this()](Error error, size_t) {
        if (error) return self->close();
        // Ends the connection after the answer. What the client still sends is read and
        // dropped for a moment first, so that closing does not reset the connection before
        // the client has read the answer (a 413 sent while the body is still coming).
        Error ignored;
        self->socket_.shutdown(asio::ip::tcp::socket::shutdown_send, ignored);
        self->armDeadline(Clock::now() + kDrainTime);
        self->drain();
    });
}

void Connection::drain() {
    socket_.async_read_some(asio::buffer(sink_),
                            [self = shared_from_this()](Error error, size_t n) {
                                self->drained_ += n;
                                if (error || self->drained_ >= kDrainBytes) return self->close();
                                self->drain();
                            });
}

void Connection::close() {
    deadline_.cancel();
    Error ignored;
    socket_.close(ignored);
}

}  // namespace ld::checkin
