#include <sched.h>
#include <sys/random.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>
#include <thread>

#include "checkin/serving_os.h"

namespace ld::checkin {

// A priority alone does not do it: a core busy in the kernel for a serving thread (socket
// copies, large frees) is not handed over at once. So each serving thread keeps off the
// first core, which stays free for the stage, and lowers its own priority (Linux applies
// both per thread).
void MakeThisThreadBackground() {
    const unsigned cores = std::thread::hardware_concurrency();
    if (cores > 1) {
        cpu_set_t others;
        CPU_ZERO(&others);
        for (unsigned c = 1; c < cores && c < CPU_SETSIZE; ++c) CPU_SET(c, &others);
        sched_setaffinity(0, sizeof others, &others);
    }
    setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), 10);
}

void FillWithRandomBytes(unsigned char* bytes, size_t size) {
    size_t got = 0;
    while (got < size) {
        ssize_t n = ::getrandom(bytes + got, size - got, 0);
        if (n < 0) {
            if (errno == EINTR) continue;
            throw std::runtime_error("no random bits from the OS");
        }
        got += static_cast<size_t>(n);
    }
}

// SO_REUSEADDR only, never SO_REUSEPORT: on Linux it lets a port in TIME_WAIT be bound again
// but not one that is listening.
void PrepareListeningSocket(boost::asio::ip::tcp::acceptor& acceptor) {
    boost::system::error_code ignored;
    acceptor.set_option(boost::asio::socket_base::reuse_address(true), ignored);
}

}  // namespace ld::checkin
