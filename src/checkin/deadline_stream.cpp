#include "checkin/deadline_stream.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace ld::checkin {

DeadlineStream::DeadlineStream(int socket, std::string remoteAddress, int remotePort,
                               Clock::time_point readDeadline, size_t readBudget,
                               std::chrono::milliseconds writeTimeout)
    : socket_(socket),
      remoteAddress_(std::move(remoteAddress)),
      remotePort_(remotePort),
      readDeadline_(readDeadline),
      readBudget_(readBudget),
      writeTimeout_(writeTimeout) {}

bool DeadlineStream::waitFor(short events, Clock::time_point deadline) const {
    for (;;) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) return false;
        pollfd fd{socket_, events, 0};
        int ready = ::poll(&fd, 1, static_cast<int>(std::min<long long>(left.count(), 1000)));
        if (ready > 0) return true;  // readiness or an error: the next call reports which
        if (ready < 0 && errno != EINTR) return false;
    }
}

bool DeadlineStream::is_readable() const {
    return bufferBegin_ < bufferEnd_ || waitFor(POLLIN, readDeadline_);
}

bool DeadlineStream::is_writable() const {
    return waitFor(POLLOUT, writing_ ? writeDeadline_ : Clock::now() + writeTimeout_);
}

ssize_t DeadlineStream::read(char* ptr, size_t size) {
    if (bufferBegin_ == bufferEnd_) {
        if (readBudget_ == 0 || !waitFor(POLLIN, readDeadline_)) return -1;
        ssize_t n;
        do {
            n = ::recv(socket_, buffer_, std::min(sizeof buffer_, readBudget_), 0);
        } while (n < 0 && errno == EINTR);
        if (n <= 0) return n;
        readBudget_ -= static_cast<size_t>(n);
        bufferBegin_ = 0;
        bufferEnd_ = static_cast<size_t>(n);
    }
    size_t n = std::min(size, bufferEnd_ - bufferBegin_);
    std::memcpy(ptr, buffer_ + bufferBegin_, n);
    bufferBegin_ += n;
    return static_cast<ssize_t>(n);
}

ssize_t DeadlineStream::write(const char* ptr, size_t size) {
    if (!writing_) {
        writing_ = true;
        writeDeadline_ = Clock::now() + writeTimeout_;
    }
    if (!waitFor(POLLOUT, writeDeadline_)) return -1;
    ssize_t n;
    do {
        n = ::send(socket_, ptr, size, MSG_NOSIGNAL);
    } while (n < 0 && errno == EINTR);
    return n;
}

void DeadlineStream::get_remote_ip_and_port(std::string& ip, int& port) const {
    ip = remoteAddress_;
    port = remotePort_;
}

void DeadlineStream::get_local_ip_and_port(std::string& ip, int& port) const {
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    ip.clear();
    port = 0;
    if (::getsockname(socket_, reinterpret_cast<sockaddr*>(&address), &length) != 0) return;
    if (address.ss_family != AF_INET) return;
    const auto& v4 = reinterpret_cast<const sockaddr_in&>(address);
    char text[INET_ADDRSTRLEN] = {};
    ::inet_ntop(AF_INET, &v4.sin_addr, text, sizeof text);
    ip = text;
    port = ntohs(v4.sin_port);
}

socket_t DeadlineStream::socket() const { return socket_; }

}  // namespace ld::checkin
