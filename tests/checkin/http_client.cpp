#include "http_client.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <fstream>

namespace ld::checkin::testing {

std::string Reply::header(const std::string& name) const {
    std::string lowerHead = head;
    std::transform(lowerHead.begin(), lowerHead.end(), lowerHead.begin(), ::tolower);
    std::string key = "\r\n" + name + ":";
    std::transform(key.begin(), key.end(), key.begin(), ::tolower);
    size_t at = lowerHead.find(key);
    if (at == std::string::npos) return {};
    size_t begin = head.find_first_not_of(' ', at + key.size());
    size_t end = head.find("\r\n", begin);
    return head.substr(begin, end - begin);
}

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
        ::close(s);
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

Reply ReadReply(int socket) {
    std::string raw;
    char buffer[16384];
    for (;;) {
        ssize_t n = ::recv(socket, buffer, sizeof buffer, 0);
        if (n <= 0) break;
        raw.append(buffer, static_cast<size_t>(n));
    }
    Reply reply;
    size_t headEnd = raw.find("\r\n\r\n");
    if (raw.compare(0, 9, "HTTP/1.1 ") != 0 || headEnd == std::string::npos) return reply;
    reply.status = std::atoi(raw.c_str() + 9);
    reply.head = raw.substr(0, headEnd + 2);
    reply.body = raw.substr(headEnd + 4);
    return reply;
}

Reply Exchange(int port, const std::string& request, const char* from) {
    int s = Connect(port, from);
    if (s < 0) return {};
    Reply reply;
    if (SendAll(s, request)) reply = ReadReply(s);
    ::close(s);
    return reply;
}

std::string Get(const std::string& target, const std::string& extraHeaders) {
    return "GET " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\n" + extraHeaders + "\r\n";
}

std::string Post(const std::string& target, const std::string& body,
                 const std::string& extraHeaders) {
    return "POST " + target +
           " HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Length: " + std::to_string(body.size()) +
           "\r\n" + extraHeaders + "\r\n" + body;
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
