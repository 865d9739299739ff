// The test client's sockets on Linux.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>

#include "../http_client.h"

namespace ld::checkin::testing {

int Connect(int port, const char* from) {
    int s = ::socket(AF_INET, SOCK_STREAM, 0);
    timeval timeout{5, 0};
    ::setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    ::setsockopt(s, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    ::inet_pton(AF_INET, from, &local.sin_addr);
    sockaddr_in server{};
    server.sin_family = AF_INET;
    server.sin_port = htons(static_cast<uint16_t>(port));
    ::inet_pton(AF_INET, "127.0.0.1", &server.sin_addr);
    if (::bind(s, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0 ||
        ::connect(s, reinterpret_cast<sockaddr*>(&server), sizeof server) != 0) {
        Close(s);
        return -1;
    }
    return s;
}

bool SendAll(int socket, const std::string& bytes) {
    size_t sent = 0;
    while (sent < bytes.size()) {
        ssize_t n = ::send(socket, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) return false;
        sent += static_cast<size_t>(n);
    }
    return true;
}

std::string ReceiveAll(int socket) {
    std::string raw;
    char buffer[16384];
    for (;;) {
        ssize_t n = ::recv(socket, buffer, sizeof buffer, 0);
        if (n <= 0) break;
        raw.append(buffer, static_cast<size_t>(n));
    }
    return raw;
}

void Close(int socket) { ::close(socket); }

long SendSome(int socket, const char* bytes, size_t size) {
    const ssize_t n = ::send(socket, bytes, size, MSG_NOSIGNAL | MSG_DONTWAIT);
    if (n >= 0) return n;
    return errno == EAGAIN || errno == EWOULDBLOCK ? 0 : -1;
}

bool WaitForAnswer(int socket, int ms) {
    pollfd fd{socket, POLLIN | POLLOUT, 0};
    ::poll(&fd, 1, ms);
    return fd.revents & POLLIN;
}

bool IsClosedByPeer(int socket) {
    char buffer[4096];
    for (;;) {
        ssize_t n = ::recv(socket, buffer, sizeof buffer, MSG_DONTWAIT);
        if (n > 0) continue;
        return n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK);
    }
}

long PeakMemoryKb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0) return std::atol(line.c_str() + 6);
    }
    return -1;
}

long ResetPeakMemoryKb() {
    std::ofstream("/proc/self/clear_refs") << "5";
    return PeakMemoryKb();
}

}  // namespace ld::checkin::testing
