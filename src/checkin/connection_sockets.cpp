#include "checkin/connection_sockets.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>

namespace ld::checkin {

namespace {
using Clock = std::chrono::steady_clock;
constexpr auto kDrainTime = std::chrono::milliseconds(250);
constexpr size_t kDrainBytes = 256 * 1024;
}  // namespace

std::string PeerAddress(int socket, int& port) {
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    port = 0;
    if (::getpeername(socket, reinterpret_cast<sockaddr*>(&address), &length) != 0 ||
        address.ss_family != AF_INET) {
        return {};
    }
    const auto& v4 = reinterpret_cast<const sockaddr_in&>(address);
    char text[INET_ADDRSTRLEN] = {};
    ::inet_ntop(AF_INET, &v4.sin_addr, text, sizeof text);
    port = ntohs(v4.sin_port);
    return text;
}

void TurnAway(int socket) {
    static const std::string answer = [] {
        const std::string body = "连接太多，请稍后再试。\n";
        return "HTTP/1.1 503 Service Unavailable\r\nContent-Type: text/plain; charset=utf-8\r\n"
               "Content-Length: " +
               std::to_string(body.size()) +
               "\r\nRetry-After: 10\r\nCache-Control: no-store\r\nX-Content-Type-Options: "
               "nosniff\r\nConnection: close\r\n\r\n" +
               body;
    }();
    (void)::send(socket, answer.data(), answer.size(), MSG_DONTWAIT | MSG_NOSIGNAL);
    ::close(socket);
}

void CloseGently(int socket) {
    ::shutdown(socket, SHUT_WR);
    const auto end = Clock::now() + kDrainTime;
    char sink[16 * 1024];
    size_t drained = 0;
    while (drained < kDrainBytes) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now());
        pollfd fd{socket, POLLIN, 0};
        if (left.count() <= 0 || ::poll(&fd, 1, static_cast<int>(left.count())) <= 0) break;
        ssize_t n = ::recv(socket, sink, sizeof sink, MSG_DONTWAIT);
        if (n <= 0) break;
        drained += static_cast<size_t>(n);
    }
    ::close(socket);
}

void ReuseAddressOnly(int socket) {
    int yes = 1;
    ::setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
}

}  // namespace ld::checkin
