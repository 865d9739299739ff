// One connection's socket as cpp-httplib reads and writes it, with the limits a shared Wi-Fi
// needs: the request must arrive whole before a deadline (a per-read timeout alone lets a
// client that sends a byte a second hold a worker for ever), at most a budget of bytes is
// read, and the response must be taken within its own deadline.
#pragma once

#include <httplib.h>

#include <chrono>
#include <string>

namespace ld::checkin {

class DeadlineStream : public httplib::Stream {
public:
    using Clock = std::chrono::steady_clock;

    DeadlineStream(int socket, std::string remoteAddress, int remotePort,
                   Clock::time_point readDeadline, size_t readBudget,
                   std::chrono::milliseconds writeTimeout);

    bool is_readable() const override;
    bool is_writable() const override;
    ssize_t read(char* ptr, size_t size) override;
    ssize_t write(const char* ptr, size_t size) override;
    void get_remote_ip_and_port(std::string& ip, int& port) const override;
    void get_local_ip_and_port(std::string& ip, int& port) const override;
    socket_t socket() const override;

private:
    bool waitFor(short events, Clock::time_point deadline) const;

    int socket_;
    std::string remoteAddress_;
    int remotePort_;
    Clock::time_point readDeadline_;
    size_t readBudget_;
    std::chrono::milliseconds writeTimeout_;
    Clock::time_point writeDeadline_{};
    bool writing_ = false;
    // cpp-httplib reads the request line and headers a byte at a time.
    char buffer_[4096];
    size_t bufferBegin_ = 0;
    size_t bufferEnd_ = 0;
};

}  // namespace ld::checkin
