#include "http_client.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

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

Reply ReadReply(int socket) {
    const std::string raw = ReceiveAll(socket);
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
    Close(s);
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

}  // namespace ld::checkin::testing
