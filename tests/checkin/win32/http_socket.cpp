// The test client's sockets on Windows (Winsock; a SOCKET fits the int the tests pass).
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>
#include <psapi.h>

#include "../http_client.h"

namespace ld::checkin::testing {
namespace {

SOCKET Raw(int socket) { return static_cast<SOCKET>(socket); }

void StartWinsock() {
    static const bool started = [] {
        WSADATA data;
        return ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    (void)started;
}

}  // namespace

int Connect(int port, const char* from) {
    StartWinsock();
    const SOCKET s = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s == INVALID_SOCKET) return -1;
    const DWORD timeoutMs = 5000;
    ::setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeoutMs),
                 sizeof timeoutMs);
    ::setsockopt(s, SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<const char*>(&timeoutMs),
                 sizeof timeoutMs);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    ::inet_pton(AF_INET, from, &local.sin_addr);
    sockaddr_in server{};
    server.sin_family = AF_INET;
    server.sin_port = htons(static_cast<u_short>(port));
    ::inet_pton(AF_INET, "127.0.0.1", &server.sin_addr);
    if (::bind(s, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0 ||
        ::connect(s, reinterpret_cast<sockaddr*>(&server), sizeof server) != 0) {
        ::closesocket(s);
        return -1;
    }
    return static_cast<int>(s);
}

bool SendAll(int socket, const std::string& bytes) {
    size_t sent = 0;
    while (sent < bytes.size()) {
        const int n = ::send(Raw(socket), bytes.data() + sent,
                             static_cast<int>(bytes.size() - sent), 0);
        if (n <= 0) return false;
        sent += static_cast<size_t>(n);
    }
    return true;
}

std::string ReceiveAll(int socket) {
    std::string raw;
    char buffer[16384];
    for (;;) {
        const int n = ::recv(Raw(socket), buffer, sizeof buffer, 0);
        if (n <= 0) break;
        raw.append(buffer, static_cast<size_t>(n));
    }
    return raw;
}

void Close(int socket) { ::closesocket(Raw(socket)); }

long SendSome(int socket, const char* bytes, size_t size) {
    u_long nonBlocking = 1, blocking = 0;
    ::ioctlsocket(Raw(socket), FIONBIO, &nonBlocking);
    const int n = ::send(Raw(socket), bytes, static_cast<int>(size), 0);
    const int error = ::WSAGetLastError();
    ::ioctlsocket(Raw(socket), FIONBIO, &blocking);
    if (n >= 0) return n;
    return error == WSAEWOULDBLOCK ? 0 : -1;
}

bool WaitForAnswer(int socket, int ms) {
    WSAPOLLFD fd{Raw(socket), POLLRDNORM | POLLWRNORM, 0};
    ::WSAPoll(&fd, 1, ms);
    return fd.revents & (POLLRDNORM | POLLHUP);
}

bool IsClosedByPeer(int socket) {
    u_long nonBlocking = 1, blocking = 0;
    ::ioctlsocket(Raw(socket), FIONBIO, &nonBlocking);
    char buffer[4096];
    bool closed = false;
    for (;;) {
        const int n = ::recv(Raw(socket), buffer, sizeof buffer, 0);
        if (n > 0) continue;
        closed = n == 0 || ::WSAGetLastError() != WSAEWOULDBLOCK;
        break;
    }
    ::ioctlsocket(Raw(socket), FIONBIO, &blocking);
    return closed;
}

long PeakMemoryKb() {
    PROCESS_MEMORY_COUNTERS counters{};
    if (!::GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof counters)) return -1;
    return static_cast<long>(counters.PeakWorkingSetSize / 1024);
}

// Windows cannot reset the peak: the test measures growth above the peak so far.
long ResetPeakMemoryKb() { return PeakMemoryKb(); }

}  // namespace ld::checkin::testing
