// The check-in server is built on Boost.Beast over Boost.Asio (header-only, Debian's
// libboost-dev), not on Qt HTTP Server: Qt's QAbstractHttpServer hands a handler the finished
// request, body and all, parsed on the UI thread's QTcpServer, so there is no point between
// the headers and the body where a 413 could stop a 50 MB upload. Beast reads the head
// first and lets the body be read or refused after it; Asio serves every connection
// asynchronously on two background threads, so a slow client holds no thread, and the desk
// runs on a pool of its own. The same code builds for Windows: what the operating system is
// asked directly lives in serving_os_*.cpp.
#include "checkin/checkin_server.h"

#include <algorithm>
#include <atomic>
#include <boost/asio/executor_work_guard.hpp>
#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/steady_timer.hpp>
#include <boost/asio/strand.hpp>
#include <boost/asio/thread_pool.hpp>
#include <optional>
#include <thread>
#include <vector>

#include "checkin/checkin_routes.h"
#include "checkin/client_gate.h"
#include "checkin/connection.h"
#include "checkin/connection_sockets.h"
#include "checkin/serving_os.h"

namespace ld::checkin {

namespace {
namespace asio = boost::asio;
using asio::ip::tcp;

// Two, so that a connection whose answer is being built never holds up the others.
constexpr int kNetworkThreads = 2;
// After a failed accept (out of descriptors): wait before the next, rather than spin.
constexpr auto kAcceptPause = std::chrono::milliseconds(100);

int DeskCount() {
    // Decoding and re-encoding photos is the heavy part; leave a core for the stage.
    return std::max(1, static_cast<int>(std::thread::hardware_concurrency()) - 1);
}
}  // namespace

// One listening session, from start() to stop(). The members are destroyed in reverse:
// the threads are joined first, then the connections go with the io_context, and what they
// use (the desk pool, what they share) last.
struct Listening {
    Listening() : desks(static_cast<size_t>(DeskCount())) {}

    asio::thread_pool desks;
    std::optional<Serving> serving;
    asio::io_context network;
    asio::executor_work_guard<asio::io_context::executor_type> work{network.get_executor()};
    tcp::acceptor acceptor{network};
    asio::steady_timer pause{network};
    std::vector<std::thread> threads;
};

struct CheckinServer::Impl {
    Impl(Submit submitter, std::string token, ServerLimits serverLimits, Refused refusedTo)
        : submit(std::move(submitter)),
          refused(std::move(refusedTo)),
          limits(serverLimits),
          gate(limits.maxConnectionsPerAddress, limits.maxConnections,
               limits.checkinsPerMinutePerAddress, limits.wrongTokensPerMinutePerAddress),
          routes(std::move(token), limits, gate) {}

    void accept();
    void admit(tcp::socket socket);

    const Submit submit;
    const Refused refused;
    const ServerLimits limits;
    ClientGate gate;
    Routes routes;
    std::atomic<bool> stopping{false};
    std::atomic<bool> reachedFromAnotherMachine{false};
    std::unique_ptr<Listening> listening;
    int port = 0;
};

void CheckinServer::Impl::accept() {
    Listening& l = *listening;
    l.acceptor.async_accept(
        asio::make_strand(l.network), [this](boost::system::error_code error, tcp::socket socket) {
            if (!listening->acceptor.is_open() || error == asio::error::operation_aborted) return;
            if (error) {
                listening->pause.expires_after(kAcceptPause);
                listening->pause.async_wait([this](boost::system::error_code e) {
                    if (!e) accept();
                });
                return;
            }
            admit(std::move(socket));
            accept();
        });
}

void CheckinServer::Impl::admit(tcp::socket socket) {
    const std::string address = PeerAddress(socket);
    if (address.empty() || stopping) return TurnAway(socket);
    if (!address.starts_with("127.")) reachedFromAnotherMachine = true;
    std::make_shared<Connection>(std::move(socket), address, *listening->serving)->start();
}

CheckinServer::CheckinServer(Submit submit, std::string token, ServerLimits limits, Refused refused)
    : impl_(std::make_unique<Impl>(std::move(submit), std::move(token), limits,
                                   std::move(refused))) {}

CheckinServer::~CheckinServer() { stop(); }

bool CheckinServer::start(const std::string& address, int port) {
    stop();
    boost::system::error_code error;
    const asio::ip::address_v4 ip = asio::ip::make_address_v4(address, error);
    if (error || port < 0 || port > 65535) return false;
    auto l = std::make_unique<Listening>();
    tcp::acceptor& acceptor = l->acceptor;
    acceptor.open(tcp::v4(), error);
    if (!error) PrepareListeningSocket(acceptor);
    if (!error) acceptor.bind({ip, static_cast<unsigned short>(port)}, error);
    // A room full of phones scanning at once: the system's longest queue of connections.
    if (!error) acceptor.listen(asio::socket_base::max_listen_connections, error);
    if (error) return false;
    impl_->port = acceptor.local_endpoint().port();
    impl_->stopping = false;
    l->serving.emplace(Serving{impl_->routes, impl_->gate, impl_->limits, impl_->submit, l->desks,
                               impl_->stopping, impl_->refused});
    impl_->listening = std::move(l);
    impl_->accept();
    for (int i = 0; i < kNetworkThreads; ++i) {
        impl_->listening->threads.emplace_back([&network = impl_->listening->network] {
            MakeThisThreadBackground();
            for (;;) {
                try {
                    network.run();
                    return;
                } catch (...) {
                    // Out of memory or the like: that connection ends, the server goes on.
                }
            }
        });
    }
    return true;
}

void CheckinServer::stop() {
    if (!impl_->listening) return;
    Listening& l = *impl_->listening;
    impl_->stopping = true;
    l.network.stop();  // no handler runs any more; open connections are dropped below
    for (std::thread& t : l.threads) t.join();
    l.desks.join();  // a check-in at a desk finishes; those still waiting are dropped
    boost::system::error_code ignored;
    l.acceptor.close(ignored);
    impl_->listening.reset();
    impl_->port = 0;
}

int CheckinServer::port() const { return impl_->port; }

bool CheckinServer::reachedFromAnotherMachine() const { return impl_->reachedFromAnotherMachine; }

}  // namespace ld::checkin
