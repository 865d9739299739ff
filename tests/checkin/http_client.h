// A small HTTP/1.1 client over plain sockets for the server tests: it can pick its source
// loopback address, send a request in pieces, and every call is bounded in time.
#pragma once

#include <cstddef>
#include <string>

namespace ld::checkin::testing {

struct Reply {
    int status = 0;  // 0: no answer (refused, reset or timed out)
    std::string head;
    std::string body;
    std::string header(const std::string& name) const;  // first value, "" when absent
};

// A connected socket from `from` to 127.0.0.1:port with 5 s send and receive timeouts; -1
// when the connection is refused.
int Connect(int port, const char* from = "127.0.0.1");
bool SendAll(int socket, const std::string& bytes);
void Close(int socket);
// Sends what the socket takes now without waiting: the bytes sent, 0 when it takes none
// yet, -1 when the connection is closed.
long SendSome(int socket, const char* bytes, size_t size);
// Waits up to `ms` for the socket to become writable or readable; true when readable.
bool WaitForAnswer(int socket, int ms);
// True when the other end has closed: whatever it sent last is read, then the end comes.
bool IsClosedByPeer(int socket);
// Every byte until the end of the stream or the timeout.
std::string ReceiveAll(int socket);
// Reads to the end of the stream (or the timeout) and parses the answer.
Reply ReadReply(int socket);

Reply Exchange(int port, const std::string& request, const char* from = "127.0.0.1");
std::string Get(const std::string& target, const std::string& extraHeaders = "");
std::string Post(const std::string& target, const std::string& body,
                 const std::string& extraHeaders = "");

// Peak resident memory of this process in kB, after resetting it to the current size when
// the system allows that (Linux; Windows keeps its peak).
long ResetPeakMemoryKb();
long PeakMemoryKb();

}  // namespace ld::checkin::testing
